# Sanitizer builds apply to every target, so that instrumented code never calls into an
# uninstrumented copy of our own libraries.
if(BRELIX_SANITIZE AND BRELIX_TSAN)
  message(FATAL_ERROR "BRELIX_SANITIZE and BRELIX_TSAN cannot be combined")
endif()
# Fuzzing builds: every target carries libFuzzer's coverage instrumentation (the bundle too,
# which the .vstpreset target loads), with AddressSanitizer and UBSan; the fuzz targets link
# libFuzzer itself. Plug-in objects called through their interfaces need no RTTI: no vptr check.
if(BRELIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "BRELIX_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  if(BRELIX_SANITIZE OR BRELIX_TSAN)
    message(FATAL_ERROR "BRELIX_FUZZ brings its own sanitizers")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize=vptr -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# The AddressSanitizer and ThreadSanitizer builds compile at -O1 with line tables only (-g1, enough
# for symbolised reports), placed after the build type's flags so they win: the sanitizers'
# recommended level, and about half the compile time of -O2 -g on the instrumented test suites.
if(BRELIX_SANITIZE)
  add_compile_options(-O1 -g1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(BRELIX_TSAN)
  add_compile_options(-O1 -g1 -fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
