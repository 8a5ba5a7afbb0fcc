#include "logging/shared_rolling_file.h"

#include <thread>
#include <utility>

namespace {

// Each round of the slow path that finds the file moved starts over at the new file; more
// rounds than this means a storm of rollovers, and the record stays where it went.
constexpr int kRounds = 8;

constexpr std::chrono::milliseconds kLockPoll{1};
constexpr int kTriesBeforeSleeping = 64;
constexpr std::chrono::seconds kRolloverRetry{1};

}  // namespace

SharedRollingFile::SharedRollingFile(std::string path, std::int64_t maxSize, int backups)
    : path_(std::move(path)), maxSize_(maxSize), backups_(backups < 0 ? 0 : backups) {}

bool SharedRollingFile::Open() {
    if (turnedOff_) return false;
    if (file_.IsOpen()) return true;
    const auto opened = file_.Open(path_);
    if (opened == platform::SharedAppendFile::OpenOutcome::kNotRegular) turnedOff_ = true;
    return opened == platform::SharedAppendFile::OpenOutcome::kOpened;
}

bool SharedRollingFile::Append(const std::string& record) {
    if (!Open()) return false;
    platform::SharedAppendFile::State state;
    if ((!file_.Query(state) || state.removed || state.size >= maxSize_) && !SlowPath()) {
        return false;
    }
    if (LockedAppend(record)) return true;
    // A handle that went bad (a share that went away) is worth one new start.
    file_.Close();
    return Open() && LockedAppend(record);
}

// Where the system does not append in one step, appends take the lock too (waited for as
// long as for a rollover: a holder that goes on no more costs the same as there).
bool SharedRollingFile::LockedAppend(const std::string& record) {
    const bool locked = file_.AppendsNeedLock() && TakeLock(kAppends) == Lock::kLocked;
    const bool written = file_.Append(record.data(), record.size());
    if (locked) file_.UnlockAppends();
    return written;
}

// Runs before the record is written; false when no file can be had for it.
bool SharedRollingFile::SlowPath() {
    for (int round = 1; round <= kRounds; ++round) {
        platform::SharedAppendFile::State state;
        if (!file_.Query(state)) return true;
        if (state.removed) {
            if (!Reopen()) return false;
            continue;
        }
        if (state.size < maxSize_) return true;
        // Rolled over by another process (or moved away by someone): on to the file at the
        // path.
        if (!file_.IsAt(path_)) {
            if (!Reopen()) return false;
            continue;
        }
        if (std::chrono::steady_clock::now() < nextRollover_) return true;
        if (TakeLock(kRollover) != Lock::kLocked) return true;  // a later record tries again
        // Under the lock nobody else rolls over; the file at the path is still this one
        // unless another process rolled it over just before.
        if (file_.IsAt(path_) && !RollOver() && file_.IsAt(path_)) {
            nextRollover_ = std::chrono::steady_clock::now() + kRolloverRetry;
            file_.Unlock();
            return true;
        }
        file_.Unlock();
        if (!Reopen()) return false;
    }
    return true;
}

bool SharedRollingFile::Reopen() {
    file_.Close();
    return Open();
}

SharedRollingFile::Lock SharedRollingFile::TakeLock(Purpose purpose) {
    // Polled against a deadline of elapsed time, not a count of sleeps: a sleep lasts a
    // whole scheduler tick on Windows (about 15.6 ms).
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (int tries = 1;; ++tries) {
        switch (purpose == kRollover ? file_.TryLock() : file_.TryLockAppends()) {
            case platform::SharedAppendFile::LockOutcome::kLocked:
                lockStalled_[purpose] = false;
                return Lock::kLocked;
            case platform::SharedAppendFile::LockOutcome::kUnsupported:
                // A file system without locks: appends are still whole, only rollovers stop.
                return Lock::kUnsupported;
            case platform::SharedAppendFile::LockOutcome::kBusy:
                break;
        }
        if (lockStalled_[purpose] || std::chrono::steady_clock::now() >= deadline) {
            lockStalled_[purpose] = true;
            return Lock::kNotHad;
        }
        // An append holds the lock for a moment only: a few more tries before the first sleep.
        if (tries < kTriesBeforeSleeping) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(kLockPoll);
        }
    }
}

std::string SharedRollingFile::Backup(int number) const {
    return path_ + "." + std::to_string(number);
}

// Runs under the lock of the file at the path, so nobody else moves these files meanwhile.
// Every move goes to a name that is free: the oldest backup is retired first, which frees
// its name at once even while an idle process still holds it open.
bool SharedRollingFile::RollOver() {
    if (backups_ == 0) return platform::RetireFile(path_);
    if (!platform::RetireFile(Backup(backups_))) return false;
    for (int number = backups_ - 1; number >= 1; --number) {
        platform::MoveFileTo(Backup(number), Backup(number + 1));
    }
    return platform::MoveFileTo(path_, Backup(1));
}
