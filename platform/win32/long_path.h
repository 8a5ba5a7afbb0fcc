// Extended-length paths for the services that take names of any length.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// `path` (UTF-8) as an extended-length path (\\?\C:\..., \\?\UNC\server\share\...), made
// full and canonical first, since such a path is taken as it is; a device path and one that
// is extended already are left as they are.
std::wstring LongPath(const std::string& path);

// Where the first folder below the root of an extended-length path ends: past \\?\C:\ or
// \\?\UNC\server\share\, which cannot be made. npos when there is none.
std::size_t FirstFolderEnd(const std::wstring& path);

}  // namespace platform
