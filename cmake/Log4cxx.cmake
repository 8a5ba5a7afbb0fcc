# Apache log4cxx, linked as a shared library so that the run object, loaded into the same
# process, logs through the configuration the launcher set up. No Windows log4cxx can be built
# on the Linux machines, so the Windows test build (under Wine) links the logging bootstrap
# against a test double of the calls it makes; a Windows release (tests off) needs the real
# one, e.g. from vcpkg.
find_package(log4cxx QUIET)
if(log4cxx_FOUND)
  set(LAUNCHER_LOG4CXX_TARGET log4cxx)
elseif(WIN32 AND LAUNCHER_BUILD_TESTS)
  message(STATUS "log4cxx not found: the logging bootstrap links the log4cxx test double")
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/doubles/log4cxx_double
                   ${CMAKE_BINARY_DIR}/tests/doubles/log4cxx_double)
  set(LAUNCHER_LOG4CXX_TARGET log4cxx_double)
elseif(WIN32)
  message(FATAL_ERROR "log4cxx not found: a Windows release needs it (vcpkg port log4cxx)")
else()
  message(FATAL_ERROR "log4cxx not found: run scripts/install-deps")
endif()
