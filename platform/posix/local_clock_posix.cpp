#include <ctime>

#include "platform/local_clock.h"

namespace platform {

bool ReadLocalDate(int& year, int& month, int& day) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) return false;
    return DateFromLocalTime(local, year, month, day);
}

}  // namespace platform
