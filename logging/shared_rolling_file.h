// A size-limited log file that several processes append to at once, rolled over to
// numbered backups (<file>.1, <file>.2, ...).
//
// A record costs one look at the open file's state and one append: no lock, no look-up of
// the path. Whole records are appended (O_APPEND; append-only access on Windows), so records
// of several processes never overwrite or tear one another. (Where the system does not
// append in one step, on a network file system or under Wine, each append takes the lock.) Only
// when the open file has reached the limit or was removed does a record take the slow path first:
// - a full file that another process has rolled over is left for the one now at the path
//   (every file that was rolled over is full, so a process never goes on writing into one);
// - a full file at the path is rolled over under an exclusive lock across processes, with
//   the identity of the file at the path checked under that lock, so two processes never
//   roll over twice for one full file and no backup is dropped early;
// - the lock is waited for a short time only: when it is not had, the record goes into the
//   full file and a later record tries again;
// - a file (or folder) removed meanwhile is made again.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "platform/shared_append_file.h"

class SharedRollingFile {
  public:
    // How long a record waits at most for the lock to roll over.
    static constexpr std::chrono::milliseconds kLockWait{100};

    // `path` in UTF-8; a file at `maxSize` bytes or more is rolled over before the next
    // record; `backups` numbered backups are kept (none: the full file is removed).
    SharedRollingFile(std::string path, std::int64_t maxSize, int backups);

    // Opens the file, creating it (and its folders) when missing, as log4cxx's own file
    // appenders do when they are configured; false when it cannot be opened. A path that
    // names anything but a regular file turns the file off for good.
    bool Open();

    // Appends the record whole; false when it could not be written (nothing is ever written
    // once the file is turned off).
    bool Append(const std::string& record);

    bool IsTurnedOff() const { return turnedOff_; }

  private:
    enum class Lock { kLocked, kNotHad, kUnsupported };

    std::string Backup(int number) const;
    bool Reopen();
    bool LockedAppend(const std::string& record);
    bool SlowPath();
    enum Purpose { kRollover, kAppends };
    Lock TakeLock(Purpose purpose);
    bool RollOver();

    std::string path_;
    std::int64_t maxSize_;
    int backups_;
    bool turnedOff_ = false;
    // After a lock that was not had in time, later records try that lock once and do not
    // wait, so a process that holds it and never lets go costs each record one try only. Kept
    // for each lock: a stalled rollover lock says nothing of the appends' lock.
    std::array<bool, 2> lockStalled_{};
    // A rollover that the system refused (a backup held open without delete sharing) is
    // not tried again before this moment.
    std::chrono::steady_clock::time_point nextRollover_{};
    platform::SharedAppendFile file_;
};
