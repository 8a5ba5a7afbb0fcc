#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_find.h"
#include "platform/last_error.h"
#include "platform/mbstring.h"
#include "platform/path.h"
#include "platform/posix/executable_path.h"
#include "platform/posix/file_find_wildcard_posix.h"
#include "platform/posix/last_error_posix.h"
#include "platform/posix/unix_file_time.h"

namespace platform {
namespace {

struct Search {
    DIR* directory = nullptr;  // null for a literal name: there is no second entry
    std::string folder;        // as opendir and stat want it
    std::string pattern;
};

FileTime ToFileTime(const statx_timestamp& time) {
    return posix::FileTimeFromUnixTime(time.tv_sec, time.tv_nsec);
}

bool Older(const statx_timestamp& a, const statx_timestamp& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec < b.tv_nsec;
}

std::string JoinPath(const std::string& folder, const std::string_view name) {
    if (folder.empty()) return std::string(name);
    return folder + (folder.back() == '/' ? "" : "/") + std::string(name);
}

// Fills the record for one entry; false (errno set) when it cannot be examined.
bool FillRecord(const std::string& folder, std::string_view name, FindData* data) {
    const std::string path = JoinPath(folder, name);
    struct statx status {};
    const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    // The entry itself first, so that a name that is not there costs one call; a link is
    // described by its target, or by itself when the target is missing.
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, mask, &status) != 0) return false;
    if (S_ISLNK(status.stx_mode)) {
        struct statx target {};
        if (statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, mask, &target) == 0) {
            status = target;
        }
    }
    std::memset(data, 0, sizeof *data);
    std::uint32_t attributes = 0;
    if (S_ISDIR(status.stx_mode)) attributes |= kAttributeDirectory;
    // Windows keeps the attribute with the file, whoever asks: no write permission for anyone.
    if ((status.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= kAttributeReadOnly;
    if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttributeHidden;
    data->dwFileAttributes = attributes != 0 ? attributes : kAttributeNormal;

    // Without a birth time, the older of the two change times stands in for the creation.
    statx_timestamp created =
        Older(status.stx_ctime, status.stx_mtime) ? status.stx_ctime : status.stx_mtime;
    if ((status.stx_mask & STATX_BTIME) != 0) created = status.stx_btime;
    data->ftCreationTime = ToFileTime(created);
    data->ftLastAccessTime = ToFileTime(status.stx_atime);
    data->ftLastWriteTime = ToFileTime(status.stx_mtime);
    data->nFileSizeHigh = static_cast<std::uint32_t>(status.stx_size >> 32);
    data->nFileSizeLow = static_cast<std::uint32_t>(status.stx_size & 0xFFFFFFFFu);
    const std::size_t length = std::min(name.size(), sizeof data->cFileName - 1);
    std::memcpy(data->cFileName, name.data(), length);
    return true;
}

// Reads on to the next entry that matches and can be examined.
bool ReadNextMatch(Search& search, FindData* data) {
    while (true) {
        errno = 0;
        const dirent* entry = readdir(search.directory);
        if (entry == nullptr) {
            SetLastErrorCode(errno == 0 ? kErrorNoMoreFiles : posix::Win32ErrorFromErrno(errno));
            return false;
        }
        // Windows lists no "." and ".." at the root of a drive, which "/" stands for.
        const std::string_view name = entry->d_name;
        if (search.folder == "/" && (name == "." || name == "..")) continue;
        // An entry removed since it was listed is passed over.
        if (posix::MatchesDosPattern(search.pattern, name) &&
            FillRecord(search.folder, name, data)) {
            return true;
        }
    }
}

// Why a folder could not be searched: it is missing, or, when it holds a wildcard that is no
// part of a real name, it cannot name a folder at all (Windows allows no wildcard there).
std::uint32_t FolderReason(const std::string& folder, int error) {
    if (error != ENOENT && error != ENOTDIR) return posix::Win32ErrorFromErrno(error);
    return posix::HasWildcard(folder) ? kErrorInvalidName : kErrorPathNotFound;
}

// The reason a name in `folder` was not found: the folder itself may be missing.
std::uint32_t NotFoundReason(const std::string& folder, int error) {
    if (error != ENOENT) return posix::Win32ErrorFromErrno(error);
    struct stat status {};
    const std::string probe = folder.empty() ? "." : folder;
    if (stat(probe.c_str(), &status) != 0) return FolderReason(folder, errno);
    return S_ISDIR(status.st_mode) ? kErrorFileNotFound : kErrorPathNotFound;
}

// The pattern with its "." and ".." levels resolved by name, as Windows reads a path before it
// searches: "sub/." names the folder sub itself, in its parent. Made absolute for that; a
// pattern that cannot be made so is searched as it is.
std::string ResolveLevels(const char* pattern) {
    char full[PATH_MAX];
    if (FullPath(full, pattern, sizeof full) == nullptr) return pattern;
    return full;
}

}  // namespace

SearchHandle FindFirstEntry(const char* pattern, FindData* data, FindMatch match) {
    // Whole characters only, as Windows reads the pattern once it is converted: a lead byte with
    // nothing after it is no character and names nothing.
    const std::string_view text(pattern);
    const std::string whole(text.substr(0, WholeCharactersWithin(text, text.size())));
    // The kernel's separator only: on Linux a backslash is an ordinary byte of a name.
    const std::string native = whole.empty() ? std::string() : ResolveLevels(whole.c_str());
    auto search = std::make_unique<Search>();
    search->folder = posix::FolderOf(native);
    const std::string name = native.substr(native.rfind('/') + 1);  // all of it without a '/'
    if (name.empty()) {
        SetLastErrorCode(native.empty() ? kErrorPathNotFound : kErrorFileNotFound);
        return InvalidSearchHandle();
    }

    // A name without wildcards, or one asked for as it is written (a Linux name may hold "*"
    // and "?"), is looked up directly: the folder is never read. Its exact bytes count:
    // trailing dots and spaces are part of a Linux name, where Windows would drop them.
    if (match == FindMatch::kExactName || !posix::HasWildcard(name)) {
        if (!FillRecord(search->folder, name, data)) {
            SetLastErrorCode(NotFoundReason(search->folder, errno));
            return InvalidSearchHandle();
        }
        return search.release();
    }

    search->directory = opendir(search->folder.empty() ? "." : search->folder.c_str());
    if (search->directory == nullptr) {
        SetLastErrorCode(FolderReason(search->folder, errno));
        return InvalidSearchHandle();
    }
    search->pattern = name;
    if (!ReadNextMatch(*search, data)) {
        const std::uint32_t reason = GetLastErrorCode();
        closedir(search->directory);
        SetLastErrorCode(reason == kErrorNoMoreFiles ? kErrorFileNotFound : reason);
        return InvalidSearchHandle();
    }
    return search.release();
}

bool FindNextEntry(SearchHandle handle, FindData* data) {
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
