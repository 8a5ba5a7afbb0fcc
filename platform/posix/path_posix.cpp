#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/mbstring.h"
#include "platform/path.h"

namespace platform {
namespace {

// Copies [begin, end) into a buffer of `capacity` bytes with its terminator, cut so that no
// double-byte character is split.
void CopyComponent(const char* begin, const char* end, char* out, std::size_t capacity) {
    if (out == nullptr) return;
    std::size_t length = 0;
    const auto available = static_cast<std::size_t>(end - begin);
    while (length < available) {
        const std::size_t width =
            IsLeadByte(static_cast<unsigned char>(begin[length])) && length + 1 < available ? 2 : 1;
        if (length + width > capacity - 1) break;
        length += width;
    }
    std::memcpy(out, begin, length);
    out[length] = '\0';
}

}  // namespace

void SplitPath(const char* path, char* drive, char* dir, char* fname, char* ext) {
    const char* end = path + std::strlen(path);
    const char* rest = path;
    if (path[0] != '\0' && path[1] == ':') rest = path + 2;
    CopyComponent(path, rest, drive, kMaxDrive);

    // The last separator and the last dot, never the second byte of a double-byte character.
    const char* lastSeparator = nullptr;
    const char* lastDot = nullptr;
    for (const char* at = rest; at < end; ++at) {
        if (IsLeadByte(static_cast<unsigned char>(*at))) {
            if (at + 1 < end) ++at;
            continue;
        }
        if (*at == '\\' || *at == '/') lastSeparator = at;
        if (*at == '.') lastDot = at;
    }
    const char* nameBegin = lastSeparator != nullptr ? lastSeparator + 1 : rest;
    CopyComponent(rest, nameBegin, dir, kMaxDir);
    const char* extBegin = lastDot != nullptr && lastDot >= nameBegin ? lastDot : end;
    CopyComponent(nameBegin, extBegin, fname, kMaxFname);
    CopyComponent(extBegin, end, ext, kMaxExt);
}

}  // namespace platform

namespace platform {

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
    std::vector<std::string> levels;
    std::size_t begin = 0;
    while (begin <= joined.size()) {
        std::size_t end = joined.find('/', begin);
        if (end == std::string::npos) end = joined.size();
        const std::string level = joined.substr(begin, end - begin);
        if (level == "..") {
            if (!levels.empty()) levels.pop_back();
        } else if (!level.empty() && level != ".") {
            levels.push_back(level);
        }
        begin = end + 1;
    }
    std::string full;
    for (const std::string& level : levels) full += "/" + level;
    const bool trailingSeparator = !relative.empty() && relative.back() == '/' && !levels.empty();
    if (full.empty() || trailingSeparator) full += '/';

    if (full.size() + 1 > capacity) {
        errno = ERANGE;
        return nullptr;
    }
    std::memcpy(buffer, full.c_str(), full.size() + 1);
    return buffer;
}

}  // namespace platform
