#include "fsutil/isplit_path.h"

#include <cstring>
#include <initializer_list>
#include <string>

#include "platform/mbstring.h"
#include "platform/path.h"

namespace {

char* NewBuffer(std::size_t capacity) {
    return new char[capacity + 1]();
}

bool IsLead(char byte) {
    return platform::IsLeadByte(static_cast<unsigned char>(byte));
}

// Copies at most `count` bytes of `source` and a terminator, as _mbsnbcpy does: a double-byte
// character that would not fit whole is left out.
void CopyWholeCharacters(char* dest, const char* source, std::size_t count) {
    std::size_t length = 0;
    while (length < count && source[length] != '\0') {
        const std::size_t width = IsLead(source[length]) && source[length + 1] != '\0' ? 2 : 1;
        if (length + width > count) break;
        length += width;
    }
    std::memmove(dest, source, length);
    dest[length] = '\0';
}

// The first `byte` that is not the second byte of a double-byte character, as _mbschr.
char* FindFirstByte(char* text, char byte) {
    for (char* at = text; *at != '\0'; ++at) {
        if (IsLead(*at)) {
            if (at[1] == '\0') return nullptr;
            ++at;
            continue;
        }
        if (*at == byte) return at;
    }
    return nullptr;
}

// Characters, not bytes, as _mbslen counts them; a lead byte with nothing after it is none.
std::size_t CountCharacters(const char* text) {
    std::size_t count = 0;
    for (const char* at = text; *at != '\0'; ++at) {
        if (IsLead(*at)) {
            if (at[1] == '\0') break;
            ++at;
        }
        ++count;
    }
    return count;
}

void Join(char* dest, const char* first, const char* second, std::size_t capacity) {
    const std::string joined = std::string(first) + second;
    CopyWholeCharacters(dest, joined.c_str(), capacity);
}

}  // namespace

ISplitPath::ISplitPath(const char* path)
    : Path(NewBuffer(kPathCapacity)),
      Drive(NewBuffer(kPartCapacity)),
      Server(NewBuffer(kPartCapacity)),
      Dir(NewBuffer(kPartCapacity)),
      Fname(NewBuffer(kPartCapacity)),
      Ext(NewBuffer(kPartCapacity)),
      DriveDir(NewBuffer(kPathCapacity)),
      FnameExt(NewBuffer(kPathCapacity)) {
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
    platform::SplitPath(Path, Drive, Dir, Fname, Ext);

    if (Drive[0] == '\0' && Dir[0] == '\\' && Dir[1] == '\\') {
        char work[kPartCapacity + 1];
        CopyWholeCharacters(work, Dir, kPartCapacity);
        Dir[0] = '\0';
        if (CountCharacters(work) > 2) {
            // Only a backslash ends the server name.
            char* shareStart = FindFirstByte(work + 2, '\\');
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
