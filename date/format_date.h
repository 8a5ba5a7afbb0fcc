#pragma once

#include <cstdint>
#include <string>

#include "date/idate.h"

// FormatDate flags; other bits are ignored.
inline constexpr std::uint32_t DF_YEAR = 0x10;   // four-digit year, or the era mark with DF_ERA
inline constexpr std::uint32_t DF_MONTH = 0x20;  // two-digit month
inline constexpr std::uint32_t DF_DAY = 0x40;    // two-digit day
inline constexpr std::uint32_t DF_ERA = 0x80;    // with DF_YEAR: era letter and two-digit era year

// Replaces the contents of `out` with the selected parts of `date`, in the order year (or era
// mark), month, day, without separators, and returns the length of `out`. Serial 0 (no date)
// and an era form asked for a date whose era has no letter give empty text and 0.
// Running out of memory throws std::bad_alloc.
std::int32_t FormatDate(const IDate& date, std::uint32_t flags, std::string& out);
