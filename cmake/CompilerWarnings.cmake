# Every target of ours builds with the same warnings. The presets make them errors
# (CMAKE_COMPILE_WARNING_AS_ERROR); third-party code built here keeps its own settings.
function(launcher_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra)
  endif()
endfunction()
