#include <windows.h>

#include "platform/process.h"

namespace platform {

std::uint32_t ExecutableFilePath(char* buffer, std::uint32_t size) {
    if (size == 0) return 0;
    const DWORD length = GetModuleFileNameA(nullptr, buffer, size);
    // A full buffer means the path was cut, and Windows XP and Wine then leave it without a
    // terminator: a cut path would name another program, so it is a failure.
    if (length == 0 || length >= size) {
        buffer[0] = '\0';
        if (length != 0) SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return length;
}

}  // namespace platform
