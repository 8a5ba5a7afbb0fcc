// A size-limited log file that several processes append to at once, rolled over to
// numbered backups (<file>.1, <file>.2, ...). Each append and each rollover happens under an
// exclusive lock across processes, with the size read from the file itself under that lock,
// and a process whose file another one has rolled over reopens the file at the path. So two
// processes never roll over twice for one full file, and a backup is never lost early.
#pragma once

#include <cstdint>
#include <string>

#include "platform/shared_append_file.h"

class SharedRollingFile {
  public:
    // `path` in UTF-8; a file at `maxSize` bytes or more is rolled over before the next
    // record; `backups` numbered backups are kept (none: the full file is removed).
    SharedRollingFile(std::string path, std::int64_t maxSize, int backups);

    // Opens the file, creating it when missing, as log4cxx's own file appenders do when they
    // are configured; false when it cannot be opened. A path that names anything but a
    // regular file turns the file off for good.
    bool Open();

    // Appends the record whole; false when it could not be written (nothing is ever written
    // once the file is turned off).
    bool Append(const std::string& record);

    bool IsTurnedOff() const { return turnedOff_; }

  private:
    std::string Backup(int number) const;
    bool RollOver();

    std::string path_;
    std::int64_t maxSize_;
    int backups_;
    bool turnedOff_ = false;
    platform::SharedAppendFile file_;
};
