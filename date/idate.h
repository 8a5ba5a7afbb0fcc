#pragma once

#include <algorithm>
#include <cstdint>

// A day of the proleptic Gregorian calendar from 1758-01-01 to 9999-12-31, held both as a serial
// day number (days since 1758-01-01) and as year, month and day, which always agree with it.
// Invalid input never raises: it yields serial 0 (1758-01-01) with `adjusted` set, and users
// treat serial 0 as "no date".
//
// Everything except SetToday is constexpr so that tables of dates (the era table) are
// constant-initialised and safe to read from any other static initialiser.
//
// Packed so that the flag follows the four integers directly and arrays of dates have no gaps.
// The fields may therefore be misaligned: read and write them by value, never bind a reference
// or pointer to one.
#pragma pack(push, 1)
class IDate {
  public:
    static constexpr std::int32_t kMinYear = 1758;
    static constexpr std::int32_t kMaxYear = 9999;
    static constexpr std::int32_t kMaxSerial = 3010327;  // 9999-12-31

    // A serial outside 0 to kMaxSerial gives serial 0 with `adjusted` set.
    constexpr explicit IDate(std::int32_t serialNumber) noexcept : serial(serialNumber) {
        UpdateFields();
    }

    constexpr IDate(std::int32_t year, std::int32_t month, std::int32_t day) noexcept {
        SetDate(year, month, day);
    }

    // Months 0 to -11 count back into the previous year, months above 12 on into later years;
    // a day beyond the end of the month runs over into the following months and sets
    // `adjusted`. Any other out-of-range input gives serial 0 with `adjusted` set.
    constexpr void SetDate(std::int32_t newYear, std::int32_t newMonth,
                           std::int32_t newDay) noexcept {
        // The year is normalised in 64 bits: years near the 32-bit limits must not overflow.
        std::int64_t normalYear = newYear;
        std::int32_t normalMonth = newMonth;
        if (newMonth <= 0) {
            normalMonth = newMonth + 12;
            normalYear -= 1;
        } else if (newMonth > 12) {
            normalYear += (newMonth - 1) / 12;
            normalMonth = (newMonth - 1) % 12 + 1;
        }

        // Unsigned differences test both ends of each range at once.
        if (static_cast<std::uint64_t>(normalYear - kMinYear) > kMaxYear - kMinYear ||
            static_cast<std::uint32_t>(normalMonth) - 1U >= 12U ||
            static_cast<std::uint32_t>(newDay) - 1U >= 31U) {
            SetInvalid();
            return;
        }

        serial = SerialFromFields(static_cast<std::int32_t>(normalYear), normalMonth, newDay);
        UpdateFields();
        // Only a day that ran over into a later month changes the day asked for.
        adjusted = day != newDay;
    }

    // Today's local date; the invalid value (serial 0, `adjusted` set) when the clock or the
    // local time cannot be read.
    void SetToday();

    // Derives year, month and day from `serial`. A serial outside 0 to kMaxSerial becomes the
    // invalid value, so the fields never contradict the serial.
    constexpr void UpdateFields() noexcept {
        if (serial < 0 || serial > kMaxSerial) {
            serial = 0;
            adjusted = true;
        }
        SetFieldsFromSerial();
    }

    // The day is not compared with the length of the month.
    static constexpr bool IsValidDate(std::int32_t year, std::int32_t month,
                                      std::int32_t day) noexcept {
        return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 1 &&
               day <= 31;
    }

    static constexpr bool IsLeapYear(std::int32_t year) noexcept {
        // Divisible by 4 and, when divisible by 25 (that is, by 100), by 16 (that is, by 400).
        return (year & (year % 25 == 0 ? 15 : 3)) == 0;
    }

    // Days of the year before the first of `month` (1 to 12). A month below 1 counts as 1 and
    // one above 12 as the end of the year. From March on, month lengths repeat 31, 30, 31, 30,
    // 31 every 153 days.
    static constexpr std::int32_t DaysBeforeMonth(std::int32_t year, std::int32_t month) noexcept {
        const std::int32_t m = std::clamp(month, 1, 13);
        if (m <= 2) {
            return m == 1 ? 0 : 31;
        }
        return (153 * (m - 3) + 2) / 5 + 59 + (IsLeapYear(year) ? 1 : 0);
    }

