#include "logging/shared_rolling_file.h"

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

using platform::MoveOutcome;

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

SharedRollingFile::SharedRollingFile(std::string path, std::int64_t maxSize, int backups)
    : path_(std::move(path)), maxSize_(maxSize), backups_(backups < 0 ? 0 : backups) {}

bool SharedRollingFile::Open() {
    if (turnedOff_) return false;
    if (file_.IsOpen()) return true;
    const auto opened = file_.Open(path_);
    if (opened == platform::SharedAppendFile::OpenOutcome::kNotRegular) turnedOff_ = true;
    if (opened != platform::SharedAppendFile::OpenOutcome::kOpened) return false;
    // Opened by its path just now; its size is read before the first record.
    lookDue_ = true;
    lastPathLook_ = Clock::now();
    return true;
}

bool SharedRollingFile::Append(const std::string& record) {
    if (!Open()) return false;
    const auto now = Clock::now();
    if (LookIsDue(now) && !Look(now)) return false;
    // A handle that went bad (a share that went away) is worth one new start.
    if (!LockedAppend(record) && (!Reopen() || !LockedAppend(record))) return false;
    const auto size = static_cast<std::int64_t>(record.size());
    knownSize_ += size;
    unlookedBytes_ += size;
    return true;
}

bool SharedRollingFile::LookIsDue(Clock::time_point now) const {
    return lookDue_ || unlookedBytes_ >= kLookAfterBytes || now - lastLook_ >= kLookEvery ||
           now - lastPathLook_ >= kPathLookEvery ||
           (knownSize_ >= maxSize_ && now >= nextRollover_);
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
bool SharedRollingFile::Look(Clock::time_point now) {
    bool pathDue = now - lastPathLook_ >= kPathLookEvery;
    platform::SharedAppendFile::State state;
    state.size = knownSize_;  // kept where the system cannot tell
    for (int round = 1; round <= kRounds; ++round) {
        if (!file_.Query(state)) break;
        const bool mayRollOver = state.size >= maxSize_ && now >= nextRollover_;
        if (!state.removed && !pathDue && !mayRollOver) break;
        // Removed, moved away, or rolled over by another process: on to the file at the path.
        if (state.removed || !file_.IsAt(path_)) {
            if (!Reopen()) return false;
            pathDue = false;
            continue;
        }
        if (pathDue) lastPathLook_ = now;
        pathDue = false;
        if (!mayRollOver) break;
        const Lock lock = TakeLock(kRollover);
        if (lock == Lock::kUnsupported) nextRollover_ = Clock::now() + kRolloverRetry;
        if (lock != Lock::kLocked) break;  // a later record tries again
        // Under the lock nobody else rolls over; the file at the path is still this one
        // unless another process rolled it over just before.
        if (file_.IsAt(path_) && !RollOver() && file_.IsAt(path_)) {
            nextRollover_ = Clock::now() + kRolloverRetry;
            file_.Unlock();
            continue;  // the file stays as it was: its size is read once more
        }
        file_.Unlock();
        if (!Reopen()) return false;
    }
    lookDue_ = false;
    knownSize_ = state.size;
    unlookedBytes_ = 0;
    lastLook_ = now;
    return true;
}

bool SharedRollingFile::Reopen() {
    file_.Close();
    return Open();
}

SharedRollingFile::Lock SharedRollingFile::TakeLock(Purpose purpose) {
    // Polled against a deadline of elapsed time, not a count of sleeps: a sleep lasts a
    // whole scheduler tick on Windows (about 15.6 ms).
    const auto deadline = Clock::now() + kLockWait;
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
        if (lockStalled_[purpose] || Clock::now() >= deadline) {
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
