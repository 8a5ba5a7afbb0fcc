# Cross-builds the Windows x86 target, the product's architecture, with the i686 mingw-w64
# compilers.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(LAUNCHER_MINGW_TRIPLET i686-w64-mingw32)
set(LAUNCHER_WINDOWS_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
