// Today's date by the local clock.
#pragma once

#include <climits>
#include <ctime>

namespace platform {

// Reads today's date in the local time zone: year (e.g. 2016), month 1 to 12, day 1 to 31.
// Returns false, leaving the arguments untouched, when the clock cannot be read or the time
// cannot be converted to local time.
bool ReadLocalDate(int& year, int& month, int& day);

// The date of a broken-down local time; false when its year does not fit, as with a clock
// set absurdly far ahead.
inline bool DateFromLocalTime(const std::tm& local, int& year, int& month, int& day) {
    if (local.tm_year > INT_MAX - 1900) return false;
    year = local.tm_year + 1900;
    month = local.tm_mon + 1;
    day = local.tm_mday;
    return true;
}

}  // namespace platform
