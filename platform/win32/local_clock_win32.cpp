#include <time.h>

#include <climits>

#include "platform/local_clock.h"

namespace platform {

bool ReadLocalDate(int& year, int& month, int& day) {
    const __time64_t now = _time64(nullptr);
    if (now == static_cast<__time64_t>(-1)) {
        return false;
    }
    struct tm local {};
    if (_localtime64_s(&local, &now) != 0) {
        return false;
    }
    // A clock set absurdly far ahead must not overflow the year.
    if (local.tm_year > INT_MAX - 1900) {
        return false;
    }
    year = local.tm_year + 1900;
    month = local.tm_mon + 1;
    day = local.tm_mday;
    return true;
}

}  // namespace platform
