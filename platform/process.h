// The running process as the launcher sees it: its file, its command line, its show code.
#pragma once

#include <cstdint>

#include "platform/com.h"

namespace platform {

// Full path of the running executable in the ANSI code page, as GetModuleFileNameA: the number
// of bytes written without the terminator, 0 on failure (buffer then holds an empty string).
std::uint32_t ExecutableFilePath(char* buffer, std::uint32_t size);

// The whole command line in UTF-16, the executable's own path at its head: on Windows the
// one the system holds (GetCommandLineW), so that characters outside the ANSI code page
// survive; elsewhere the arguments joined back with the Windows quoting rules, converted from
// the locale's code set. Null when it cannot be converted.
const OLECHAR* ProcessCommandLine();

// The show code the process was started with, 10 (SW_SHOWDEFAULT) when the starter set none.
int StartupShowCode();

}  // namespace platform
