# Our own targets build warning-free at -Wall -Wextra; the SDK's files are compiled in a
# target of their own without these flags.
function(brelix_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
