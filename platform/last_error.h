// The calling thread's last-error code, as GetLastError / SetLastError.
#pragma once

#include <cstdint>

namespace platform {

std::uint32_t GetLastErrorCode();
void SetLastErrorCode(std::uint32_t code);

}  // namespace platform
