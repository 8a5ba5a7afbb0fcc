# Generates manifests the way the build does and checks them:
# - a table with shared libraries gives exactly the expected bytes (BOM, declaration, CR LF,
#   the assembly on one line, file/comClass/typelib elements);
# - the class table that the Linux build compiles in declares what that manifest declares, in
#   its order;
# - the shipped table lists the component's three files first, the run object's first.
cmake_minimum_required(VERSION 3.25)

set(generator ${SOURCE_DIR}/cmake/GenerateManifest.cmake)
set(template ${SOURCE_DIR}/resources/launcher.manifest.in)

execute_process(
  COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${template}
          -DTABLE=${SOURCE_DIR}/tests/resources/extra_rows.tsv
          -DASSEMBLY_NAME=Orvane.TaxLink.check -DPROCESSOR_ARCHITECTURE=X86
          -DOUTPUT=${WORK_DIR}/extra_rows.manifest -DSOURCE=${WORK_DIR}/extra_rows_classes.cpp
          -P ${generator}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the generator failed on the table with shared libraries")
endif()
file(READ ${WORK_DIR}/extra_rows.manifest actual HEX)
file(READ ${SOURCE_DIR}/tests/resources/expected_extra_rows.manifest expected HEX)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "extra_rows.manifest differs from expected_extra_rows.manifest")
endif()

file(READ ${WORK_DIR}/extra_rows.manifest manifest)
string(REGEX MATCHALL "<file name=\"[^\"]+\">(<comClass[^>]*></comClass>|<typelib[^>]*></typelib>)*"
       file_elements "${manifest}")
set(declared "")
foreach(element IN LISTS file_elements)
  string(REGEX MATCH "name=\"([^\"]+)\"" ignored "${element}")
  set(name "${CMAKE_MATCH_1}")
  string(REGEX MATCHALL "clsid=\"[^\"]+\"" class_ids "${element}")
  foreach(class_id IN LISTS class_ids)
    string(REGEX REPLACE "clsid=\"([^\"]+)\"" "{\"\\1\", \"${name}\"}" pair "${class_id}")
    list(APPEND declared "${pair}")
  endforeach()
endforeach()
file(READ ${WORK_DIR}/extra_rows_classes.cpp table)
string(REGEX MATCHALL "{\"[^\"]+\", \"[^\"]+\"}" compiled "${table}")
list(LENGTH declared count)
if(count LESS 6 OR NOT compiled STREQUAL declared)
  message(FATAL_ERROR "the compiled class table (${compiled}) is not the manifest's (${declared})")
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${template} -DTABLE=${SOURCE_DIR}/resources/com_classes.tsv
          -DASSEMBLY_NAME=Orvane.TaxLink.launcher -DPROCESSOR_ARCHITECTURE=amd64
          -DOUTPUT=${WORK_DIR}/shipped.manifest
          -P ${generator}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the generator failed on the shipped table")
endif()
file(READ ${WORK_DIR}/shipped.manifest shipped)
string(REGEX MATCHALL "<comClass clsid=\"[^\"]+\"" classes "${shipped}")
list(SUBLIST classes 0 3 first_three)
set(component_classes
  "<comClass clsid=\"{1368DB73-5337-4934-BDD1-5BD251843AFE}\""
  "<comClass clsid=\"{E522BCBA-91C6-4D23-8684-83BD88B223D3}\""
  "<comClass clsid=\"{692BE9B0-CF1F-4403-BFAA-D6B6205A185D}\"")
if(NOT first_three STREQUAL component_classes)
  message(FATAL_ERROR "the shipped manifest does not start with the component's classes: "
                      "${first_three}")
endif()
foreach(required
    "processorArchitecture=\"amd64\" name=\"Orvane.TaxLink.launcher\""
    "<assemblyIdentity type=\"win32\" name=\"Orvane.CommonApp.CCProxy\" version=\"1.0.0.0\">")
  string(FIND "${shipped}" "${required}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the shipped manifest lacks ${required}")
  endif()
endforeach()
message(STATUS "manifests as expected")
