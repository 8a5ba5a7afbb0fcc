#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/file_find.h"
#include "platform/last_error.h"
#include "platform/mbstring.h"
#include "platform/posix/unix_file_time.h"
#include "platform/posix/win32_error.h"

namespace platform {
namespace {

struct Search {
    DIR* directory = nullptr;  // null for a literal name: there is no second entry
    std::string folder;        // as opendir and stat want it
    std::string pattern;
};

FILETIME ToFileTime(const statx_timestamp& time) {
    return posix::FileTimeFromUnixTime(time.tv_sec, time.tv_nsec);
}

bool Older(const statx_timestamp& a, const statx_timestamp& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec < b.tv_nsec;
}

std::string JoinPath(const std::string& folder, const std::string_view name) {
    if (folder.empty()) return std::string(name);
    std::string path = folder;
    if (path.back() != '/') path += '/';
    path += name;
    return path;
}

// Fills the record for one entry; false (errno set) when it cannot be examined.
bool FillRecord(const std::string& folder, std::string_view name, WIN32_FIND_DATAA* data) {
    const std::string path = JoinPath(folder, name);
    struct statx status {};
    const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    if (statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, mask, &status) != 0 &&
        statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, mask, &status) != 0) {
        return false;
    }
    std::memset(data, 0, sizeof *data);
    DWORD attributes = 0;
    if (S_ISDIR(status.stx_mode)) attributes |= kAttributeDirectory;
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) attributes |= kAttributeReadOnly;
    if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttributeHidden;
    data->dwFileAttributes = attributes != 0 ? attributes : kAttributeNormal;

    // Without a birth time, the older of the two change times stands in for the creation.
    statx_timestamp created =
        Older(status.stx_ctime, status.stx_mtime) ? status.stx_ctime : status.stx_mtime;
    if ((status.stx_mask & STATX_BTIME) != 0) created = status.stx_btime;
    data->ftCreationTime = ToFileTime(created);
    data->ftLastAccessTime = ToFileTime(status.stx_atime);
    data->ftLastWriteTime = ToFileTime(status.stx_mtime);
    data->nFileSizeHigh = static_cast<DWORD>(status.stx_size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(status.stx_size & 0xFFFFFFFFu);
    const std::size_t length = std::min(name.size(), sizeof data->cFileName - 1);
    std::memcpy(data->cFileName, name.data(), length);
    return true;
}

// The characters of a name, each as its bytes: a double-byte character of 932 or a UTF-8
// sequence is one character, as one UTF-16 unit is to Windows' matching.
std::vector<std::string_view> Characters(std::string_view text) {
    const bool utf8 = ActiveAnsiCodePage() == kCodePageUtf8;
    std::vector<std::string_view> characters;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto byte = static_cast<unsigned char>(text[at]);
        std::size_t width = 1;
        if (IsLeadByte(byte)) {
            width = 2;
        } else if (utf8 && byte >= 0xC0) {
            while (at + width < text.size() &&
                   (static_cast<unsigned char>(text[at + width]) & 0xC0) == 0x80) {
                ++width;
            }
        }
        width = std::min(width, text.size() - at);
        characters.push_back(text.substr(at, width));
        at += width;
    }
    return characters;
}

bool MatchCharacters(const std::vector<std::string_view>& pattern,
                     const std::vector<std::string_view>& name) {
    // Greedy "*" with one step of backtracking to the last star: linear for the usual patterns.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == "*") {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == "?" || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == "*") ++p;
    return p == pattern.size();
}

// Windows' rules: "*" any run of characters, "?" one character, and a final ".*" may also
// match nothing, so that "*.*" lists every name. Names compare byte for byte, as the Linux
// file system does: the search is case-sensitive here, unlike on Windows.
bool Matches(std::string_view pattern, std::string_view name) {
    const std::vector<std::string_view> nameCharacters = Characters(name);
    if (MatchCharacters(Characters(pattern), nameCharacters)) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
        return MatchCharacters(Characters(pattern.substr(0, pattern.size() - 2)), nameCharacters);
    }
    return false;
}

// Reads on to the next entry that matches and can be examined.
bool ReadNextMatch(Search& search, WIN32_FIND_DATAA* data) {
    while (true) {
        errno = 0;
        const dirent* entry = readdir(search.directory);
        if (entry == nullptr) {
            SetLastErrorCode(errno == 0 ? kErrorNoMoreFiles : posix::Win32ErrorFromErrno(errno));
            return false;
        }
        // An entry removed since it was listed is passed over.
        if (Matches(search.pattern, entry->d_name) &&
            FillRecord(search.folder, entry->d_name, data)) {
            return true;
        }
    }
}

// The reason a name in `folder` was not found: the folder itself may be missing.
DWORD NotFoundReason(const std::string& folder, int error) {
    if (error != ENOENT) return posix::Win32ErrorFromErrno(error);
    struct stat status {};
    const std::string probe = folder.empty() ? "." : folder;
    if (stat(probe.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return kErrorPathNotFound;
    return kErrorFileNotFound;
}

}  // namespace

SearchHandle FindFirstEntry(const char* pattern, WIN32_FIND_DATAA* data) {
    // The kernel's separator only: on Linux a backslash is an ordinary byte of a name.
    const std::string native = pattern;
    const std::size_t separator = native.rfind('/');
    auto search = std::make_unique<Search>();
    std::string name;
    if (separator == std::string::npos) {
        name = native;
    } else {
        search->folder = separator == 0 ? "/" : native.substr(0, separator);
        name = native.substr(separator + 1);
    }
    if (name.empty()) {
        SetLastErrorCode(native.empty() ? kErrorPathNotFound : kErrorFileNotFound);
        return InvalidSearchHandle();
    }

    // A name without wildcards is looked up directly: the folder is never read.
    if (name.find_first_of("*?") == std::string::npos) {
        if (!FillRecord(search->folder, name, data)) {
            SetLastErrorCode(NotFoundReason(search->folder, errno));
            return InvalidSearchHandle();
        }
        return search.release();
    }

    search->directory = opendir(search->folder.empty() ? "." : search->folder.c_str());
    if (search->directory == nullptr) {
        SetLastErrorCode(errno == ENOENT ? kErrorPathNotFound : posix::Win32ErrorFromErrno(errno));
        return InvalidSearchHandle();
    }
    search->pattern = name;
    if (!ReadNextMatch(*search, data)) {
        const DWORD reason = GetLastErrorCode();
        closedir(search->directory);
        SetLastErrorCode(reason == kErrorNoMoreFiles ? kErrorFileNotFound : reason);
        return InvalidSearchHandle();
    }
    return search.release();
}

bool FindNextEntry(SearchHandle handle, WIN32_FIND_DATAA* data) {
    if (handle == nullptr || handle == InvalidSearchHandle()) {
        SetLastErrorCode(kErrorInvalidHandle);
        return false;
    }
    auto& search = *static_cast<Search*>(handle);
    if (search.directory == nullptr) {
        SetLastErrorCode(kErrorNoMoreFiles);
        return false;
    }
    return ReadNextMatch(search, data);
}

bool CloseFind(SearchHandle handle) {
    if (handle == nullptr || handle == InvalidSearchHandle()) {
        SetLastErrorCode(kErrorInvalidHandle);
        return false;
    }
    const auto* search = static_cast<Search*>(handle);
    if (search->directory != nullptr) closedir(search->directory);
    delete search;
    return true;
}

}  // namespace platform
