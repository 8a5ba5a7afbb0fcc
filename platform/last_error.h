// The calling thread's last-error code, as GetLastError / SetLastError: the channel of the file
// services whose Win32 contract the product keeps (the file search, directory creation).
#pragma once

#include <cstdint>

namespace platform {

std::uint32_t GetLastErrorCode();
void SetLastErrorCode(std::uint32_t code);

// The Win32 error codes that these services set and their callers read. A plain enumeration,
// so that its values compare with a code as they are.
enum Win32Error : std::uint32_t {
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorTooManyOpenFiles = 4,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorNoMoreFiles = 18,
    kErrorGenFailure = 31,
    kErrorDiskFull = 112,
    kErrorInsufficientBuffer = 122,
    kErrorInvalidName = 123,
    kErrorAlreadyExists = 183,
    kErrorFilenameExcedRange = 206,
};

}  // namespace platform
