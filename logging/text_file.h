// Whole text files in text mode (CR LF on Windows, LF elsewhere), read and written so that
// a FIFO, a device or a planted link where the file should be costs nothing.
#pragma once

#include <cstddef>
#include <string>

enum class TextFileRead {
    kRead,
    kUnreadable,  // missing, not a regular file, or a read error
    kTooLarge,    // holds more than the limit; `text` has the first `limit` bytes
};

// Reads a regular file, at most `limit` bytes, without ever waiting on what sits at the path.
TextFileRead ReadTextFile(const std::string& path, std::size_t limit, std::string& text);

// Replaces what the file holds with `text`, never through a link at the path; false when
// any of it failed.
bool RewriteTextFile(const std::string& path, const std::string& text);

// Writes the text into a new file beside `path` with a name nobody can guess and sets
// `temporaryPath` to it; false, no file left and `temporaryPath` untouched, when any of it
// failed.
bool WriteTemporarySibling(const std::string& path, const std::string& text,
                           std::string& temporaryPath);
