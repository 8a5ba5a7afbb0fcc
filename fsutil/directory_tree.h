// Directory-tree creation, the existence check, and the multibyte string helpers they use.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class IFileFind;

// Index of the last `byte` in `text` that is not the second byte of a double-byte character;
// -1 when there is none.
std::int32_t FindLastChar(const std::string& text, char byte);

// The first `count` bytes of `text`, one more when the cut would fall inside a double-byte
// character. Empty for a count of 0 or less, the whole text for a count beyond it.
std::string LeftWholeChars(const std::string& text, std::int32_t count);

// 1 when the platform created the directory; otherwise 0, with the platform's last error.
int CreateOneDirectory(const char* path);

// 1 when at least one file or directory matches the name or wildcard pattern.
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
// that fails stops the levels below it; nothing created is removed again.
int CreateDirectoryTree(const char* path);
int CreateDirectoryTree(const char* path, DirectoryTreeServices& services);
