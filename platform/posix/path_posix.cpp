#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/path.h"

namespace platform {

const PathStyle kNativePathStyle = PathStyle::kPosix;
const char kPathSeparator = PreferredSeparator(kNativePathStyle);

void SplitPath(const char* path, char* drive, char* dir, char* fname, char* ext, PathStyle style) {
    SplitPathWrittenHere(path, drive, dir, fname, ext, style);
}

char* FullPath(char* buffer, const char* name, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) return nullptr;
    const std::string relative = name != nullptr ? name : "";
    std::string joined;
    if (relative.empty() || relative[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd) == nullptr) return nullptr;
        joined = cwd;
        joined += '/';
    }
    joined += relative;

    // "." and ".." are resolved by name alone, as Windows does: no level is looked up.
    std::string full;
    for (std::size_t begin = 0; begin <= joined.size();) {
        std::size_t end = joined.find('/', begin);
        if (end == std::string::npos) end = joined.size();
        const std::string_view level(joined.data() + begin, end - begin);
        if (level == "..") {
            full.resize(full.empty() ? 0 : full.rfind('/'));
        } else if (!level.empty() && level != ".") {
            (full += '/') += level;
        }
        begin = end + 1;
    }
    const bool trailingSeparator = !relative.empty() && relative.back() == '/' && !full.empty();
    if (full.empty() || trailingSeparator) full += '/';

    if (full.size() + 1 > capacity) {
        errno = ERANGE;
        return nullptr;
    }
    std::memcpy(buffer, full.c_str(), full.size() + 1);
    return buffer;
}

}  // namespace platform
