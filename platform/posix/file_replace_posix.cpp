#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/file_replace.h"
#include "platform/temporary_sibling_name.h"

namespace platform {

std::FILE* CreateTemporarySibling(const std::string& path, std::string& temporaryPath) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::uint32_t random[kTemporaryRandomLength];
        if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
            return nullptr;
        }
        const std::string name = path + TemporarySiblingSuffix(random);
        // O_EXCL: an existing name, a planted link included, is never opened.
        const int descriptor = open(
            name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        std::FILE* stream = fdopen(descriptor, "w");
        if (stream == nullptr) {
            close(descriptor);
            unlink(name.c_str());
            return nullptr;
        }
        temporaryPath = name;
        return stream;
    }
    return nullptr;
}

void RemoveTemporarySiblingsOlderThan(const std::string& path, std::chrono::seconds age) {
    // No byte of a double-byte character is a slash, so the last one ends the folder.
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string_view stem = slash == std::string::npos
                                      ? std::string_view(path)
                                      : std::string_view(path).substr(slash + 1);
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) return;
    const int at = dirfd(listing);
    const std::time_t before = std::time(nullptr) - static_cast<std::time_t>(age.count());
    // Names are compared as the bytes they are: a name that merely matches a pattern holding
    // the file's name (which may hold "*", "?" or "[") is never taken.
    while (const dirent* entry = readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0 ||
            !IsTemporarySiblingSuffix(name.substr(stem.size()))) {
            continue;
        }
        struct stat status {};
        if (fstatat(at, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_mtime < before) {
            unlinkat(at, entry->d_name, 0);
        }
    }
    closedir(listing);
}

ReplaceOutcome ReplaceFile(const std::string& source, const std::string& target) {
    // Nothing holds a rename back here for a while only: a failure is for good.
    return std::rename(source.c_str(), target.c_str()) == 0 ? ReplaceOutcome::kReplaced
                                                            : ReplaceOutcome::kFailed;
}

}  // namespace platform
