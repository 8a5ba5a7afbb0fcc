// Directory-tree creation and the existence check.
#pragma once

#include <memory>

#include "fsutil/multibyte_text.h"
#include "platform/path.h"

class IFileFind;

// 1 when the platform created the directory; otherwise 0, with the platform's last error.
int CreateOneDirectory(const char* path);

// 1 when at least one file or directory matches the name or wildcard pattern. The folder part
// is looked up as it is written, never as a pattern.
int FileExists(const char* path);

// What CreateDirectoryTree looks parents up with and creates levels with. The shipped
// functions use the platform; tests and fuzzing put something else in their place.
class DirectoryTreeServices {
  public:
    virtual ~DirectoryTreeServices() = default;
    virtual std::unique_ptr<IFileFind> NewFileFind() = 0;
    virtual int CreateOneDirectory(const char* path) = 0;
};

// Creates the directory named by `path` together with any missing ancestors, top-most first.
// 1 when this call created `path` itself; 0 otherwise, also when it existed already. A level
// that fails stops the levels below it; nothing created is removed again. Each parent is
// looked up by its exact name: "*" and "?" in a Linux folder name are no wildcards. The path is
// read in `style`, the native one unless a caller hands over Windows-style text.
int CreateDirectoryTree(const char* path);
int CreateDirectoryTree(const char* path, DirectoryTreeServices& services,
                        platform::PathStyle style = platform::kNativePathStyle);
