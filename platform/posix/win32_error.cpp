#include "platform/posix/win32_error.h"

#include <cerrno>

namespace platform::posix {

DWORD Win32ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
            return kErrorFileNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return kErrorAccessDenied;
        case EBADF:
            return kErrorInvalidHandle;
        case EEXIST:
            return kErrorAlreadyExists;
        case ENAMETOOLONG:
            return kErrorFilenameExcedRange;
        case EINVAL:
        case EILSEQ:
            return kErrorInvalidName;
        case ENOMEM:
            return 8;  // ERROR_NOT_ENOUGH_MEMORY
        case EMFILE:
        case ENFILE:
            return 4;  // ERROR_TOO_MANY_OPEN_FILES
        case ENOSPC:
            return 112;  // ERROR_DISK_FULL
        default:
            return 31;  // ERROR_GEN_FAILURE
    }
}

}  // namespace platform::posix
