# Cross-builds a Windows x86-64 test build with the x86_64 mingw-w64 compilers: it runs the
# Windows tests under 64-bit Wine where the kernel runs no 32-bit program. It is never shipped.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(LAUNCHER_MINGW_TRIPLET x86_64-w64-mingw32)
set(LAUNCHER_WINDOWS_ARCH x64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
