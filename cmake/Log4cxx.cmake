# Apache log4cxx, linked as a shared library so that the run object, loaded into the same
# process, logs through the configuration the launcher set up.
find_package(log4cxx QUIET)
if(log4cxx_FOUND)
  set(LAUNCHER_LOG4CXX_TARGET log4cxx)
elseif(NOT WIN32)
  message(FATAL_ERROR "log4cxx not found: run scripts/install-deps")
endif()

# The logging bootstrap's log4cxx. No Windows log4cxx can be built on the Linux machines, so
# the Windows test build (under Wine) falls back to a test double of the calls the bootstrap
# makes; a Windows release (tests off) needs the real one, e.g. from vcpkg.
if(log4cxx_FOUND)
  set(LAUNCHER_LOGGING_LOG4CXX_TARGET log4cxx)
elseif(LAUNCHER_BUILD_TESTS)
  message(STATUS "log4cxx not found: the logging bootstrap links the log4cxx test double")
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/doubles/log4cxx_double
                   ${CMAKE_BINARY_DIR}/tests/doubles/log4cxx_double)
  set(LAUNCHER_LOGGING_LOG4CXX_TARGET log4cxx_double)
else()
  message(FATAL_ERROR "log4cxx not found: a Windows release needs it (vcpkg port log4cxx)")
endif()
