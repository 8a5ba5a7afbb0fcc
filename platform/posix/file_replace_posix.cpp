#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/file_replace.h"

namespace platform {

std::FILE* CreateTemporarySibling(const std::string& path, std::string& temporaryPath) {
    // mkstemp opens with O_CREAT | O_EXCL under a random name, so no planted link is followed.
    std::string name = path + ".XXXXXX";
    const int descriptor = mkostemp(name.data(), O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    // What a file created with open(0666) under the process's umask would be.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
    std::FILE* stream = fdopen(descriptor, "w");
    if (stream == nullptr) {
        close(descriptor);
        unlink(name.c_str());
        return nullptr;
    }
    temporaryPath = name;
    return stream;
}

ReplaceOutcome ReplaceFile(const std::string& source, const std::string& target) {
    // Nothing holds a rename back here for a while only: a failure is for good.
    return std::rename(source.c_str(), target.c_str()) == 0 ? ReplaceOutcome::kReplaced
                                                            : ReplaceOutcome::kFailed;
}

}  // namespace platform
