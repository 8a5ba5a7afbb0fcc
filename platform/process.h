// The running process as the launcher sees it: its file, its command line, its show code.
#pragma once

#include <cstdint>

namespace platform {

// Full path of the running executable in the ANSI code page, as GetModuleFileNameA: the number
// of bytes written without the terminator, 0 on failure (buffer then holds an empty string).
std::uint32_t ExecutableFilePath(char* buffer, std::uint32_t size);

// The whole command line in the ANSI code page, the executable's own path at its head.
const char* ProcessCommandLine();

// The show code the process was started with, 10 (SW_SHOWDEFAULT) when the starter set none.
int StartupShowCode();

}  // namespace platform
