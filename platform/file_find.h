// Directory search, as FindFirstFileA / FindNextFileA / FindClose.
#pragma once

#include <cstdint>

#include "platform/file_time.h"
#include "platform/last_error.h"
#include "platform/path.h"

namespace platform {

// Attribute bits of a find-data record.
constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeHidden = 0x02;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeNormal = 0x80;

// One entry of a search, laid out as Windows' WIN32_FIND_DATAA.
struct FindData {
    std::uint32_t dwFileAttributes;
    FileTime ftCreationTime;
    FileTime ftLastAccessTime;
    FileTime ftLastWriteTime;
    std::uint32_t nFileSizeHigh;
    std::uint32_t nFileSizeLow;
    std::uint32_t dwReserved0;
    std::uint32_t dwReserved1;
    char cFileName[kMaxPath];
    char cAlternateFileName[14];
};

// An open search. The invalid value is the one FindFirstFileA returns on failure
// (INVALID_HANDLE_VALUE), never a real address.
using SearchHandle = void*;
inline SearchHandle InvalidSearchHandle() {
    return reinterpret_cast<SearchHandle>(  // NOLINT(performance-no-int-to-ptr)
        static_cast<std::intptr_t>(-1));
}

// How FindFirstEntry reads the last part of its pattern: with "*" and "?" as wildcards, or as
// the exact name of one entry (on Linux a name may hold both; Windows allows neither, so there
// such a name is invalid, error 123).
enum class FindMatch { kPattern, kExactName };

// The first entry of the folder named by `pattern`'s directory part whose name matches its
// last part goes into `data`. The directory part is never a pattern: a wildcard there gives
// error 123. Returns a handle for FindNextEntry, or InvalidSearchHandle() with the reason in
// the last-error code.
SearchHandle FindFirstEntry(const char* pattern, FindData* data,
                            FindMatch match = FindMatch::kPattern);

// The next matching entry into `data`; false at the end (last error 18) or on error.
bool FindNextEntry(SearchHandle handle, FindData* data);

bool CloseFind(SearchHandle handle);

}  // namespace platform
