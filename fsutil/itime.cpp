#include "fsutil/itime.h"

#include <ctime>

#include "platform/file_time.h"

void ITime::FromFileTime(const platform::FileTime& time, int daylightSaving) {
    platform::FileTime local{};
    platform::SystemTime broken{};
    if (!platform::FileTimeToLocal(time, local) || !platform::FileTimeToSystem(local, broken)) {
        seconds_ = 0;
        return;
    }
    FromSystemTime(broken, daylightSaving);
}

void ITime::FromSystemTime(const platform::SystemTime& time, int daylightSaving) {
    if (time.wYear < 1900) {
        seconds_ = 0;
        return;
    }
    std::tm broken{};
    broken.tm_sec = time.wSecond;
    broken.tm_min = time.wMinute;
    broken.tm_hour = time.wHour;
    broken.tm_mday = time.wDay;
    broken.tm_mon = time.wMonth - 1;
    broken.tm_year = time.wYear - 1900;
    broken.tm_isdst = daylightSaving;
    seconds_ = platform::MakeTime64(broken);
}
