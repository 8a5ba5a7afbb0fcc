#include <stdlib.h>

#include <cstring>
#include <string>

#include "platform/mbstring.h"
#include "platform/path.h"

namespace platform {

const PathStyle kNativePathStyle = PathStyle::kWindows;
const char kPathSeparator = PreferredSeparator(kNativePathStyle);

void SplitPath(const char* path, char* drive, char* dir, char* fname, char* ext, PathStyle style) {
    if (style != PathStyle::kWindows) {
        SplitPathWrittenHere(path, drive, dir, fname, ext, style);
        return;
    }
    // The C runtime splits (it skips the second bytes of double-byte characters); buffers as
    // long as the path keep it from failing on components longer than the callers' buffers.
    // It is handed whole characters only: after a lead byte with nothing behind it, it fails.
    const std::string whole(path, WholeCharactersWithin(path, std::strlen(path)));
    path = whole.c_str();
    const std::size_t size = whole.size() + 1;
    std::string parts[4] = {std::string(size < kMaxDrive ? kMaxDrive : size, '\0'),
                            std::string(size, '\0'), std::string(size, '\0'),
                            std::string(size, '\0')};
    if (_splitpath_s(path, parts[0].data(), parts[0].size(), parts[1].data(), parts[1].size(),
                     parts[2].data(), parts[2].size(), parts[3].data(), parts[3].size()) != 0) {
        for (std::string& part : parts) part.clear();
    }
    CopySplitComponent(parts[0].c_str(), drive, kMaxDrive);
    CopySplitComponent(parts[1].c_str(), dir, kMaxDir);
    CopySplitComponent(parts[2].c_str(), fname, kMaxFname);
    CopySplitComponent(parts[3].c_str(), ext, kMaxExt);
}

char* FullPath(char* buffer, const char* name, std::size_t capacity) {
    if (buffer == nullptr) return nullptr;  // never let the C runtime allocate
    return _fullpath(buffer, name, capacity);
}

}  // namespace platform
