# Every target of ours builds with the same warnings. The presets make them errors
# (CMAKE_COMPILE_WARNING_AS_ERROR); third-party code built here keeps its own settings.
function(launcher_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra)
  endif()
  # GCC 12 at -O3 reports overlapping copies inside std::string where a literal is put in
  # front of a temporary string ("\\" + std::string(n, 'd')): GCC bug 105329, fixed in 13.
  # In that one case the warning is still printed but stops nothing; every other build
  # keeps it an error.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-error=restrict>)
  endif()
endfunction()
