// Splits a path once, at construction, into fixed public buffers.
#pragma once

#include <cstddef>

#include "platform/path.h"

// Network paths \\server\share\folder\name are read so that "\\server" is the drive, the bare
// server name goes to Server, and "\share\folder\" is the directory. Every buffer holds a
// terminated string in the ANSI code page, in whole characters, and is never written past its
// capacity. The path is read in the given style: a native Linux path has neither drives nor
// network paths, and "\" is part of a name there.
class ISplitPath {
  public:
    static constexpr std::size_t kPathCapacity = platform::kMaxPath;
    static constexpr std::size_t kPartCapacity = 256;

    explicit ISplitPath(const char* path = nullptr,
                        platform::PathStyle style = platform::kNativePathStyle);
    ISplitPath(const ISplitPath&) = delete;
    ISplitPath& operator=(const ISplitPath&) = delete;
    virtual ~ISplitPath();

    // 1 after splitting `path`; 0, with nothing changed, when it is null.
    int Split(const char* path);

    char* Path;      // the path, cut to kPathCapacity bytes
    char* Drive;     // "C:", or "\\" and the server name for a network path
    char* Server;    // the server name of a network path
    char* Dir;       // up to and including the last separator
    char* Fname;     // the name without its extension
    char* Ext;       // from the last "." on
    char* DriveDir;  // Drive + Dir, cut to kPathCapacity bytes
    char* FnameExt;  // Fname + Ext, cut to kPathCapacity bytes

  private:
    const platform::PathStyle style_;
};