    // Serial of 1 January of `year`; exact for every year whose serial fits 32 bits, and
    // pinned to the 32-bit limits beyond.
    static constexpr std::int32_t NewYearSerial(std::int32_t year) noexcept {
        return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(NewYearSerialWide(year), INT32_MIN, INT32_MAX));
    }

    // The year in which `serial` lies; exact for every 32-bit serial, also outside the
    // supported range: a closed form on whole 400-year cycles, counted with floor division so
    // that it also holds before year 1.
    static constexpr std::int32_t YearFromSerial(std::int32_t serial) noexcept {
        const std::int64_t x = std::int64_t{serial} + kDaysBeforeEpoch;
        const std::int64_t cycles = FloorDiv(x, 146097);
        const std::int64_t e = x - cycles * 146097;  // the day of the cycle, 0 to 146096
        const std::int64_t inCentury = e % 36524;
        // One too high on 31 December of a leap year, exact on every other day.
        const std::int64_t y = 400 * cycles + 100 * (e / 36524) + 4 * (inCentury / 1461) +
                               (inCentury % 1461) / 365 + 1;
        return static_cast<std::int32_t>(serial < NewYearSerialWide(y) ? y - 1 : y);
    }

    // The month in which `serial` lies; `year` must be the serial's own year.
    static constexpr std::int32_t MonthFromSerial(std::int32_t serial, std::int32_t year) noexcept {
        const bool leap = IsLeapYear(year);
        // A serial of another year stops at January or December, never beyond.
        const std::int64_t dayOfYear = std::clamp<std::int64_t>(
            std::int64_t{serial} - NewYearSerialWide(year), 0, leap ? 365 : 364);
        // The inverse of DaysBeforeMonth.
        const std::int64_t march = leap ? 60 : 59;
        if (dayOfYear < march) {
            return dayOfYear < 31 ? 1 : 2;
        }
        return static_cast<std::int32_t>((5 * (dayOfYear - march) + 2) / 153 + 3);
    }

    // The day of the month of `serial`; `year` and `month` must be the serial's own.
    static constexpr std::int32_t DayFromSerial(std::int32_t serial, std::int32_t year,
                                                std::int32_t month) noexcept {
        const std::int64_t dayValue =
            std::int64_t{serial} - NewYearSerialWide(year) - DaysBeforeMonth(year, month) + 1;
        // Only a serial of another year can fall outside 32 bits; wrap rather than overflow.
        return static_cast<std::int32_t>(dayValue);
    }

    std::int32_t serial = 0;
    std::int32_t year = kMinYear;
    std::int32_t month = 1;
    std::int32_t day = 1;
    bool adjusted = false;

  private:
    // Days from 0001-01-01 to 1758-01-01.
    static constexpr std::int32_t kDaysBeforeEpoch = 641731;

    // Days from 1 March of year 0 to 1758-01-01. Counting years from 1 March puts the leap day
    // at the end of the year, which makes both conversions below free of branches
    // (C. Neri and L. Schneider, "Euclidean affine functions and their application to calendar
    // algorithms", 2022). Unsigned 32-bit arithmetic suffices for the supported range.
    static constexpr std::uint32_t kDaysFromMarchYearZero = 642037;

    // The serial of a date that exists or runs over: 1758 <= year <= 9999, 1 <= month <= 12,
    // 1 <= day <= 31.
    static constexpr std::int32_t SerialFromFields(std::int32_t year, std::int32_t month,
                                                   std::int32_t day) noexcept {
        const bool janOrFeb = month <= 2;
        const std::uint32_t marchYear = static_cast<std::uint32_t>(year) - (janOrFeb ? 1 : 0);
        const std::uint32_t marchMonth = static_cast<std::uint32_t>(month) + (janOrFeb ? 12 : 0);
        const std::uint32_t century = marchYear / 100;
        const std::uint32_t yearDays = 1461 * marchYear / 4 - century + century / 4;
        const std::uint32_t monthDays = (979 * marchMonth - 2919) / 32;
        return static_cast<std::int32_t>(yearDays + monthDays + static_cast<std::uint32_t>(day) -
                                         1 - kDaysFromMarchYearZero);
    }

    // Year, month and day of a serial from 0 to kMaxSerial.
    constexpr void SetFieldsFromSerial() noexcept {
        const std::uint32_t n = static_cast<std::uint32_t>(serial) + kDaysFromMarchYearZero;
        const std::uint32_t n1 = 4 * n + 3;
        const std::uint32_t century = n1 / 146097;
        const std::uint32_t n2 = n1 % 146097 / 4 * 4 + 3;
        const std::uint64_t p2 = std::uint64_t{2939745} * n2;
        const auto yearOfCentury = static_cast<std::uint32_t>(p2 >> 32);
        const std::uint32_t dayOfYear = static_cast<std::uint32_t>(p2) / 2939745 / 4;
        const std::uint32_t n3 = 2141 * dayOfYear + 197913;
        const std::uint32_t marchMonth = n3 >> 16;  // 3 (March) to 14 (February)
        const bool janOrFeb = dayOfYear >= 306;
        year = static_cast<std::int32_t>(100 * century + yearOfCentury + (janOrFeb ? 1 : 0));
        month = static_cast<std::int32_t>(janOrFeb ? marchMonth - 12 : marchMonth);
        day = static_cast<std::int32_t>((n3 & 0xFFFF) / 2141 + 1);
    }

    constexpr void SetInvalid() noexcept {
        serial = 0;
        adjusted = true;
        SetFieldsFromSerial();
    }

    static constexpr std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) noexcept {
        const std::int64_t quotient = value / divisor;
        return value % divisor < 0 ? quotient - 1 : quotient;
    }

    // Serial of 1 January of `year`, valid for every 32-bit year.
    static constexpr std::int64_t NewYearSerialWide(std::int64_t year) noexcept {
        const std::int64_t before = year - 1;
        return 365 * year + FloorDiv(before, 4) - FloorDiv(before, 100) + FloorDiv(before, 400) -
               642096;
    }
};
#pragma pack(pop)

static_assert(sizeof(IDate) == 17, "IDate must stay packed: four 32-bit integers and a flag");
