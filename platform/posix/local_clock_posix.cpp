#include <climits>
#include <ctime>

#include "platform/local_clock.h"

namespace platform {

bool ReadLocalDate(int& year, int& month, int& day) {
    const std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1)) {
        return false;
    }
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
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
