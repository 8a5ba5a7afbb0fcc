#ifndef PLATFORM_LOCAL_CLOCK_H
#define PLATFORM_LOCAL_CLOCK_H

namespace platform {

// Reads today's date in the local time zone: year (e.g. 2016), month 1 to 12, day 1 to 31.
// Returns false, leaving the arguments untouched, when the clock cannot be read or the time
// cannot be converted to local time.
bool ReadLocalDate(int& year, int& month, int& day);

}  // namespace platform

#endif  // PLATFORM_LOCAL_CLOCK_H
