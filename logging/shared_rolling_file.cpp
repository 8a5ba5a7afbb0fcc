#include "logging/shared_rolling_file.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Each round of a look that finds the file moved starts over at the new file; more rounds
// than this means a storm of rollovers, and the record stays where it went.
constexpr int kRounds = 8;

constexpr std::chrono::milliseconds kLockPoll{1};
constexpr int kTriesBeforeSleeping = 64;
constexpr std::chrono::seconds kRolloverRetry{1};
// A holder of the appends' lock seen for this long is asked whether it still runs.
constexpr std::chrono::milliseconds kAskHolderAfter{20};

using platform::MoveOutcome;
using platform::SharedAppendFile;

class SteadyClockImpl final : public SharedRollingFile::Clock {
  public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
    void Pause(std::chrono::milliseconds pause) const override {
        if (pause.count() == 0) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(pause);
        }
    }
};

// Polled without blocking against a deadline of elapsed time, not a count of sleeps: a sleep
// lasts a whole scheduler tick on Windows (about 15.6 ms). A lock is held for a moment only:
// a few more tries before the first sleep.
void PauseBeforeTry(const SharedRollingFile::Clock& clock, int tries) {
    clock.Pause(tries < kTriesBeforeSleeping ? std::chrono::milliseconds(0) : kLockPoll);
}

// The moves of one rollover, kept so that all of them can be undone when one is refused.
class Moves {
  public:
    // False when the system refused; a source that is not there is nothing to move.
    bool Do(const std::string& from, const std::string& to) {
        const MoveOutcome outcome = platform::MoveFileTo(from, to);
        if (outcome == MoveOutcome::kMoved) done_.emplace_back(from, to);
        return outcome != MoveOutcome::kRefused;
    }

    // Back in the reverse order. A move back that fails (someone made a file at the name
    // meanwhile) stops there: the files keep names of their own, and none is deleted.
    void Undo() {
        for (auto at = done_.rbegin(); at != done_.rend(); ++at) {
            if (platform::MoveFileTo(at->second, at->first) != MoveOutcome::kMoved) return;
        }
    }

  private:
    std::vector<std::pair<std::string, std::string>> done_;
};

}  // namespace

const SharedRollingFile::Clock& SharedRollingFile::SteadyClock() {
    static const SteadyClockImpl clock;
    return clock;
}

SharedRollingFile::SharedRollingFile(std::string path, std::int64_t maxSize, int backups,
                                     const Clock& clock, Report report)
    : path_(std::move(path)),
      maxSize_(maxSize),
      backups_(backups < 0 ? 0 : backups),
      clock_(clock),
      report_(std::move(report)) {}

SharedRollingFile::~SharedRollingFile() {
    EndAppendLockStall();
}

bool SharedRollingFile::Open() {
    return HaveFile(clock_.Now());
}

bool SharedRollingFile::Append(const std::string& record) {
    const TimePoint now = clock_.Now();
    if (HaveFile(now) && (!LookIsDue(now) || Look(now))) {
        switch (WriteRecord(record, now)) {
            case Written::kYes: {
                const auto size = static_cast<std::int64_t>(record.size());
                knownSize_ += size;
                unlookedBytes_ += size;
                return true;
            }
            case Written::kLockNotHad:
                ++droppedForLock_;
                return false;
            case Written::kNo:
                break;
        }
    }
    if (!turnedOff_) ++droppedUnopened_;
    return false;
}

// An open file, or one opened now; a log that could not be opened is not tried again before
// its time, which costs no system call.
bool SharedRollingFile::HaveFile(TimePoint now) {
    if (turnedOff_) return false;
    if (file_.IsOpen()) return true;
    return now >= nextOpenTry_ && OpenNow(now);
}

bool SharedRollingFile::OpenNow(TimePoint now) {
    const auto opened = file_.Open(path_);
    if (opened.outcome == SharedAppendFile::OpenOutcome::kNotRegular) {
        turnedOff_ = true;
        Tell(path_ + ": " + opened.reason + ": nothing is logged");
        return false;
    }
    if (opened.outcome != SharedAppendFile::OpenOutcome::kOpened) {
        CannotOpenUntilLater(now, "cannot be opened: " + opened.reason);
        return false;
    }
    // Opened by its path just now; its size is read before the first record.
    lookDue_ = true;
    lastPathLook_ = now;
    return true;
}

bool SharedRollingFile::Reopen(TimePoint now) {
    file_.Close();
    return OpenNow(now);
}

