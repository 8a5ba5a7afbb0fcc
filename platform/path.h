// Path services of the C runtime, multibyte-aware in the ANSI code page.
#pragma once

#include <cstddef>

namespace platform {

// Separator that this system's own paths are joined with: "\" on Windows, "/" elsewhere.
// Everything that parses a path accepts both.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

constexpr std::size_t kMaxPath = 260;
constexpr std::size_t kMaxDrive = 3;
constexpr std::size_t kMaxDir = 256;
constexpr std::size_t kMaxFname = 256;
constexpr std::size_t kMaxExt = 256;

// _splitpath: drive (kMaxDrive bytes), directory up to and including its last "\" or "/"
// (kMaxDir), name (kMaxFname) and extension from the last "." (kMaxExt). Any output may be
// null. A component too long for its buffer is cut without splitting a double-byte character.
void SplitPath(const char* path, char* drive, char* dir, char* fname, char* ext);

// _fullpath: `name` made absolute against the current directory, with "." and ".." levels
// resolved, into `buffer` of `capacity` bytes. Null when it does not fit or cannot be formed.
// Linux forms it without touching the disk; only "/" separates levels there.
char* FullPath(char* buffer, const char* name, std::size_t capacity);

}  // namespace platform
