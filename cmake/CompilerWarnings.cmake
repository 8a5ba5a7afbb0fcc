# Every target of ours builds with the same warnings, and warnings are errors.
function(launcher_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
