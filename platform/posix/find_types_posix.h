// The Win32 records that the file services fill, with the same fields as on Windows.
#pragma once

#include <cstdint>

#include "platform/path.h"

using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using CHAR = char;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[platform::kMaxPath];
    CHAR cAlternateFileName[14];
};

namespace platform {

// An open search; the invalid value is what FindFirstFileA returns on failure.
using SearchHandle = void*;
inline SearchHandle InvalidSearchHandle() {
    // The value of Windows' INVALID_HANDLE_VALUE, never a real address.
    return reinterpret_cast<SearchHandle>(  // NOLINT(performance-no-int-to-ptr)
        static_cast<std::intptr_t>(-1));
}

}  // namespace platform
