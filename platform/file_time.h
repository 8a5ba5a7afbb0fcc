// File-time conversions and the C runtime's _mktime64.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/file_find.h"

namespace platform {

// FileTimeToLocalFileTime: UTC ticks to local ticks with the bias in force now, as Windows does.
bool FileTimeToLocal(const FILETIME& utc, FILETIME& local);

// FileTimeToSystemTime: ticks since 1601 to a broken-down time; false for values whose top bit
// is set.
bool FileTimeToSystem(const FILETIME& time, SYSTEMTIME& broken);

// _mktime64: local broken-down time to seconds since 1970 UTC; -1 when it cannot be converted.
std::int64_t MakeTime64(std::tm& local);

}  // namespace platform
