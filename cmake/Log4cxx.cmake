# Apache log4cxx, linked as a shared library so that the run object, loaded into the same
# process, logs through the configuration the launcher set up. Linux uses the system's
# package, or another build that CMAKE_PREFIX_PATH names (scripts/build-linux-log4cxx); the
# Windows x86 build uses log4cxx.dll cross-built by scripts/build-windows-deps, whose install
# prefix LAUNCHER_WINDOWS_DEPS names (a Windows release built with MSVC takes vcpkg's port
# through the usual package search instead).
set(LAUNCHER_WINDOWS_DEPS "" CACHE PATH
    "Install prefix of the cross-built log4cxx (printed by scripts/build-windows-deps)")
# The presets name the version each build is tested with, so that a build meant for one never
# quietly takes another that lies on the search path.
set(LAUNCHER_LOG4CXX_VERSION "" CACHE STRING "The log4cxx version to build with (empty: any)")
if(LAUNCHER_LOG4CXX_VERSION)
  unset(log4cxx_DIR CACHE) # a package found before may be another version: searched again
endif()
if(WIN32 AND LAUNCHER_WINDOWS_DEPS)
  # A new build of the libraries has a new prefix: the package found in an old one is let go.
  string(FIND "${log4cxx_DIR}" "${LAUNCHER_WINDOWS_DEPS}/" at)
  if(NOT at EQUAL 0)
    unset(log4cxx_DIR CACHE)
  endif()
  find_package(log4cxx ${LAUNCHER_LOG4CXX_VERSION} CONFIG REQUIRED PATHS ${LAUNCHER_WINDOWS_DEPS}
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
else()
  find_package(log4cxx ${LAUNCHER_LOG4CXX_VERSION} QUIET)
endif()
if(NOT log4cxx_FOUND)
  if(CMAKE_CROSSCOMPILING)
    message(FATAL_ERROR "log4cxx not found: run scripts/build-windows-deps and pass its "
                        "output as -DLAUNCHER_WINDOWS_DEPS=... (scripts/test-windows does)")
  elseif(WIN32)
    message(FATAL_ERROR "log4cxx not found: a Windows release needs it (vcpkg port log4cxx)")
  elseif(LAUNCHER_LOG4CXX_VERSION)
    message(FATAL_ERROR "log4cxx ${LAUNCHER_LOG4CXX_VERSION} not found: set CMAKE_PREFIX_PATH "
                        "to its install prefix (scripts/build-linux-log4cxx prints it)")
  else()
    message(FATAL_ERROR "log4cxx not found: run scripts/install-deps")
  endif()
endif()
# The package calls itself 1.8.0.0 and takes any later 1.8 as compatible.
if(LAUNCHER_LOG4CXX_VERSION AND NOT log4cxx_VERSION VERSION_EQUAL LAUNCHER_LOG4CXX_VERSION)
  message(FATAL_ERROR "log4cxx ${log4cxx_VERSION} found in ${log4cxx_DIR}, "
                      "${LAUNCHER_LOG4CXX_VERSION} wanted")
endif()
message(STATUS "log4cxx ${log4cxx_VERSION}: ${log4cxx_DIR}")
set(LAUNCHER_LOG4CXX_TARGET log4cxx)

# log4cxx's library sits beside the executables that load it. On Windows, as it does where the
# product is installed. On Linux, only where it is not the system's: a log4cxx of its own
# (CMAKE_PREFIX_PATH at its prefix) has the soname of the system's, so every binary looks
# beside itself first ($ORIGIN), and a copy of the launcher with the library beside it finds
# that one even for a user who cannot read the prefix it was built from; the installed
# launcher keeps a run path to the prefix, or the system's library would load in its place.
get_target_property(log4cxx_type log4cxx TYPE)
if(log4cxx_type STREQUAL "SHARED_LIBRARY" AND WIN32)
  set(log4cxx_beside ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/log4cxx.dll)
elseif(log4cxx_type STREQUAL "SHARED_LIBRARY")
  get_target_property(log4cxx_configs log4cxx IMPORTED_CONFIGURATIONS)
  list(GET log4cxx_configs 0 log4cxx_config)
  get_target_property(log4cxx_file log4cxx IMPORTED_LOCATION_${log4cxx_config})
  get_target_property(log4cxx_soname log4cxx IMPORTED_SONAME_${log4cxx_config})
  get_filename_component(log4cxx_folder "${log4cxx_file}" DIRECTORY)
  set(system_folders ${CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES}
                     ${CMAKE_PLATFORM_IMPLICIT_LINK_DIRECTORIES})
  if(NOT log4cxx_folder IN_LIST system_folders)
    set(log4cxx_beside ${CMAKE_LIBRARY_OUTPUT_DIRECTORY}/${log4cxx_soname})
    set(CMAKE_BUILD_RPATH "$ORIGIN")
    list(APPEND CMAKE_INSTALL_RPATH "${log4cxx_folder}")
  endif()
endif()
if(log4cxx_beside)
  add_custom_command(OUTPUT ${log4cxx_beside}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:log4cxx> ${log4cxx_beside}
    DEPENDS $<TARGET_FILE:log4cxx>
    COMMENT "Placing log4cxx beside the executables")
  add_custom_target(log4cxx_beside ALL DEPENDS ${log4cxx_beside})
endif()
