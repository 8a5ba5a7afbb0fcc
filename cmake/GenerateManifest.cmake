# Writes the application manifest from its template and the table of COM files and classes.
# Run with cmake -P and:
#   TEMPLATE       the manifest template (indented XML, @ASSEMBLY_NAME@,
#                  @PROCESSOR_ARCHITECTURE@ and @COM_FILES@)
#   TABLE          tab-separated rows: file, clsid, progid, tlbid (may be empty)
#   ASSEMBLY_NAME  maker.product.executable
#   PROCESSOR_ARCHITECTURE  the executable's, as manifests name it: X86 or amd64
#   OUTPUT         the manifest to write: UTF-8 with a byte-order mark, a standalone XML
#                  declaration, CR LF, then the assembly element on one line
#   SOURCE         optional: a C++ source with the same declarations as a table of class
#                  and file, in the manifest's order (systems without activation contexts
#                  activate from it, without parsing the manifest at every start; Windows
#                  names from it the file that a failed activation looked for)
cmake_minimum_required(VERSION 3.25)

foreach(required TEMPLATE TABLE ASSEMBLY_NAME PROCESSOR_ARCHITECTURE OUTPUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "GenerateManifest: ${required} is not set")
  endif()
endforeach()

file(STRINGS "${TABLE}" rows ENCODING UTF-8)
set(files "")
foreach(row IN LISTS rows)
  if(row MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  string(REPLACE "\t" ";" columns "${row}")
  list(LENGTH columns count)
  if(count LESS 3)
    message(FATAL_ERROR "GenerateManifest: '${row}' needs file, clsid and progid")
  endif()
  list(GET columns 0 file)
  list(GET columns 1 clsid)
  list(GET columns 2 progid)
  set(tlbid "")
  if(count GREATER 3)
    list(GET columns 3 tlbid)
  endif()
  string(MAKE_C_IDENTIFIER "${file}" key)
  if(NOT key IN_LIST files)
    list(APPEND files "${key}")
    set(name_${key} "${file}")
    set(classes_${key} "")
    set(typelibs_${key} "")
    set(clsids_${key} "")
  endif()
  list(APPEND clsids_${key} "${clsid}")
  if(tlbid STREQUAL "")
    string(APPEND classes_${key} "<comClass clsid=\"${clsid}\" progid=\"${progid}\"></comClass>")
  else()
    string(APPEND classes_${key}
      "<comClass clsid=\"${clsid}\" progid=\"${progid}\" tlbid=\"${tlbid}\"></comClass>")
    if(NOT tlbid IN_LIST typelibs_${key})
      list(APPEND typelibs_${key} "${tlbid}")
    endif()
  endif()
endforeach()

set(COM_FILES "")
foreach(key IN LISTS files)
  string(APPEND COM_FILES "<file name=\"${name_${key}}\">${classes_${key}}")
  foreach(tlbid IN LISTS typelibs_${key})
    string(APPEND COM_FILES "<typelib tlbid=\"${tlbid}\" version=\"1.0\" helpdir=\"\"></typelib>")
  endforeach()
  string(APPEND COM_FILES "</file>")
endforeach()

# The template is indented for reading; the manifest holds the element on one line.
file(READ "${TEMPLATE}" template)
string(REGEX REPLACE "\r?\n[ \t]*" "" template "${template}")
string(CONFIGURE "${template}" assembly @ONLY)

string(ASCII 239 187 191 bom)
set(manifest "${bom}<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n${assembly}")
file(WRITE "${OUTPUT}.tmp" "${manifest}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")

if(DEFINED SOURCE)
  set(declarations "")
  foreach(key IN LISTS files)
    foreach(clsid IN LISTS clsids_${key})
      string(APPEND declarations "    {\"${clsid}\", \"${name_${key}}\"},\n")
    endforeach()
  endforeach()
  file(WRITE "${SOURCE}.tmp"
    "// Generated from the table of COM classes, in the manifest's order. Do not edit.\n"
    "#include \"platform/activation_context.h\"\n\n"
    "namespace {\n"
    "constexpr platform::DeclaredClass kClasses[] = {\n${declarations}};\n"
    "}  // namespace\n\n"
    "std::span<const platform::DeclaredClass> platform::ManifestClassTable() {\n"
    "    return kClasses;\n"
    "}\n")
  file(COPY_FILE "${SOURCE}.tmp" "${SOURCE}" ONLY_IF_DIFFERENT)
  file(REMOVE "${SOURCE}.tmp")
endif()
