// Directory search, as FindFirstFileA / FindNextFileA / FindClose.
#pragma once

#ifdef _WIN32
#include "platform/win32/find_types_win32.h"
#else
#include "platform/posix/find_types_posix.h"
#endif

namespace platform {

// Win32 error codes that the callers of the file services read.
constexpr DWORD kErrorFileNotFound = 2;
constexpr DWORD kErrorPathNotFound = 3;
constexpr DWORD kErrorAccessDenied = 5;
constexpr DWORD kErrorInvalidHandle = 6;
constexpr DWORD kErrorNoMoreFiles = 18;
constexpr DWORD kErrorInvalidName = 123;
constexpr DWORD kErrorAlreadyExists = 183;
constexpr DWORD kErrorFilenameExcedRange = 206;

// Attribute bits of a find-data record.
constexpr DWORD kAttributeReadOnly = 0x01;
constexpr DWORD kAttributeHidden = 0x02;
constexpr DWORD kAttributeDirectory = 0x10;
constexpr DWORD kAttributeNormal = 0x80;

// How FindFirstEntry reads the last part of its pattern: with "*" and "?" as wildcards, or as
// the exact name of one entry (on Linux a name may hold both; Windows allows neither, so there
// such a name is invalid, error 123).
enum class FindMatch { kPattern, kExactName };

// The first entry of the folder named by `pattern`'s directory part whose name matches its
// last part goes into `data`. The directory part is never a pattern: a wildcard there gives
// error 123. Returns a handle for FindNextEntry, or InvalidSearchHandle() with the reason in
// the last-error code.
SearchHandle FindFirstEntry(const char* pattern, WIN32_FIND_DATAA* data,
                            FindMatch match = FindMatch::kPattern);

// The next matching entry into `data`; false at the end (last error 18) or on error.
bool FindNextEntry(SearchHandle handle, WIN32_FIND_DATAA* data);

bool CloseFind(SearchHandle handle);

}  // namespace platform
