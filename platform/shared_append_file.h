// A log file that several processes append to at the same time. Every write goes to the
// end of the file as it is at that moment (O_APPEND; append-only access on Windows), so no
// process overwrites another's records; an exclusive lock across processes makes a write
// and a rollover one step that nobody else interleaves with. Paths are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class SharedAppendFile {
  public:
    enum class OpenOutcome { kOpened, kNotRegular, kFailed };

    SharedAppendFile() = default;
    ~SharedAppendFile();
    SharedAppendFile(const SharedAppendFile&) = delete;
    SharedAppendFile& operator=(const SharedAppendFile&) = delete;

    // Opens the file for appending, creating it when missing, without ever waiting on what
    // sits at the path; anything but a regular file is refused.
    OpenOutcome Open(const std::string& path);
    void Close();
    bool IsOpen() const;

    // Waits for the exclusive lock that every process appending to this file takes; false
    // when the system cannot lock the file at all.
    bool Lock();
    void Unlock();

    // The size of the open file as it is now on disk, when `path` still names it; -1 once
    // another process has moved it away in a rollover or removed it, or when that cannot be
    // told.
    std::int64_t SizeIfAt(const std::string& path) const;

    // Writes all of it at the end of the file; false when the system did not take it all.
    bool Append(const char* data, std::size_t size);

  private:
    std::intptr_t handle_ = -1;
};

// Moves the file at `source` over `target` (UTF-8 paths), replacing it; true on success.
bool MoveFileOver(const std::string& source, const std::string& target);

// Removes the file at `path` (UTF-8); true when it is gone.
bool RemoveFileAt(const std::string& path);

}  // namespace platform
