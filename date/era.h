#pragma once

#include <array>
#include <cstdint>

#include "date/idate.h"

// Start dates of the Japanese calendar eras the system knows, in ascending order. A date's era
// index is the number of entries on or before it (0 to kEraStartCount); dates from the last
// entry on belong to the last era. Constant-initialised, so other static initialisers may read
// it.
inline constexpr int kEraStartCount = 20;
inline constexpr std::array<IDate, kEraStartCount> EraStartDates = {
    IDate(1764, 1, 1),  IDate(1772, 1, 1),   IDate(1781, 1, 1), IDate(1789, 1, 1),
    IDate(1801, 1, 1),  IDate(1804, 1, 1),   IDate(1818, 1, 1), IDate(1830, 1, 1),
    IDate(1844, 1, 1),  IDate(1848, 1, 1),   IDate(1854, 1, 1), IDate(1860, 1, 1),
    IDate(1861, 1, 1),  IDate(1864, 1, 1),   IDate(1865, 4, 7), IDate(1868, 9, 8),  // Meiji
    IDate(1912, 7, 30), IDate(1926, 12, 25), IDate(1989, 1, 8), IDate(2019, 5, 1),  // ..Reiwa
};

// The era index (0 to kEraStartCount) of a date.
std::int32_t EraIndex(const IDate& date);

// The year within the date's era, counted from the calendar year in which the era began (that
// year being 1); it steps on 1 January, not on the era's anniversary.
std::int32_t EraYear(const IDate& date);

// The era's letter ('M', 'T', 'S', 'H', 'R' for Meiji to Reiwa), or -1 for an era without one.
std::int32_t EraLetter(std::int32_t eraIndex);

// A date relative to its era.
struct IEraDate {
    std::int32_t eraYear = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t eraIndex = 0;

    void FromDate(const IDate& date);
};
