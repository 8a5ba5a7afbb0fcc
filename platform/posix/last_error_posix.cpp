#include "platform/posix/last_error_posix.h"

#include <cerrno>

#include "platform/last_error.h"

namespace platform {
namespace {
thread_local std::uint32_t lastErrorCode = 0;
}

std::uint32_t GetLastErrorCode() {
    return lastErrorCode;
}
void SetLastErrorCode(std::uint32_t code) {
    lastErrorCode = code;
}

std::uint32_t posix::Win32ErrorFromErrno(int error) {
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
            return kErrorNotEnoughMemory;
        case EMFILE:
        case ENFILE:
            return kErrorTooManyOpenFiles;
        case ENOSPC:
            return kErrorDiskFull;
        default:
            return kErrorGenFailure;
    }
}

}  // namespace platform
