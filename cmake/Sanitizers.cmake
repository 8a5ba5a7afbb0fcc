# AddressSanitizer and UndefinedBehaviorSanitizer for the targets of this project (never for
# third-party code built alongside, such as GoogleTest's sources in the cross build). The
# fuzz targets need the libraries they call built with libFuzzer's coverage as well.
option(LAUNCHER_SANITIZE "Build our targets with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# Applies the sanitizer flags to every target defined under `directory` and its subdirectories
# whose sources lie inside this project. Call once, after every target exists.
function(launcher_sanitize_targets directory)
  if(NOT LAUNCHER_SANITIZE)
    return()
  endif()
  set(compile_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  if(LAUNCHER_BUILD_FUZZERS)
    list(APPEND compile_flags -fsanitize=fuzzer-no-link)
  endif()
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(source_dir ${target} SOURCE_DIR)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${source_dir}" ours)
    if(NOT ours OR type STREQUAL "UTILITY" OR type STREQUAL "INTERFACE_LIBRARY")
      continue()
    endif()
    target_compile_options(${target} PRIVATE ${compile_flags})
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endforeach()
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    launcher_sanitize_targets(${subdirectory})
  endforeach()
endfunction()
