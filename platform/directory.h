// Directory creation, as CreateDirectoryA with default security attributes.
#pragma once

#include <string>

#include "platform/result.h"

namespace platform {

// True when the directory was created; otherwise false with the reason in the last-error
// code (183 when the name exists already, 3 when a level above it is missing, 5 when denied).
bool MakeDirectory(const char* path);

// Makes the folder `path` and every level above it that is missing, as `mkdir -p` does;
// true when a folder is there afterwards, else false with the reason. UTF-8 on Windows,
// where the path may be of any length; on Linux the name's bytes.
Result<bool> MakeFolders(const std::string& path);

}  // namespace platform
