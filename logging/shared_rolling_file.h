// A size-limited log file that several processes append to at once, rolled over to
// numbered backups (<file>.1, <file>.2, ...).
//
// A record costs one append and a read of the clock: no lock, no look-up of the path, no
// look at the file. Whole records are appended (O_APPEND; append-only access on Windows), so
// records of several processes never overwrite or tear one another. Where the system does
// not append in one step (a network file system, Wine), each append takes a lock as well,
// and a record that cannot have it is dropped and counted, never written without it.
// A record looks at the open file (its size, whether it was removed) only when kLookEvery
// has passed since the last look, when this process wrote kLookAfterBytes since, or when
// what it knows says the file is full; and at the path (whether it still names the open
// file) once every kPathLookEvery. Then:
// - a file removed, moved away, or rolled over by another process is left for the one at
//   the path, made anew when there is none, folders and all;
// - a full file at the path is rolled over under an exclusive lock across processes, with
//   the identity of the file at the path checked under that lock, so two processes never
//   roll over twice for one full file and no backup is dropped early;
// - the rollover lock is waited for a short time only: when it is not had, the record goes
//   into the full file and a later record tries again;
// - a rollover moves the live file away first and deletes the oldest backup last: when the
//   system refuses a move (another program holds a file open without delete sharing),
//   every move is undone, nothing is lost, and the rollover is tried again a second later;
// - a log that cannot be opened or written is tried again once every kOpenRetryEvery; the
//   records in between are dropped without a system call.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/shared_append_file.h"

class SharedRollingFile {
  public:
    // What the file measures its bounds by, and how it pauses between two tries at a lock;
    // tests pass one whose time they set.
    class Clock {
      public:
        using TimePoint = std::chrono::steady_clock::time_point;
        virtual ~Clock() = default;
        virtual TimePoint Now() const = 0;
        // Zero gives the processor to another thread once.
        virtual void Pause(std::chrono::milliseconds pause) const = 0;
    };
    static const Clock& SteadyClock();

    // Where a person learns why records were not written: one line each time it happens,
    // never one a record.
    using Report = std::function<void(const std::string& line)>;

    // How long a record waits at most for the lock to roll over.
    static constexpr std::chrono::milliseconds kLockWait{100};
    // How long one process may hold the appends' lock before the others count it as stopped
    // and drop their records: an append holds it for microseconds, and a holder that the
    // scheduler set aside on a busy machine for tens of milliseconds, so this is far beyond
    // anything but a holder that goes on no more.
    static constexpr std::chrono::milliseconds kAppendLockWait{1000};
    // However often the holder changes, no record waits longer than this for the appends'
    // lock.
    static constexpr std::chrono::milliseconds kAppendLockWaitLimit{10000};
    // A log that cannot be opened or written is tried again no sooner than this.
    static constexpr std::chrono::seconds kOpenRetryEvery{1};
    // The bounds of not looking: a file grows past its limit by less than kLookAfterBytes
    // and one record for each process that writes to it, and a removed file takes records
    // for kLookEvery at most, a moved one for kPathLookEvery at most.
    static constexpr std::chrono::milliseconds kLookEvery{1};
    static constexpr std::int64_t kLookAfterBytes = std::int64_t{16} * 1024;
    static constexpr std::chrono::seconds kPathLookEvery{1};

    // `path` in UTF-8; a file at `maxSize` bytes or more is rolled over before the next
    // record; `backups` numbered backups are kept (none: the full file is removed).
    SharedRollingFile(std::string path, std::int64_t maxSize, int backups,
                      const Clock& clock = SteadyClock(), Report report = nullptr);
    ~SharedRollingFile();
    SharedRollingFile(const SharedRollingFile&) = delete;
    SharedRollingFile& operator=(const SharedRollingFile&) = delete;

    // Opens the file, creating it (and its folders) when missing, as log4cxx's own file
    // appenders do when they are configured; false when it cannot be opened (or is not to
    // be tried again yet). A path that names anything but a regular file turns the file off
    // for good.
    bool Open();

    // Appends the record whole; false when it was not written (nothing is ever written once
    // the file is turned off).
    bool Append(const std::string& record);

    bool IsTurnedOff() const { return turnedOff_; }

    // Records not written because the appends' lock could not be had, or because the log
    // could not be opened or written.
    std::int64_t DroppedForLock() const { return droppedForLock_; }
    std::int64_t DroppedUnopened() const { return droppedUnopened_; }

  private:
    using TimePoint = Clock::TimePoint;
    using AppendTry = platform::SharedAppendFile::AppendLockTry;
    enum class Lock { kLocked, kNotHad, kUnsupported };
    enum class LookStep { kKeepWriting, kFollowThePath, kRollOver };
    enum class Rollover { kNotNow, kDone, kRefused };
    enum class Written { kYes, kLockNotHad, kNo };

    bool HaveFile(TimePoint now);
    bool OpenNow(TimePoint now);
    bool Reopen(TimePoint now);
    void CannotOpenUntilLater(TimePoint now, const std::string& reason);
    Written WriteRecord(const std::string& record, TimePoint now);
    platform::Result<Written> AppendLocked(const std::string& record);
    bool LookIsDue(TimePoint now) const;
    bool Look(TimePoint now);
    LookStep WhatTheLookCallsFor(const platform::SharedAppendFile::State& state, bool pathDue,
                                 TimePoint now);
    Rollover RollOverUnderTheLock();
    Lock TakeRolloverLock();
    bool TakeAppendLock();
    void EndAppendLockStall();
    bool RollOver();
    std::string Backup(int number) const;
    std::string UniqueName(const char* kind) const;
    void Tell(const std::string& line) const;

    std::string path_;
    std::int64_t maxSize_;
    int backups_;
    const Clock& clock_;
    Report report_;
    bool turnedOff_ = false;
    // What the last look saw, and what this process wrote since.
    bool lookDue_ = true;
    std::int64_t knownSize_ = 0;
    std::int64_t unlookedBytes_ = 0;
    TimePoint lastLook_{};
    TimePoint lastPathLook_{};
    // After a rollover lock that was not had in time, later records try it once and do not
    // wait, so a process that holds it and never lets go costs each record one try only.
    bool rolloverLockStalled_ = false;
    // A rollover that the system refused (a file held open without delete sharing) is not
    // tried again before this moment.
    TimePoint nextRollover_{};
    // The hold of the appends' lock that outlasted a whole wait: while the same hold is
    // there, records try once and are dropped.
    std::optional<std::uint64_t> stalledAppendHold_;
    TimePoint askStalledHolderAt_{};
    std::int64_t droppedForLock_ = 0;
    std::int64_t droppedForLockReported_ = 0;
    // A log that could not be opened or written is not tried again before this moment.
    TimePoint nextOpenTry_{};
    bool openFailureReported_ = false;
    std::int64_t droppedUnopened_ = 0;
    platform::SharedAppendFile file_;
};
