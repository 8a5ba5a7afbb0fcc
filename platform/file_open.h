// Opening files that another program or user may have swapped for something else: a FIFO
// must not hang the start, a device must not be read without end, a planted symbolic link
// must not redirect a write.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

// Opens a regular file for reading in text mode without ever waiting (a FIFO or device at
// the path is refused, not opened for good); null when it is missing, not a regular file,
// or cannot be read.
std::FILE* OpenRegularFileToRead(const std::string& path);

// Opens a regular file for writing in text mode, created when missing, emptied when present;
// never through a symbolic link at the path itself and never anything but a regular file.
std::FILE* OpenRegularFileToRewrite(const std::string& path);

}  // namespace platform