void SharedRollingFile::CannotOpenUntilLater(TimePoint now, const std::string& reason) {
    file_.Close();
    nextOpenTry_ = now + kOpenRetryEvery;
    if (openFailureReported_) return;
    openFailureReported_ = true;
    Tell(path_ + " " + reason + "; records are dropped until it can be, tried once a second");
}

SharedRollingFile::Written SharedRollingFile::WriteRecord(const std::string& record,
                                                          TimePoint now) {
    const platform::Result<Written> written = AppendLocked(record);
    if (written.outcome != Written::kNo) return written.outcome;
    // A handle that went bad (a share that went away) is worth one new open at once.
    if (!Reopen(now)) return Written::kNo;
    const platform::Result<Written> again = AppendLocked(record);
    if (again.outcome == Written::kNo)
        CannotOpenUntilLater(now, "cannot be written: " + again.reason);
    return again.outcome;
}

// Where the system does not append in one step, never without the appends' lock.
platform::Result<SharedRollingFile::Written> SharedRollingFile::AppendLocked(
    const std::string& record) {
    const bool locking = file_.AppendsNeedLock();
    if (locking && !TakeAppendLock()) return {Written::kLockNotHad, {}};
    platform::Result<bool> written = file_.Append(record.data(), record.size());
    if (locking) file_.UnlockAppends();
    if (written.outcome) return {Written::kYes, {}};
    return {Written::kNo, std::move(written.reason)};
}

bool SharedRollingFile::LookIsDue(TimePoint now) const {
    return lookDue_ || unlookedBytes_ >= kLookAfterBytes || now - lastLook_ >= kLookEvery ||
           now - lastPathLook_ >= kPathLookEvery ||
           (knownSize_ >= maxSize_ && now >= nextRollover_);
}

// Runs before the record is written; false when no file can be had for it.
bool SharedRollingFile::Look(TimePoint now) {
    bool pathDue = now - lastPathLook_ >= kPathLookEvery;
    SharedAppendFile::State state;
    state.size = knownSize_;  // kept where the system cannot tell
    for (int round = 1; round <= kRounds; ++round) {
        if (!file_.Query(state)) break;
        const LookStep step = WhatTheLookCallsFor(state, pathDue, now);
        pathDue = false;
        if (step == LookStep::kKeepWriting) break;
        if (step == LookStep::kRollOver) {
            const Rollover rollover = RollOverUnderTheLock();
            if (rollover == Rollover::kNotNow) break;      // a later record tries again
            if (rollover == Rollover::kRefused) continue;  // its size is read once more
        }
        // Rolled over, removed, moved away, or rolled over by another process.
        if (!Reopen(now)) return false;
    }
    lookDue_ = false;
    knownSize_ = state.size;
    unlookedBytes_ = 0;
    lastLook_ = now;
    return true;
}

// Whether the record goes into the open file, into the file at the path, or into the file
// at the path once it is rolled over.
SharedRollingFile::LookStep SharedRollingFile::WhatTheLookCallsFor(
    const SharedAppendFile::State& state, bool pathDue, TimePoint now) {
    const bool mayRollOver = state.size >= maxSize_ && now >= nextRollover_;
    if (!state.removed && !pathDue && !mayRollOver) return LookStep::kKeepWriting;
    if (state.removed || !file_.IsAt(path_)) return LookStep::kFollowThePath;
    lastPathLook_ = now;
    return mayRollOver ? LookStep::kRollOver : LookStep::kKeepWriting;
}

SharedRollingFile::Rollover SharedRollingFile::RollOverUnderTheLock() {
    const Lock lock = TakeRolloverLock();
    if (lock == Lock::kUnsupported) nextRollover_ = clock_.Now() + kRolloverRetry;
    if (lock != Lock::kLocked) return Rollover::kNotNow;
    // Under the lock nobody else rolls over; the file at the path is still this one unless
    // another process rolled it over just before.
    if (file_.IsAt(path_) && !RollOver() && file_.IsAt(path_)) {
        nextRollover_ = clock_.Now() + kRolloverRetry;
        file_.Unlock();
        return Rollover::kRefused;
    }
    file_.Unlock();
    return Rollover::kDone;
}

SharedRollingFile::Lock SharedRollingFile::TakeRolloverLock() {
    const TimePoint deadline = clock_.Now() + kLockWait;
    for (int tries = 1;; ++tries) {
        switch (file_.TryLock()) {
            case SharedAppendFile::LockOutcome::kLocked:
                rolloverLockStalled_ = false;
                return Lock::kLocked;
            case SharedAppendFile::LockOutcome::kUnsupported:
                // A file system without locks: appends are still whole, only rollovers stop.
                return Lock::kUnsupported;
            case SharedAppendFile::LockOutcome::kBusy:
                break;
        }
        if (rolloverLockStalled_ || clock_.Now() >= deadline) {
            rolloverLockStalled_ = true;
            return Lock::kNotHad;
        }
        PauseBeforeTry(clock_, tries);
    }
}

