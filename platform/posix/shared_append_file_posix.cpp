#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/directory.h"
#include "platform/shared_append_file.h"

namespace platform {
namespace {

int OpenForAppend(const std::string& path) {
    // O_NONBLOCK: a FIFO at the path fails or opens at once instead of waiting for a reader.
    return open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                0666);
}

// NFS and SMB clients work out the end of the file from what they last saw of it, so
// appends from two machines can land on the same bytes; a lock makes the client look again.
bool IsNetworkFileSystem(int descriptor) {
    constexpr unsigned long kNfs = 0x6969;
    constexpr unsigned long kSmb = 0x517B;
    constexpr unsigned long kCifs = 0xFF534D42;
    constexpr unsigned long kSmb2 = 0xFE534D42;
    struct statfs system {};
    if (fstatfs(descriptor, &system) != 0) return false;
    const auto type = static_cast<unsigned long>(system.f_type);
    return type == kNfs || type == kSmb || type == kCifs || type == kSmb2;
}

}  // namespace

Result<SharedAppendFile::OpenOutcome> SharedAppendFile::Open(const std::string& path) {
    Close();
    int descriptor = OpenForAppend(path);
    if (descriptor < 0 && errno == ENOENT) {
        const std::string folder = path.substr(0, path.rfind('/') + 1);
        const Result<bool> made = MakeFolders(folder);
        if (!made.outcome) {
            return {OpenOutcome::kFailed, "cannot make the folder " + folder + ": " + made.reason};
        }
        descriptor = OpenForAppend(path);
    }
    if (descriptor < 0) {
        // ENXIO: a FIFO without a reader; EISDIR: a folder.
        if (errno == ENXIO || errno == EISDIR)
            return {OpenOutcome::kNotRegular, "not a regular file"};
        return {OpenOutcome::kFailed, std::strerror(errno)};
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return {OpenOutcome::kNotRegular, "not a regular file"};
    }
    handle_ = descriptor;
    appendsNeedLock_ = IsNetworkFileSystem(descriptor);
    return {OpenOutcome::kOpened, {}};
}

void SharedAppendFile::Close() {
    if (!IsOpen()) return;
    close(static_cast<int>(handle_));
    handle_ = -1;
}

Result<bool> SharedAppendFile::Append(const char* data, std::size_t size) {
    // One write for the whole record: O_APPEND puts it at the end in one piece on a local
    // file system, whoever else writes at the same moment.
    while (size > 0) {
        const ssize_t written = write(static_cast<int>(handle_), data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return {false, std::strerror(written < 0 ? errno : ENOSPC)};
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return {true, {}};
}

bool SharedAppendFile::Query(State& state) const {
    struct stat status {};
    if (fstat(static_cast<int>(handle_), &status) != 0) return false;
    state.size = status.st_size;
    state.removed = status.st_nlink == 0;
    return true;
}

SharedAppendFile::LockOutcome SharedAppendFile::TryLock() {
    // flock belongs to the open file, so two run objects in one process exclude each other
    // as two processes do (fcntl locks would not).
    for (;;) {
        if (flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) == 0) return LockOutcome::kLocked;
        if (errno == EWOULDBLOCK) return LockOutcome::kBusy;
        if (errno != EINTR) return LockOutcome::kUnsupported;
    }
}

void SharedAppendFile::Unlock() {
    flock(static_cast<int>(handle_), LOCK_UN);
}

// The only appends that need a lock here are those on a network file system, where only the
// file lock reaches the other machines.
SharedAppendFile::AppendLockTry SharedAppendFile::TryLockAppends() {
    return {TryLock(), 0};
}

// A file lock is let go by the system when its holder ends.
bool SharedAppendFile::TakeOverAppendsFrom(std::uint64_t /*holder*/) {
    return false;
}

void SharedAppendFile::UnlockAppends() {
    Unlock();
}

bool SharedAppendFile::IsAt(const std::string& path) const {
    struct stat open {};
    struct stat named {};
    return fstat(static_cast<int>(handle_), &open) == 0 && stat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

MoveOutcome MoveFileTo(const std::string& source, const std::string& target) {
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return MoveOutcome::kMoved;
    }
    // A file system that cannot refuse to replace: the callers only ever move to names that
    // they made free.
    if ((errno == EINVAL || errno == ENOSYS) && std::rename(source.c_str(), target.c_str()) == 0) {
        return MoveOutcome::kMoved;
    }
    return errno == ENOENT ? MoveOutcome::kNothingThere : MoveOutcome::kRefused;
}

void RemoveFilesStartingWith(const std::string& prefix) {
    const std::size_t slash = prefix.rfind('/');
    const std::string folder = slash == std::string::npos ? "./" : prefix.substr(0, slash + 1);
    const std::string start = slash == std::string::npos ? prefix : prefix.substr(slash + 1);
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) return;
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.compare(0, start.size(), start) == 0) unlink((folder + name).c_str());
    }
    closedir(listing);
}

}  // namespace platform
