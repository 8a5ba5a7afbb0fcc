# Writes a string table from its tab-separated source (ID, tab, UTF-8 text). Run with
# cmake -P and:
#   TABLE   the source table
#   RC      optional: a Windows resource script with a STRINGTABLE, language Japanese
#   SOURCE  optional: a C++ source with the same entries as the executable's string table
#           (for systems without resource sections)
cmake_minimum_required(VERSION 3.25)

file(STRINGS "${TABLE}" rows ENCODING UTF-8)
set(rc_entries "")
set(cpp_entries "")
foreach(row IN LISTS rows)
  if(row MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  if(NOT row MATCHES "^([0-9]+)\t(.*)$")
    message(FATAL_ERROR "GenerateStringTable: '${row}' is not an ID, a tab and a text")
  endif()
  set(id "${CMAKE_MATCH_1}")
  set(text "${CMAKE_MATCH_2}")
  string(REPLACE "\\" "\\\\" escaped "${text}")
  string(REPLACE "\"" "\"\"" rc_text "${escaped}")
  string(REPLACE "\"" "\\\"" cpp_text "${escaped}")
  string(APPEND rc_entries "    ${id}, \"${rc_text}\"\n")
  string(APPEND cpp_entries "    {${id}, u\"${cpp_text}\"},\n")
endforeach()

function(write_if_changed path content)
  file(WRITE "${path}.tmp" "${content}")
  file(COPY_FILE "${path}.tmp" "${path}" ONLY_IF_DIFFERENT)
  file(REMOVE "${path}.tmp")
endfunction()

if(DEFINED RC)
  string(CONCAT content
    "// Generated from ${TABLE}. Do not edit.\n"
    "#pragma code_page(65001)\n"
    "LANGUAGE 0x11, 0x01\n"
    "STRINGTABLE\n"
    "BEGIN\n"
    "${rc_entries}"
    "END\n")
  write_if_changed("${RC}" "${content}")
endif()

if(DEFINED SOURCE)
  string(CONCAT content
    "// Generated from ${TABLE}. Do not edit.\n"
    "#include \"platform/posix/embedded_resources.h\"\n\n"
    "namespace {\n"
    "constexpr platform::posix::EmbeddedString kStrings[] = {\n"
    "${cpp_entries}"
    "};\n"
    "}  // namespace\n\n"
    "std::span<const platform::posix::EmbeddedString> platform::posix::EmbeddedStringTable() {\n"
    "    return kStrings;\n"
    "}\n")
  write_if_changed("${SOURCE}" "${content}")
endif()