// True when the appends' lock is had. A hold that lasts a whole kAppendLockWait is taken for
// a holder that goes on no more: the record is dropped, and so is every later one that finds
// that same hold, after a single try. A holder that is only slow costs waiting: each new hold
// starts the wait afresh, up to kAppendLockWaitLimit in all.
bool SharedRollingFile::TakeAppendLock() {
    const TimePoint start = clock_.Now();
    std::uint64_t holder = 0;
    TimePoint heldSince = start;
    for (int tries = 1;; ++tries) {
        const AppendTry tried = file_.TryLockAppends();
        if (tried.outcome == SharedAppendFile::LockOutcome::kLocked) break;
        // No lock on this file system: there is none to keep appends whole, and none to wait
        // for; the record is written as the system appends it.
        if (tried.outcome == SharedAppendFile::LockOutcome::kUnsupported) return true;
        const TimePoint now = clock_.Now();
        if (tries == 1 || tried.holder != holder) {
            holder = tried.holder;
            heldSince = now;
        }
        if (stalledAppendHold_ == holder) {
            // Whether that holder ended is asked again once a wait's time has passed.
            if (now < askStalledHolderAt_ || !file_.TakeOverAppendsFrom(holder)) {
                askStalledHolderAt_ = std::max(askStalledHolderAt_, now + kAppendLockWait);
                return false;
            }
            break;
        }
        if (now - heldSince >= kAskHolderAfter && file_.TakeOverAppendsFrom(holder)) break;
        if (now - heldSince >= kAppendLockWait || now - start >= kAppendLockWaitLimit) {
            stalledAppendHold_ = holder;
            askStalledHolderAt_ = now + kAppendLockWait;
            return false;
        }
        PauseBeforeTry(clock_, tries);
    }
    EndAppendLockStall();
    return true;
}

// Says once for each stall how many records it cost.
void SharedRollingFile::EndAppendLockStall() {
    stalledAppendHold_.reset();
    const std::int64_t dropped = droppedForLock_ - droppedForLockReported_;
    if (dropped == 0) return;
    droppedForLockReported_ = droppedForLock_;
    Tell(std::to_string(dropped) + " records not written to " + path_ +
         ": another process held the lock that keeps appends whole for more than " +
         std::to_string(kAppendLockWait.count()) + " ms");
}

void SharedRollingFile::Tell(const std::string& line) const {
    if (report_) report_(line);
}

std::string SharedRollingFile::Backup(int number) const {
    return path_ + "." + std::to_string(number);
}

// A name of its own for a file that a rollover moves aside, which no other process picks:
// drawn from the system's randomness only when a rollover needs it, not at every start.
std::string SharedRollingFile::UniqueName(const char* kind) const {
    std::random_device random;
    const auto high = static_cast<unsigned long long>(random());
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", (high << 32) | random());
    return path_ + kind + suffix;
}

// Runs under the lock of the file at the path, so nobody else moves these files meanwhile.
// Every step but the last is a move to a free name, which can be undone; the oldest backup
// is deleted last, once every move has worked. So a move that the system refuses (another
// program holding the live file or a backup open without delete sharing) changes nothing,
// and every move goes to a name that is free even while idle processes hold old
// generations open (Windows can neither replace an open file nor free the name of one
// pending deletion).
bool SharedRollingFile::RollOver() {
    const char* const retiredKind = ".retired-";
    const std::string retired = UniqueName(retiredKind);
    if (backups_ == 0) {
        if (platform::MoveFileTo(path_, retired) != MoveOutcome::kMoved) return false;
    } else {
        const std::string staged = UniqueName(".rolling-");
        if (platform::MoveFileTo(path_, staged) != MoveOutcome::kMoved) return false;
        Moves moves;
        bool moved = moves.Do(Backup(backups_), retired);
        for (int number = backups_ - 1; moved && number >= 1; --number) {
            moved = moves.Do(Backup(number), Backup(number + 1));
        }
        if (!moved || !moves.Do(staged, Backup(1))) {
            moves.Undo();
            platform::MoveFileTo(staged, path_);
            return false;
        }
    }
    // Also what earlier rollovers could not delete (held open by then, say).
    platform::RemoveFilesStartingWith(path_ + retiredKind);
    return true;
}
