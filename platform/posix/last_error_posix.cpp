#include "platform/posix/last_error_posix.h"

#include <cerrno>
#include <utility>

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
    constexpr std::pair<int, std::uint32_t> kCodes[] = {
        {ENOENT, kErrorFileNotFound},     {ENOTDIR, kErrorPathNotFound},
        {EACCES, kErrorAccessDenied},     {EPERM, kErrorAccessDenied},
        {EROFS, kErrorAccessDenied},      {EBADF, kErrorInvalidHandle},
        {EEXIST, kErrorAlreadyExists},    {ENAMETOOLONG, kErrorFilenameExcedRange},
        {EINVAL, kErrorInvalidName},      {EILSEQ, kErrorInvalidName},
        {ENOMEM, kErrorNotEnoughMemory},  {EMFILE, kErrorTooManyOpenFiles},
        {ENFILE, kErrorTooManyOpenFiles}, {ENOSPC, kErrorDiskFull},
    };
    for (const auto& [number, code] : kCodes) {
        if (number == error) return code;
    }
    return kErrorGenFailure;
}

}  // namespace platform
