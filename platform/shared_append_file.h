// A log file that several processes append to at the same time, without a lock for the
// common record on a local file system. Every write goes to the end of the file as it is at that
// moment (O_APPEND; append-only access on Windows), so no process overwrites another's records. The
// state of the open file (its size, whether it was removed) is read from the handle, never through
// the path; the path is looked at, and the lock across processes taken, only when the file
// is to be rolled over or was moved away. Paths are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/result.h"

namespace platform {

class SharedAppendFile {
  public:
    enum class OpenOutcome { kOpened, kNotRegular, kFailed };
    enum class LockOutcome { kLocked, kBusy, kUnsupported };

    // One try at the appends' lock, and when it is busy, which hold it is busy with: a
    // number that changes each time the lock changes hands, 0 where the system cannot tell.
    struct AppendLockTry {
        LockOutcome outcome = LockOutcome::kBusy;
        std::uint64_t holder = 0;
    };

    struct State {
        std::int64_t size = 0;
        // Removed while open: no name leads to it any more (or will once it is closed).
        bool removed = false;
    };

    SharedAppendFile() = default;
    ~SharedAppendFile() { Close(); }
    SharedAppendFile(const SharedAppendFile&) = delete;
    SharedAppendFile& operator=(const SharedAppendFile&) = delete;

    // Opens the file for appending, creating it, and the folders above it, when missing,
    // without ever waiting on what sits at the path; anything but a regular file is refused.
    Result<OpenOutcome> Open(const std::string& path);
    void Close();
    bool IsOpen() const { return handle_ != -1; }

    // Writes all of it at the end of the file; false when the system did not take it all.
    Result<bool> Append(const char* data, std::size_t size);

    // True where the system does not put an append at the end of the file in one step, so
    // that appends of several processes must take a lock of their own: network file systems
    // (NFS, SMB), and Wine, which looks up the end of the file and then writes there.
    bool AppendsNeedLock() const { return appendsNeedLock_; }

    // One try, never waiting, at the lock that appends take where they need one: the file
    // lock on a network file system; under Wine a word in memory shared by the processes of
    // the file, which costs no round trip to Wine's server (one it has no more when its
    // holder has ended).
    AppendLockTry TryLockAppends();
    void UnlockAppends();
    // Takes the appends' lock from `holder` (as TryLockAppends saw it) when that holder has
    // ended without letting go, which only the shared word can do: a file lock goes with its
    // process.
    bool TakeOverAppendsFrom(std::uint64_t holder);

    // The open file's size and whether it was removed, from the handle alone; false when
    // the system cannot tell.
    bool Query(State& state) const;

    // One try, never waiting, at the exclusive lock that every process rolling this file
    // over takes.
    LockOutcome TryLock();
    void Unlock();

    // True when `path` names the very file that is open; false when it names another one,
    // nothing, or when that cannot be told.
    bool IsAt(const std::string& path) const;

  private:
    std::intptr_t handle_ = -1;
    bool appendsNeedLock_ = false;
    // Where the appends' lock is a word in shared memory (Windows only): the mapping and
    // its view.
    [[maybe_unused]] std::intptr_t appendGate_ = 0;
    [[maybe_unused]] void* appendGateView_ = nullptr;
};

enum class MoveOutcome { kMoved, kNothingThere, kRefused };

// Moves the file at `source` to the free name `target` (UTF-8 paths). A target that exists
// is never replaced: on Windows a file that is open cannot be, and elsewhere its records
// would be lost. Refused also where another program holds the file open without delete
// sharing (Windows).
MoveOutcome MoveFileTo(const std::string& source, const std::string& target);

// Deletes every file whose path begins with `prefix` (UTF-8) in the folder that the prefix
// names, read-only ones too; a file that cannot be deleted now is left for the next call.
void RemoveFilesStartingWith(const std::string& prefix);

}  // namespace platform
