#include <ctime>
#include <limits>

#include "platform/file_time.h"
#include "platform/posix/unix_file_time.h"

namespace platform {
namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicksPerDay = kTicksPerSecond * 86400;
// Days from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kUnixEpochDays = 134774;
constexpr std::int64_t kUnixEpochTicks = kUnixEpochDays * kTicksPerDay;
constexpr std::int64_t kLastValidTicks = std::numeric_limits<std::int64_t>::max();
// _mktime64 covers 1970-01-01 to 3000-12-31 23:59:59 UTC.
constexpr std::int64_t kLastMkTime64 = 32535215999;

std::uint64_t Ticks(const FileTime& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FileTime FromTicks(std::uint64_t ticks) {
    return {static_cast<std::uint32_t>(ticks & 0xFFFFFFFFu),
            static_cast<std::uint32_t>(ticks >> 32)};
}

}  // namespace

FileTime posix::FileTimeFromUnixTime(std::int64_t seconds, std::uint32_t nanoseconds) {
    // Bounds on the seconds first, so that no product or sum below can overflow.
    constexpr std::int64_t kFirstSecond = -(kUnixEpochTicks / kTicksPerSecond);
    constexpr std::int64_t kLastSecond = (kLastValidTicks - kUnixEpochTicks) / kTicksPerSecond;
    if (seconds < kFirstSecond) return FromTicks(0);
    if (seconds > kLastSecond) return FromTicks(static_cast<std::uint64_t>(kLastValidTicks));
    const std::int64_t whole = kUnixEpochTicks + seconds * kTicksPerSecond;
    const std::int64_t fraction = std::int64_t{nanoseconds % 1000000000u} / 100;
    return FromTicks(static_cast<std::uint64_t>(
        fraction > kLastValidTicks - whole ? kLastValidTicks : whole + fraction));
}

bool FileTimeToLocal(const FileTime& utc, FileTime& local) {
    const std::time_t now = std::time(nullptr);
    std::tm broken{};
    if (localtime_r(&now, &broken) == nullptr) return false;
    const std::int64_t bias = static_cast<std::int64_t>(broken.tm_gmtoff) * kTicksPerSecond;
    const std::uint64_t ticks = Ticks(utc);
    if (bias < 0 && ticks < static_cast<std::uint64_t>(-bias)) return false;
    local = FromTicks(ticks + static_cast<std::uint64_t>(bias));
    return true;
}

bool FileTimeToSystem(const FileTime& time, SystemTime& broken) {
    const std::uint64_t ticks = Ticks(time);
    if ((ticks >> 63) != 0) return false;
    const auto days = static_cast<std::int64_t>(ticks / kTicksPerDay);
    const auto rest = static_cast<std::int64_t>(ticks % kTicksPerDay);

    // Civil date from a day count (Howard Hinnant's algorithm), counted from 1970.
    const std::int64_t z = days - kUnixEpochDays + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const std::int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

    broken.wYear = static_cast<std::uint16_t>(year);
    broken.wMonth = static_cast<std::uint16_t>(month);
    broken.wDay = static_cast<std::uint16_t>(day);
    broken.wDayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
    broken.wHour = static_cast<std::uint16_t>(rest / (kTicksPerSecond * 3600));
    broken.wMinute = static_cast<std::uint16_t>(rest / (kTicksPerSecond * 60) % 60);
    broken.wSecond = static_cast<std::uint16_t>(rest / kTicksPerSecond % 60);
    broken.wMilliseconds = static_cast<std::uint16_t>(rest / 10000 % 1000);
    return true;
}

std::int64_t MakeTime64(std::tm& local) {
    const std::time_t seconds = std::mktime(&local);
    if (seconds < 0 || seconds > kLastMkTime64) return -1;
    return seconds;
}

}  // namespace platform
