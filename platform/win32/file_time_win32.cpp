#include <time.h>

#include "platform/file_time.h"

namespace platform {

bool FileTimeToLocal(const FILETIME& utc, FILETIME& local) {
    return FileTimeToLocalFileTime(&utc, &local) != FALSE;
}

bool FileTimeToSystem(const FILETIME& time, SYSTEMTIME& broken) {
    return FileTimeToSystemTime(&time, &broken) != FALSE;
}

std::int64_t MakeTime64(std::tm& local) {
    return _mktime64(&local);
}

}  // namespace platform
