#include <time.h>

#include "platform/local_clock.h"

namespace platform {

bool ReadLocalDate(int& year, int& month, int& day) {
    const __time64_t now = _time64(nullptr);
    struct tm local {};
    if (now == static_cast<__time64_t>(-1) || _localtime64_s(&local, &now) != 0) return false;
    return DateFromLocalTime(local, year, month, day);
}

}  // namespace platform
