#include "fsutil/isplit_path.h"

#include <cstring>
#include <initializer_list>
#include <string>

#include "fsutil/multibyte_text.h"

namespace {

char* NewBuffer(std::size_t capacity) {
    return new char[capacity + 1]();
}

void Join(char* dest, const char* first, const char* second, std::size_t capacity) {
    const std::string joined = std::string(first) + second;
    CopyWholeCharacters(dest, joined.c_str(), capacity);
}

}  // namespace

ISplitPath::ISplitPath(const char* path, platform::PathStyle style)
    : Path(NewBuffer(kPathCapacity)),
      Drive(NewBuffer(kPartCapacity)),
      Server(NewBuffer(kPartCapacity)),
      Dir(NewBuffer(kPartCapacity)),
      Fname(NewBuffer(kPartCapacity)),
      Ext(NewBuffer(kPartCapacity)),
      DriveDir(NewBuffer(kPathCapacity)),
      FnameExt(NewBuffer(kPathCapacity)),
      style_(style) {
    if (path != nullptr) Split(path);
}

ISplitPath::~ISplitPath() {
    for (char* buffer : {Path, Drive, Server, Dir, Fname, Ext, DriveDir, FnameExt}) {
        delete[] buffer;
    }
}

int ISplitPath::Split(const char* path) {
    if (path == nullptr) return 0;
    for (const char* buffer : {Path, Drive, Server, Dir, Fname, Ext, DriveDir, FnameExt}) {
        if (buffer == nullptr) return 0;
    }
    CopyWholeCharacters(Path, path, kPathCapacity);
    platform::SplitPath(Path, Drive, Dir, Fname, Ext, style_);

    // Network paths exist in Windows-style text only; to Linux "\\srv" is an ordinary name.
    if (style_ == platform::PathStyle::kWindows && Drive[0] == '\0' && Dir[0] == '\\' &&
        Dir[1] == '\\') {
        char work[kPartCapacity + 1];
        CopyWholeCharacters(work, Dir, kPartCapacity);
        Dir[0] = '\0';
        // The splitter leaves whole characters only, so more bytes than the two backslashes
        // are more characters.
        if (std::strlen(work) > 2) {
            // Only a backslash ends the server name.
            char* shareStart = FindFirstChar(work + 2, '\\');
            if (shareStart != nullptr) {
                std::strcpy(Dir, shareStart);
                *shareStart = '\0';
            }
            std::strcpy(Server, work + 2);
            std::strcpy(Drive, work);
        }
    }
    Join(DriveDir, Drive, Dir, kPathCapacity);
    Join(FnameExt, Fname, Ext, kPathCapacity);
    return 1;
}
