// A point in time as seconds since 1970-01-01 00:00:00 UTC; 0 when a conversion failed.
#pragma once

#include <cstdint>

#include "platform/file_time.h"

class ITime {
  public:
    ITime() = default;
    explicit ITime(std::int64_t seconds) : seconds_(seconds) {}

    std::int64_t Seconds() const { return seconds_; }

    // From a platform file time (UTC): converted to local time, broken down, then made into
    // seconds by FromSystemTime. A failed conversion gives 0.
    void FromFileTime(const platform::FileTime& time, int daylightSaving);

    // From a local broken-down time; milliseconds are dropped and years before 1900 give 0.
    // `daylightSaving` is the C library's flag: -1 lets it decide.
    void FromSystemTime(const platform::SystemTime& time, int daylightSaving);

  private:
    std::int64_t seconds_ = 0;
};
