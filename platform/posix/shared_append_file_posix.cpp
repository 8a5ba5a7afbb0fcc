#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/shared_append_file.h"

namespace platform {

SharedAppendFile::~SharedAppendFile() {
    Close();
}

SharedAppendFile::OpenOutcome SharedAppendFile::Open(const std::string& path) {
    Close();
    // O_NONBLOCK: a FIFO at the path fails or opens at once instead of waiting for a reader.
    const int descriptor =
        open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        // ENXIO: a FIFO without a reader; EISDIR: a folder.
        return errno == ENXIO || errno == EISDIR ? OpenOutcome::kNotRegular : OpenOutcome::kFailed;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return OpenOutcome::kNotRegular;
    }
    handle_ = descriptor;
    return OpenOutcome::kOpened;
}

void SharedAppendFile::Close() {
    if (handle_ < 0) return;
    close(static_cast<int>(handle_));
    handle_ = -1;
}

bool SharedAppendFile::IsOpen() const {
    return handle_ >= 0;
}

bool SharedAppendFile::Lock() {
    // flock belongs to the open file, so two run objects in one process exclude each other
    // as two processes do (fcntl locks would not).
    while (flock(static_cast<int>(handle_), LOCK_EX) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

void SharedAppendFile::Unlock() {
    flock(static_cast<int>(handle_), LOCK_UN);
}

std::int64_t SharedAppendFile::SizeIfAt(const std::string& path) const {
    struct stat open {};
    struct stat named {};
    if (fstat(static_cast<int>(handle_), &open) != 0 || stat(path.c_str(), &named) != 0 ||
        open.st_dev != named.st_dev || open.st_ino != named.st_ino) {
        return -1;
    }
    return open.st_size;
}

bool SharedAppendFile::Append(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(static_cast<int>(handle_), data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool MoveFileOver(const std::string& source, const std::string& target) {
    return std::rename(source.c_str(), target.c_str()) == 0;
}

bool RemoveFileAt(const std::string& path) {
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace platform
