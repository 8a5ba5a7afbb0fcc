# What a deployment gets, and its release archive.
#
# `cmake --install` lays out what lies beside the launcher in a deployment; on Windows that
# folder is the install prefix itself (launcher.exe, the DLLs it loads, DEPLOYMENT.txt and
# licenses/), on Linux bin/launcher with DEPLOYMENT.txt under share/doc/. DEPLOYMENT.txt says
# what the component must add beside the launcher; licenses/ holds the licence and notice
# texts of the third-party code inside the files (the cross-built log4cxx.dll's come from the
# sources it was built from: scripts/build-windows-deps puts them into its prefix).
#
# `cmake --build build/<preset> --target package` (CPack, from the same install rules) leaves
# the release archive in the build folder: on Windows a ZIP of that folder, on Linux a Debian
# package that installs into /opt/orvane-taxlink and depends on the system's log4cxx. Neither
# the sample run object nor the stand-in assembly nor any test program is installed.
include(GNUInstallDirs)
set(LAUNCHER_PACKAGE_NAME orvane-taxlink-launcher)
if(WIN32)
  set(LAUNCHER_INSTALL_BINDIR .)
  set(LAUNCHER_INSTALL_DOCDIR .)
else()
  set(LAUNCHER_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
  set(LAUNCHER_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${LAUNCHER_PACKAGE_NAME})
endif()

# The component's files, as the manifest lists them (resources/com_classes.tsv), the run
# object's first; a Linux build loads the .so of each .dll.
file(STRINGS ${LAUNCHER_RESOURCE_DIR}/com_classes.tsv com_rows REGEX "^[^#]")
set(component_files)
foreach(row IN LISTS com_rows)
  string(REGEX REPLACE "\t.*" "" file "${row}")
  if(NOT WIN32)
    string(REGEX REPLACE "\\.[dD][lL][lL]$" ".so" file "${file}")
  endif()
  list(APPEND component_files ${file})
endforeach()
list(POP_FRONT component_files LAUNCHER_RUN_OBJECT_FILE)
list(JOIN component_files ", " LAUNCHER_OTHER_COMPONENT_FILES)

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(LAUNCHER_PACKAGE_ARCHITECTURE x64)
    set(package_system win64)
  else()
    set(LAUNCHER_PACKAGE_ARCHITECTURE x86)
    set(package_system win32)
  endif()
  string(REGEX MATCH "^[0-9]+\\.[0-9]+\\.[0-9]+" LAUNCHER_PACKAGE_LOG4CXX_VERSION
         ${log4cxx_VERSION})
  set(LAUNCHER_LOG4CXX_CONTENTS "")
  if(LAUNCHER_WINDOWS_DEPS)
    set(LAUNCHER_LOG4CXX_CONTENTS ", with APR, APR-util and expat linked into it")
  endif()
  configure_file(${LAUNCHER_RESOURCE_DIR}/deployment-windows.txt.in
                 ${PROJECT_BINARY_DIR}/DEPLOYMENT.txt @ONLY NEWLINE_STYLE CRLF)
else()
  configure_file(${LAUNCHER_RESOURCE_DIR}/deployment-linux.txt.in
                 ${PROJECT_BINARY_DIR}/DEPLOYMENT.txt @ONLY)
endif()
install(FILES ${PROJECT_BINARY_DIR}/DEPLOYMENT.txt DESTINATION ${LAUNCHER_INSTALL_DOCDIR})

if(WIN32)
  # log4cxx.dll and what is linked into it.
  if(LAUNCHER_WINDOWS_DEPS)
    if(NOT IS_DIRECTORY ${LAUNCHER_WINDOWS_DEPS}/share/licenses)
      message(FATAL_ERROR "${LAUNCHER_WINDOWS_DEPS} has no share/licenses: it was built by an "
                          "older scripts/build-windows-deps; run that again")
    endif()
    install(DIRECTORY ${LAUNCHER_WINDOWS_DEPS}/share/licenses/ DESTINATION licenses)
  elseif(DEFINED VCPKG_INSTALLED_DIR)
    # A release built with vcpkg (not tried here): each port keeps its licence texts in
    # share/<port>/copyright.
    foreach(port log4cxx apr apr-util expat)
      install(FILES ${VCPKG_INSTALLED_DIR}/${VCPKG_TARGET_TRIPLET}/share/${port}/copyright
              DESTINATION licenses/${port})
    endforeach()
  else()
    message(WARNING "No licence texts of log4cxx and the libraries in it are known: the "
                    "release archive will lack them")
  endif()
  # mingw-w64's runtime is linked into every binary (winpthreads among it, whose licence asks
  # for its notice); Debian's copyright file of the runtime names each part's licence. GCC's
  # own runtime libraries come under the GCC Runtime Library Exception, which asks for none.
  if(MINGW)
    find_file(LAUNCHER_MINGW_RUNTIME_COPYRIGHT copyright
              PATHS /usr/share/doc/mingw-w64-common NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT LAUNCHER_MINGW_RUNTIME_COPYRIGHT)
      message(FATAL_ERROR "The licence texts of mingw-w64's runtime are missing "
                          "(/usr/share/doc/mingw-w64-common/copyright): "
                          "run scripts/install-deps windows")
    endif()
    install(FILES ${LAUNCHER_MINGW_RUNTIME_COPYRIGHT} DESTINATION licenses/mingw-w64-runtime)
  endif()
endif()

# The release archive. Not from a sanitizer build, nor from a Linux build against a log4cxx
# of its own, whose installed launcher keeps a run path into this machine's cache.
set(LAUNCHER_PACKAGE_FILE "")
if(LAUNCHER_SANITIZE)
  message(STATUS "Release archive: none from a sanitizer build")
  return()
elseif(NOT WIN32 AND log4cxx_beside)
  message(STATUS "Release archive: none from a build against a log4cxx outside the system")
  return()
endif()
if(NOT WIN32)
  find_program(LAUNCHER_DPKG dpkg)
  if(NOT LAUNCHER_DPKG)
    message(STATUS "Release archive: none without dpkg (Linux gets a Debian package)")
    return()
  endif()
endif()
set(CPACK_PACKAGE_NAME ${LAUNCHER_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR ${LAUNCHER_COMPANY_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "${LAUNCHER_PRODUCT_NAME} launcher: starts the data-linkage component's run object")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "") # sources come from the repository, not from a build folder
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${package_system})
  set(LAUNCHER_PACKAGE_FILE ${PROJECT_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /opt/orvane-taxlink)
  execute_process(COMMAND ${LAUNCHER_DPKG} --print-architecture OUTPUT_VARIABLE deb_architecture
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_architecture})
  set(CPACK_DEBIAN_FILE_NAME ${CPACK_PACKAGE_NAME}_${PROJECT_VERSION}_${deb_architecture}.deb)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${LAUNCHER_COMPANY_NAME})
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  # Depends: from the libraries the launcher links (dpkg-shlibdeps), log4cxx's among them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(LAUNCHER_PACKAGE_FILE ${PROJECT_BINARY_DIR}/${CPACK_DEBIAN_FILE_NAME})
endif()
include(CPack)
