// File-time conversions and the C runtime's _mktime64.
#pragma once

#include <cstdint>
#include <ctime>

namespace platform {

// A file time: 100 ns ticks since 1601-01-01 UTC in two 32-bit halves, laid out as Windows'
// FILETIME, which the file search hands to its callers unchanged.
struct FileTime {
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};

// A broken-down time, laid out as Windows' SYSTEMTIME.
struct SystemTime {
    std::uint16_t wYear;
    std::uint16_t wMonth;
    std::uint16_t wDayOfWeek;
    std::uint16_t wDay;
    std::uint16_t wHour;
    std::uint16_t wMinute;
    std::uint16_t wSecond;
    std::uint16_t wMilliseconds;
};

// FileTimeToLocalFileTime: UTC ticks to local ticks with the bias in force now, as Windows does.
bool FileTimeToLocal(const FileTime& utc, FileTime& local);

// FileTimeToSystemTime: ticks since 1601 to a broken-down time; false for values whose top bit
// is set.
bool FileTimeToSystem(const FileTime& time, SystemTime& broken);

// _mktime64: local broken-down time to seconds since 1970 UTC; -1 when it cannot be converted.
std::int64_t MakeTime64(std::tm& local);

}  // namespace platform
