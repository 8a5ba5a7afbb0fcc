# Resources of an executable: its string table and, for the launcher, its application
# manifest. Windows gets a resource script for windres; other systems get C++ sources that
# register the same data at start-up.
set(LAUNCHER_RESOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../resources)

function(launcher_string_table target table)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_strings)
  if(WIN32)
    set(kind RC)
    set(generated ${out}.rc)
  else()
    set(kind SOURCE)
    set(generated ${out}.cpp)
  endif()
  add_custom_command(
    OUTPUT ${generated}
    COMMAND ${CMAKE_COMMAND} -DTABLE=${table} -D${kind}=${generated}
            -P ${PROJECT_SOURCE_DIR}/cmake/GenerateStringTable.cmake
    DEPENDS ${table} ${PROJECT_SOURCE_DIR}/cmake/GenerateStringTable.cmake
    COMMENT "Generating the string table of ${target}")
  target_sources(${target} PRIVATE ${generated})
endfunction()

function(launcher_application_manifest target assembly_name)
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.cpp)
  set(template ${LAUNCHER_RESOURCE_DIR}/launcher.manifest.in)
  set(table ${LAUNCHER_RESOURCE_DIR}/com_classes.tsv)
  # The product is x86 everywhere it ships; only the x86-64 Windows test build differs, and
  # the manifest names the architecture of the executable it is embedded in.
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(architecture amd64)
  else()
    set(architecture X86)
  endif()
  set(generate ${CMAKE_COMMAND} -DTEMPLATE=${template} -DTABLE=${table}
               -DASSEMBLY_NAME=${assembly_name} -DPROCESSOR_ARCHITECTURE=${architecture}
               -DOUTPUT=${manifest})
  set(depends ${template} ${table} ${PROJECT_SOURCE_DIR}/cmake/GenerateManifest.cmake)
  if(WIN32)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
    file(WRITE ${rc}.in "// The process's default manifest: type 24, ID 1, language 1033.\n"
                        "LANGUAGE 0x09, 0x01\n1 24 \"${manifest}\"\n")
    configure_file(${rc}.in ${rc} COPYONLY)
    # The table of classes too: Windows activates from the manifest, and a failed activation
    # names from the table the file that the manifest gave for the class.
    add_custom_command(
      OUTPUT ${manifest} ${source}
      COMMAND ${generate} -DSOURCE=${source} -P ${PROJECT_SOURCE_DIR}/cmake/GenerateManifest.cmake
      DEPENDS ${depends}
      COMMENT "Generating the application manifest of ${target}")
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
    target_sources(${target} PRIVATE ${rc} ${manifest} ${source})
    # The assembly the manifest depends on must lie beside the executable, or Windows
    # refuses the whole activation context and no class in it can be activated.
    configure_file(${LAUNCHER_RESOURCE_DIR}/Orvane.CommonApp.CCProxy.manifest
                   ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Orvane.CommonApp.CCProxy.manifest COPYONLY)
  else()
    add_custom_command(
      OUTPUT ${manifest} ${source}
      COMMAND ${generate} -DSOURCE=${source} -P ${PROJECT_SOURCE_DIR}/cmake/GenerateManifest.cmake
      DEPENDS ${depends}
      COMMENT "Generating the application manifest of ${target}")
    target_sources(${target} PRIVATE ${source})
  endif()
endfunction()

# Windows: the executable's version resource (file and product version from project(), the
# product's name, a Japanese block for code page 932). Other systems have no such resource.
function(launcher_version_resource target)
  if(NOT WIN32)
    return()
  endif()
  set(VERSION_TARGET ${target})
  set(VERSION_FILE_NAME ${target}${CMAKE_EXECUTABLE_SUFFIX})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${LAUNCHER_RESOURCE_DIR}/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
