#include "platform/file_find.h"

namespace platform {

SearchHandle FindFirstEntry(const char* pattern, WIN32_FIND_DATAA* data) {
    return FindFirstFileA(pattern, data);
}

bool FindNextEntry(SearchHandle handle, WIN32_FIND_DATAA* data) {
    return FindNextFileA(handle, data) != FALSE;
}

bool CloseFind(SearchHandle handle) {
    return FindClose(handle) != FALSE;
}

}  // namespace platform
