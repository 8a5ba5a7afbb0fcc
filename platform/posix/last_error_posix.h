// The Win32 error codes that the Linux file services report.
#pragma once

#include <cstdint>

namespace platform::posix {

// The Win32 error code for an errno value, as the callers of the file services test it.
std::uint32_t Win32ErrorFromErrno(int error);

}  // namespace platform::posix
