# Apache log4cxx, linked as a shared library so that the run object, loaded into the same
# process, logs through the configuration the launcher set up. Linux uses the system's
# package; the Windows x86 build uses log4cxx.dll cross-built by scripts/build-windows-deps,
# whose install prefix LAUNCHER_WINDOWS_DEPS names (a Windows release built with MSVC takes
# vcpkg's port through the usual package search instead).
set(LAUNCHER_WINDOWS_DEPS "" CACHE PATH
    "Install prefix of the cross-built log4cxx (printed by scripts/build-windows-deps)")
if(WIN32 AND LAUNCHER_WINDOWS_DEPS)
  # A new build of the libraries has a new prefix: the package found in an old one is let go.
  string(FIND "${log4cxx_DIR}" "${LAUNCHER_WINDOWS_DEPS}/" at)
  if(NOT at EQUAL 0)
    unset(log4cxx_DIR CACHE)
  endif()
  find_package(log4cxx CONFIG REQUIRED PATHS ${LAUNCHER_WINDOWS_DEPS}
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
else()
  find_package(log4cxx QUIET)
endif()
if(NOT log4cxx_FOUND)
  if(CMAKE_CROSSCOMPILING)
    message(FATAL_ERROR "log4cxx not found: run scripts/build-windows-deps and pass its "
                        "output as -DLAUNCHER_WINDOWS_DEPS=... (scripts/test-windows does)")
  elseif(WIN32)
    message(FATAL_ERROR "log4cxx not found: a Windows release needs it (vcpkg port log4cxx)")
  else()
    message(FATAL_ERROR "log4cxx not found: run scripts/install-deps")
  endif()
endif()
set(LAUNCHER_LOG4CXX_TARGET log4cxx)

# The DLL sits beside the executables that load it, as it does where the product is installed.
if(WIN32)
  get_target_property(log4cxx_type log4cxx TYPE)
  if(log4cxx_type STREQUAL "SHARED_LIBRARY")
    set(log4cxx_dll ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/log4cxx.dll)
    add_custom_command(OUTPUT ${log4cxx_dll}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:log4cxx> ${log4cxx_dll}
      DEPENDS $<TARGET_FILE:log4cxx>
      COMMENT "Placing log4cxx.dll beside the executables")
    add_custom_target(log4cxx_dll ALL DEPENDS ${log4cxx_dll})
  endif()
endif()
