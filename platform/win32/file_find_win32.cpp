#include "platform/file_find.h"

#include <cstring>

namespace platform {

SearchHandle FindFirstEntry(const char* pattern, WIN32_FIND_DATAA* data, FindMatch match) {
    // No Windows path holds a wildcard, so an exact name with one names nothing. ("*" and "?"
    // are below 0x40: never the second byte of a double-byte character.)
    if (match == FindMatch::kExactName && std::strpbrk(pattern, "*?") != nullptr) {
        SetLastError(kErrorInvalidName);
        return INVALID_HANDLE_VALUE;
    }
    return FindFirstFileA(pattern, data);
}

bool FindNextEntry(SearchHandle handle, WIN32_FIND_DATAA* data) {
    return FindNextFileA(handle, data) != FALSE;
}

bool CloseFind(SearchHandle handle) {
    return FindClose(handle) != FALSE;
}

}  // namespace platform
