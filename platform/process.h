// The running process's own file.
#pragma once

#include <cstdint>

namespace platform {

// Full path of the running executable in the ANSI code page, as GetModuleFileNameA: the number
// of bytes written without the terminator, 0 on failure (buffer then holds an empty string).
std::uint32_t ExecutableFilePath(char* buffer, std::uint32_t size);

}  // namespace platform
