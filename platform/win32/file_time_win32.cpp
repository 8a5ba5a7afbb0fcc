#include <time.h>
#include <windows.h>

#include <cstddef>

#include "platform/file_time.h"

namespace platform {

// The records are handed to the system as they are, so they must be the system's own.
static_assert(sizeof(FileTime) == sizeof(FILETIME));
static_assert(offsetof(FileTime, dwHighDateTime) == offsetof(FILETIME, dwHighDateTime));
static_assert(sizeof(SystemTime) == sizeof(SYSTEMTIME));
static_assert(offsetof(SystemTime, wDay) == offsetof(SYSTEMTIME, wDay));
static_assert(offsetof(SystemTime, wMilliseconds) == offsetof(SYSTEMTIME, wMilliseconds));

bool FileTimeToLocal(const FileTime& utc, FileTime& local) {
    return FileTimeToLocalFileTime(reinterpret_cast<const FILETIME*>(&utc),
                                   reinterpret_cast<FILETIME*>(&local)) != FALSE;
}

bool FileTimeToSystem(const FileTime& time, SystemTime& broken) {
    return FileTimeToSystemTime(reinterpret_cast<const FILETIME*>(&time),
                                reinterpret_cast<SYSTEMTIME*>(&broken)) != FALSE;
}

std::int64_t MakeTime64(std::tm& local) {
    return _mktime64(&local);
}

}  // namespace platform
