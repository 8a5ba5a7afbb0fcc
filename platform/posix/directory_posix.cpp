#include <sys/stat.h>

#include <cerrno>

#include "platform/directory.h"
#include "platform/last_error.h"
#include "platform/posix/win32_error.h"

namespace platform {

bool MakeDirectory(const char* path) {
    if (mkdir(path, 0777) == 0) return true;
    // A missing level above is a missing path to CreateDirectoryA, not a missing file.
    SetLastErrorCode(errno == ENOENT ? kErrorPathNotFound : posix::Win32ErrorFromErrno(errno));
    return false;
}

}  // namespace platform
