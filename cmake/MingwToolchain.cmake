# The part of the mingw-w64 toolchain files that every Windows architecture shares. The file
# that includes it sets:
#   LAUNCHER_MINGW_TRIPLET   the compilers' target triplet (posix threads, for std::mutex)
#   LAUNCHER_WINDOWS_ARCH    x86 or x64, as scripts/wine-run takes it
#   CMAKE_SYSTEM_PROCESSOR
# What it builds runs under Wine in a Japanese locale, so that the ANSI code page is 932 as on
# the target machines.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${LAUNCHER_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LAUNCHER_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LAUNCHER_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LAUNCHER_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthread linked in, so that the programs run under Wine (and
# on a user's machine) without mingw's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# CTest starts the test programs through Wine, with a prefix of the build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run
                                  --arch=${LAUNCHER_WINDOWS_ARCH} ${CMAKE_BINARY_DIR}/wineprefix)
