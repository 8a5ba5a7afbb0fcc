// A size-limited log file that several processes append to at once, rolled over to
// numbered backups (<file>.1, <file>.2, ...).
//
// A record costs one append and a read of the clock: no lock, no look-up of the path, no
// look at the file. Whole records are appended (O_APPEND; append-only access on Windows), so
// records of several processes never overwrite or tear one another. (Where the system does
// not append in one step, on a network file system or under Wine, each append takes the
// lock.) A record looks at the open file (its size, whether it was removed) only when
// kLookEvery has passed since the last look, when this process wrote kLookAfterBytes since,
// or when what it knows says the file is full; and at the path (whether it still names the
// open file) once every kPathLookEvery. Then:
// - a file removed, moved away, or rolled over by another process is left for the one at
//   the path, made anew when there is none, folders and all;
// - a full file at the path is rolled over under an exclusive lock across processes, with
//   the identity of the file at the path checked under that lock, so two processes never
//   roll over twice for one full file and no backup is dropped early;
// - the lock is waited for a short time only: when it is not had, the record goes into the
//   full file and a later record tries again;
// - a rollover moves the live file away first and deletes the oldest backup last: when the
//   system refuses a move (another program holds a file open without delete sharing),
//   every move is undone, nothing is lost, and the rollover is tried again a second later.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "platform/shared_append_file.h"

class SharedRollingFile {
  public:
    using Clock = std::chrono::steady_clock;

    // How long a record waits at most for the lock to roll over.
    static constexpr std::chrono::milliseconds kLockWait{100};
    // The bounds of not looking: a file grows past its limit by less than kLookAfterBytes
    // and one record for each process that writes to it, and a removed file takes records
    // for kLookEvery at most, a moved one for kPathLookEvery at most.
    static constexpr std::chrono::milliseconds kLookEvery{1};
    static constexpr std::int64_t kLookAfterBytes = std::int64_t{16} * 1024;
    static constexpr std::chrono::seconds kPathLookEvery{1};

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
    std::string UniqueName(const char* kind) const;
    bool LookIsDue(Clock::time_point now) const;
    bool Look(Clock::time_point now);
    bool Reopen();
    bool LockedAppend(const std::string& record);
    enum Purpose { kRollover, kAppends };
    Lock TakeLock(Purpose purpose);
    bool RollOver();

    std::string path_;
    std::int64_t maxSize_;
    int backups_;
    bool turnedOff_ = false;
    // What the last look saw, and what this process wrote since.
    bool lookDue_ = true;
    std::int64_t knownSize_ = 0;
    std::int64_t unlookedBytes_ = 0;
    Clock::time_point lastLook_{};
    Clock::time_point lastPathLook_{};
    // After a lock that was not had in time, later records try that lock once and do not
    // wait, so a process that holds it and never lets go costs each record one try only. Kept
    // for each lock: a stalled rollover lock says nothing of the appends' lock.
    std::array<bool, 2> lockStalled_{};
    // A rollover that the system refused (a file held open without delete sharing) is not
    // tried again before this moment.
    Clock::time_point nextRollover_{};
    platform::SharedAppendFile file_;
};
