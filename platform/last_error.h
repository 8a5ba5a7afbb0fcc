// The calling thread's last-error code, as GetLastError / SetLastError: the channel of the file
// services whose Win32 contract the product keeps (the file search, directory creation).
#pragma once

#include <cstdint>

namespace platform {

std::uint32_t GetLastErrorCode();
void SetLastErrorCode(std::uint32_t code);

// The Win32 error codes that these services set and their callers read.
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorTooManyOpenFiles = 4;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kErrorNoMoreFiles = 18;
constexpr std::uint32_t kErrorGenFailure = 31;
constexpr std::uint32_t kErrorDiskFull = 112;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorInvalidName = 123;
constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr std::uint32_t kErrorFilenameExcedRange = 206;

}  // namespace platform
