# Sanitizer builds apply to every target, so that instrumented code never calls into an
# uninstrumented copy of our own libraries.
if(BRELIX_SANITIZE AND BRELIX_TSAN)
  message(FATAL_ERROR "BRELIX_SANITIZE and BRELIX_TSAN cannot be combined")
endif()
if(BRELIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(BRELIX_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
