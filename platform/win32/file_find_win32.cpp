#include <windows.h>

#include <cstddef>
#include <cstring>

#include "platform/file_find.h"

namespace platform {

// The record is handed to the system as it is, so it must be the system's own.
static_assert(sizeof(FindData) == sizeof(WIN32_FIND_DATAA));
static_assert(offsetof(FindData, ftCreationTime) == offsetof(WIN32_FIND_DATAA, ftCreationTime));
static_assert(offsetof(FindData, ftLastWriteTime) == offsetof(WIN32_FIND_DATAA, ftLastWriteTime));
static_assert(offsetof(FindData, nFileSizeLow) == offsetof(WIN32_FIND_DATAA, nFileSizeLow));
static_assert(offsetof(FindData, cFileName) == offsetof(WIN32_FIND_DATAA, cFileName));
static_assert(offsetof(FindData, cAlternateFileName) ==
              offsetof(WIN32_FIND_DATAA, cAlternateFileName));

SearchHandle FindFirstEntry(const char* pattern, FindData* data, FindMatch match) {
    // No Windows path holds a wildcard, so an exact name with one names nothing. ("*" and "?"
    // are below 0x40: never the second byte of a double-byte character.)
    if (match == FindMatch::kExactName && std::strpbrk(pattern, "*?") != nullptr) {
        SetLastError(kErrorInvalidName);
        return INVALID_HANDLE_VALUE;
    }
    return FindFirstFileA(pattern, reinterpret_cast<WIN32_FIND_DATAA*>(data));
}

bool FindNextEntry(SearchHandle handle, FindData* data) {
    return FindNextFileA(handle, reinterpret_cast<WIN32_FIND_DATAA*>(data)) != FALSE;
}

bool CloseFind(SearchHandle handle) {
    return FindClose(handle) != FALSE;
}

}  // namespace platform
