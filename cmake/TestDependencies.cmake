# GoogleTest: Debian's package for native builds; built from Debian's sources when
# cross-compiling, since no Windows GoogleTest is packaged.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Third-party code: its warnings are its maintainers' to judge, not errors of ours.
  block()
    set(CMAKE_COMPILE_WARNING_AS_ERROR OFF)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endblock()
  # GoogleTest 1.11 and later define the GTest:: names themselves.
  foreach(library gtest gtest_main gmock)
    if(NOT TARGET GTest::${library})
      add_library(GTest::${library} ALIAS ${library})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()
find_package(Python3 COMPONENTS Interpreter)
