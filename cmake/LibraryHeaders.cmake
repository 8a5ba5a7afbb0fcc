# Headers are included by their folder ("fsutil/ifile_find.h"). Each library publishes only its
# own folder: a staging folder of its own in the build tree holds a link named after the
# library's folder, so a target reaches another library's headers only by linking it.
function(launcher_public_headers target)
  cmake_path(GET CMAKE_CURRENT_SOURCE_DIR FILENAME folder)
  set(staging ${CMAKE_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${staging})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${staging}/${folder} RESULT failed SYMBOLIC)
  if(failed)
    # Windows without the right to make links: the folder above, the one way left.
    message(STATUS "${target}: no link in ${staging} (${failed}); publishing the parent folder")
    cmake_path(GET CMAKE_CURRENT_SOURCE_DIR PARENT_PATH staging)
  endif()
  # A library of headers alone has no build of its own to include them in.
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${staging})
  else()
    target_include_directories(${target} PUBLIC ${staging})
  endif()
endfunction()
