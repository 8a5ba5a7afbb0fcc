// Opening files that another program or user may have swapped for something else: a FIFO
// must not hang the start, a device must not be read without end, a planted symbolic link
// must not redirect a write.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

// At most `limit` bytes of a regular file, in text mode, read without ever waiting (a FIFO or
// device at the path is refused, not opened for good) and a piece at a time, so that a file
// costs what it holds, not what the limit allows. False, and `text` empty, when it is missing,
// not a regular file, or cannot be read.
bool ReadRegularFile(const std::string& path, std::size_t limit, std::string& text);

// Opens a regular file for writing in text mode, created when missing, emptied when present;
// never through a symbolic link at the path itself and never anything but a regular file.
std::FILE* OpenRegularFileToRewrite(const std::string& path);

}  // namespace platform
