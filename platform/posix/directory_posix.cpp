#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/directory.h"
#include "platform/last_error.h"
#include "platform/posix/last_error_posix.h"

namespace platform {

bool MakeDirectory(const char* path) {
    if (mkdir(path, 0777) == 0) return true;
    // A missing level above is a missing path to CreateDirectoryA, not a missing file.
    SetLastErrorCode(errno == ENOENT ? kErrorPathNotFound : posix::Win32ErrorFromErrno(errno));
    return false;
}

Result<bool> MakeFolders(const std::string& path) {
    struct stat status {};
    // Most calls find the folder there: one look instead of a call for every level.
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return {true, {}};
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        if (mkdir(path.substr(0, slash).c_str(), 0777) != 0 && errno != EEXIST) {
            return {false, std::strerror(errno)};
        }
        if (slash == std::string::npos) break;
    }
    const bool found = stat(path.c_str(), &status) == 0;
    if (found && S_ISDIR(status.st_mode)) return {true, {}};
    return {false, std::strerror(found ? ENOTDIR : errno)};
}

}  // namespace platform
