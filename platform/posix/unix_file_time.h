// Linux time stamps as Windows file times.
#pragma once

#include <cstdint>

#include "platform/file_time.h"

namespace platform::posix {

// Seconds and nanoseconds since 1970 as 100 ns ticks since 1601. File systems such as tmpfs,
// btrfs and XFS hold times far outside what a file time can say: those before 1601 become 0,
// those past the last valid file time (top bit clear, the year 30828) become that last one.
FileTime FileTimeFromUnixTime(std::int64_t seconds, std::uint32_t nanoseconds);

}  // namespace platform::posix
