#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/file_open.h"

namespace platform {
namespace {

// Wraps a descriptor in a stream when it is a regular file; closes it otherwise.
std::FILE* StreamForRegularFile(int descriptor, const char* mode) {
    if (descriptor < 0) return nullptr;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return nullptr;
    }
    // Blocking again: on a regular file the flag means nothing, but the stream expects none.
    // O_NONBLOCK is the only status flag these files are opened with.
    fcntl(descriptor, F_SETFL, 0);
    std::FILE* stream = fdopen(descriptor, mode);
    if (stream == nullptr) close(descriptor);
    return stream;
}

}  // namespace

bool ReadRegularFile(const std::string& path, std::size_t limit, std::string& text) {
    text.clear();
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return false;
    struct stat status {};
    // Read straight from the descriptor: on a regular file O_NONBLOCK means nothing.
    bool read = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    char piece[4096];
    while (read && text.size() < limit) {
        const ssize_t got = ::read(descriptor, piece, std::min(sizeof piece, limit - text.size()));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            read = got == 0;  // the end of the file, or an error
            break;
        }
        text.append(piece, static_cast<std::size_t>(got));
    }
    close(descriptor);
    if (!read) text.clear();
    return read;
}

std::FILE* OpenRegularFileToRewrite(const std::string& path) {
    // Emptied only once it is known to be a regular file (O_TRUNC would act on open).
    const int descriptor = open(
        path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    std::FILE* stream = StreamForRegularFile(descriptor, "w");
    if (stream != nullptr && ftruncate(fileno(stream), 0) != 0) {
        std::fclose(stream);
        return nullptr;
    }
    return stream;
}

}  // namespace platform
