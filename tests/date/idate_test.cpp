#include "date/idate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <sstream>
#include <string>

#include "local_clock_fake.h"

namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

// Serial 0 is 1758-01-01.
constexpr sys_days kEpoch{std::chrono::year{1758} / 1 / 1};

// The standard library's reading of a serial.
year_month_day ChronoDate(std::int32_t serial) {
    return year_month_day{kEpoch + days{serial}};
}

::testing::AssertionResult HasFields(const IDate& date, std::int32_t year, std::int32_t month,
                                     std::int32_t day, bool adjusted) {
    if (date.year == year && date.month == month && date.day == day && date.adjusted == adjusted) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got " << date.year << "-" << date.month << "-" << date.day
           << " adjusted=" << date.adjusted << ", want " << year << "-" << month << "-" << day
           << " adjusted=" << adjusted;
}

::testing::AssertionResult IsInvalidValue(const IDate& date) {
    if (date.serial == 0 && date.year == 1758 && date.month == 1 && date.day == 1 &&
        date.adjusted) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got serial " << date.serial << " = " << date.year << "-" << date.month << "-"
           << date.day << " adjusted=" << date.adjusted << ", want the invalid value";
}

// The whole range at once, checked by counting, so that three million dates take a fraction of a
// second; the first mismatch is reported.
TEST(IDateRoundTrip, EverySerialAgreesWithTheStandardCalendarAndConvertsBack) {
    std::int64_t failures = 0;
    std::ostringstream first;
    for (std::int32_t serial = 0; serial <= IDate::kMaxSerial; ++serial) {
        const IDate date(serial);
        const year_month_day expected = ChronoDate(serial);
        const IDate back(date.year, date.month, date.day);
        const bool fieldsMatch = date.serial == serial && !date.adjusted &&
                                 date.year == static_cast<int>(expected.year()) &&
                                 date.month == static_cast<int>(unsigned{expected.month()}) &&
                                 date.day == static_cast<int>(unsigned{expected.day()});
        const bool backMatches = back.serial == serial && !back.adjusted &&
                                 back.year == date.year && back.month == date.month &&
                                 back.day == date.day;
        // The public operations must give the same answers as the conversion itself.
        const bool operationsMatch =
            IDate::YearFromSerial(serial) == date.year &&
            IDate::MonthFromSerial(serial, date.year) == date.month &&
            IDate::DayFromSerial(serial, date.year, date.month) == date.day &&
            IDate::NewYearSerial(date.year) + IDate::DaysBeforeMonth(date.year, date.month) +
                    date.day - 1 ==
                serial;
        if (!(fieldsMatch && backMatches && operationsMatch) && failures++ == 0) {
            first << "serial " << serial << ": got " << date.year << "-" << date.month << "-"
                  << date.day << " adjusted=" << date.adjusted << ", std::chrono says "
                  << static_cast<int>(expected.year()) << "-" << unsigned{expected.month()} << "-"
                  << unsigned{expected.day()} << "; back to serial " << back.serial
                  << " adjusted=" << back.adjusted << "; operations "
                  << (operationsMatch ? "agree" : "disagree");
        }
    }
    EXPECT_EQ(failures, 0) << "first mismatch: " << first.str();
}

// Every year, month and day 1 to 31: a day past the end of the month runs over into the next
// month (as the standard calendar counts on from the first) and only then sets `adjusted`.
TEST(IDateRoundTrip, EveryDayOneToThirtyOneOfEveryMonthRunsOverLikeTheStandardCalendar) {
    std::int64_t failures = 0;
    std::ostringstream first;
    for (int year = IDate::kMinYear; year <= IDate::kMaxYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const std::chrono::year_month ym{std::chrono::year{year},
                                             std::chrono::month{static_cast<unsigned>(month)}};
            const sys_days firstOfMonth{ym / 1};
            const auto monthLength =
                static_cast<int>(unsigned{year_month_day{ym / std::chrono::last}.day()});
            for (int day = 1; day <= 31; ++day) {
                const IDate date(year, month, day);
                const sys_days expected = firstOfMonth + days{day - 1};
                const bool ok = date.serial == (expected - kEpoch).count() &&
                                date.adjusted == (day > monthLength);
                if (!ok && failures++ == 0) {
                    first << year << "-" << month << "-" << day << ": serial " << date.serial
                          << " adjusted=" << date.adjusted << ", want serial "
                          << (expected - kEpoch).count() << " adjusted=" << (day > monthLength);
                }
            }
        }
    }
    EXPECT_EQ(failures, 0) << "first mismatch: " << first.str();
}

TEST(IDateRange, EndsOfTheRange) {
    const IDate first(0);
    EXPECT_TRUE(HasFields(first, 1758, 1, 1, false));

    const IDate firstBySetDate(1758, 1, 1);
    EXPECT_EQ(std::int32_t{firstBySetDate.serial}, 0);
    EXPECT_FALSE(firstBySetDate.adjusted) << "1758-01-01 is a real date, not an invalid one";

    const IDate last(9999, 12, 31);
    EXPECT_EQ(std::int32_t{last.serial}, 3010327);
    EXPECT_TRUE(HasFields(last, 9999, 12, 31, false));

    EXPECT_TRUE(IsInvalidValue(IDate(9999, 12, 32))) << "must not run over into year 10000";
    EXPECT_TRUE(IsInvalidValue(IDate(10000, 1, 1)));
    EXPECT_TRUE(IsInvalidValue(IDate(1757, 12, 31)));
    EXPECT_TRUE(HasFields(IDate(9999, 11, 31), 9999, 12, 1, true));

    EXPECT_EQ(IDate::NewYearSerial(1758), 0);
    EXPECT_EQ(IDate::NewYearSerial(10000), 3010328);
}

TEST(IDateRange, KnownSerials) {
    EXPECT_EQ(std::int32_t{IDate(2016, 9, 20).serial}, 94495);
    EXPECT_EQ(std::int32_t{IDate(1989, 1, 8).serial}, 84378);
    EXPECT_TRUE(HasFields(IDate(94495), 2016, 9, 20, false));
}

TEST(IDateRange, InvalidFieldsGiveTheInvalidValue) {
    EXPECT_TRUE(IsInvalidValue(IDate(2015, 6, 0)));
    EXPECT_TRUE(IsInvalidValue(IDate(2015, 6, 32)));
    EXPECT_TRUE(IsInvalidValue(IDate(2015, 6, -1)));
    EXPECT_TRUE(IsInvalidValue(IDate(0, 1, 1)));

    // SetDate on a value that held a good date must overwrite all of it.
    IDate date(2016, 9, 20);
    date.SetDate(2015, 6, 0);
    EXPECT_TRUE(IsInvalidValue(date));
    date.SetDate(2016, 2, 29);
    EXPECT_TRUE(HasFields(date, 2016, 2, 29, false)) << "a good date clears `adjusted` again";
}

TEST(IDateNormalisation, MonthsBeyondTheYearCountOnAndBack) {
    EXPECT_TRUE(HasFields(IDate(2015, 13, 1), 2016, 1, 1, false));
    EXPECT_TRUE(HasFields(IDate(2015, 24, 1), 2016, 12, 1, false));
    EXPECT_TRUE(HasFields(IDate(2015, 25, 10), 2017, 1, 10, false));
    EXPECT_TRUE(HasFields(IDate(2015, 0, 5), 2014, 12, 5, false));
    EXPECT_TRUE(HasFields(IDate(2015, -11, 5), 2014, 1, 5, false));
    // Only one year is borrowed for months at or below zero.
    EXPECT_TRUE(IsInvalidValue(IDate(2015, -12, 5)));
    EXPECT_TRUE(IsInvalidValue(IDate(2015, -13, 5)));
}

TEST(IDateNormalisation, MonthNormalisationDecidesValidityAtTheEndsOfTheRange) {
    EXPECT_TRUE(HasFields(IDate(1757, 13, 1), 1758, 1, 1, false));
    EXPECT_EQ(std::int32_t{IDate(1757, 13, 1).serial}, 0);
    EXPECT_TRUE(IsInvalidValue(IDate(1758, 0, 1)));
    EXPECT_TRUE(HasFields(IDate(10000, 0, 1), 9999, 12, 1, false));
    EXPECT_TRUE(IsInvalidValue(IDate(9999, 13, 1)));
}

TEST(IDateNormalisation, NormalisedMonthAndRunOverTogether) {
    // 31 of month 14 of 2015 is 31 February 2016, which runs over to 2 March 2016.
    EXPECT_TRUE(HasFields(IDate(2015, 14, 31), 2016, 3, 2, true));
    // Month 0 of 2016 is December 2015; its 31st exists.
    EXPECT_TRUE(HasFields(IDate(2016, 0, 31), 2015, 12, 31, false));
}

TEST(IDateRunOver, DayBeyondTheMonthRunsIntoTheNextAndSetsAdjusted) {
    EXPECT_TRUE(HasFields(IDate(2015, 2, 29), 2015, 3, 1, true));
    EXPECT_TRUE(HasFields(IDate(2016, 2, 29), 2016, 2, 29, false));
    EXPECT_TRUE(HasFields(IDate(2016, 2, 30), 2016, 3, 1, true));
    EXPECT_TRUE(HasFields(IDate(2015, 2, 31), 2015, 3, 3, true));
    EXPECT_TRUE(HasFields(IDate(2015, 4, 31), 2015, 5, 1, true));
    EXPECT_TRUE(HasFields(IDate(2015, 12, 31), 2015, 12, 31, false));
    EXPECT_TRUE(HasFields(IDate(2016, 11, 31), 2016, 12, 1, true));
}

TEST(IDateLeapYears, CenturiesAreLeapOnlyWhenDivisibleBy400) {
    EXPECT_TRUE(HasFields(IDate(1900, 2, 29), 1900, 3, 1, true));
    EXPECT_TRUE(HasFields(IDate(2000, 2, 29), 2000, 2, 29, false));
    EXPECT_TRUE(HasFields(IDate(2100, 2, 29), 2100, 3, 1, true));
    EXPECT_TRUE(IDate::IsLeapYear(2000));
    EXPECT_TRUE(IDate::IsLeapYear(2016));
    EXPECT_FALSE(IDate::IsLeapYear(1900));
    EXPECT_FALSE(IDate::IsLeapYear(2015));
    EXPECT_EQ(IDate::DaysBeforeMonth(2016, 3), 60);
    EXPECT_EQ(IDate::DaysBeforeMonth(2015, 3), 59);
    EXPECT_EQ(IDate::DaysBeforeMonth(2015, 1), 0);
    EXPECT_EQ(IDate::DaysBeforeMonth(2015, 12), 334);
}

// The year estimate is one too high on 31 December of leap years; these are the days where a
// missing or wrong correction shows.
TEST(IDateFromSerial, LastDaysOfLeapYearsAndOfTheFourHundredYearCycle) {
    EXPECT_EQ(IDate::YearFromSerial(94597), 2016);  // 2016-12-31
    EXPECT_EQ(IDate::YearFromSerial(94598), 2017);
    EXPECT_EQ(IDate::YearFromSerial(88753), 2000);  // 2000-12-31, end of a 400-year cycle
    EXPECT_EQ(IDate::YearFromSerial(88754), 2001);
    EXPECT_TRUE(HasFields(IDate(88753), 2000, 12, 31, false));
    EXPECT_TRUE(HasFields(IDate(94597), 2016, 12, 31, false));
    EXPECT_TRUE(HasFields(IDate(IDate(1900, 12, 31).serial), 1900, 12, 31, false));
}

// Nothing here may overflow; the sanitizer run of this suite is what proves it.
TEST(IDateOverflow, ExtremeFieldsGiveTheInvalidValue) {
    constexpr std::int32_t kExtremes[] = {INT_MIN, INT_MIN + 1, -12, INT_MAX - 1, INT_MAX};
    for (const std::int32_t extreme : kExtremes) {
        SCOPED_TRACE(extreme);
        // As a year, also where normalising the month moves it across the 32-bit limits.
        EXPECT_TRUE(IsInvalidValue(IDate(extreme, 1, 1)));
        EXPECT_TRUE(IsInvalidValue(IDate(extreme, 0, 1)));
        EXPECT_TRUE(IsInvalidValue(IDate(extreme, -11, 1)));
        EXPECT_TRUE(IsInvalidValue(IDate(extreme, 13, 1)));
        EXPECT_TRUE(IsInvalidValue(IDate(extreme, INT_MAX, 1)));
        EXPECT_TRUE(IsInvalidValue(IDate(extreme, INT_MIN, 1)));
        // As a month, and as a day.
        EXPECT_TRUE(IsInvalidValue(IDate(2016, extreme, 1)));
        EXPECT_TRUE(IsInvalidValue(IDate(2016, 1, extreme)));
        EXPECT_TRUE(IsInvalidValue(IDate(extreme, extreme, extreme)));
    }
}

TEST(IDateOverflow, HugeMonthThatNormalisesIntoTheRangeIsAnOrdinaryDate) {
    // INT_MAX months are 178956970 years and 7 months; no overflow happens, so this is valid.
    EXPECT_TRUE(HasFields(IDate(2016 - 178956970, INT_MAX, 20), 2016, 7, 20, false));
    EXPECT_TRUE(IsInvalidValue(IDate(2016, INT_MAX, 20)));
}

TEST(IDateOverflow, SerialsOutsideTheRangeGiveTheInvalidValue) {
    constexpr std::int32_t kOutside[] = {INT_MIN, -641732, -1, IDate::kMaxSerial + 1, INT_MAX};
    for (const std::int32_t serial : kOutside) {
        SCOPED_TRACE(serial);
        EXPECT_TRUE(IsInvalidValue(IDate(serial)));

        IDate edited(2016, 9, 20);
        edited.serial = serial;
        edited.UpdateFields();
        EXPECT_TRUE(IsInvalidValue(edited)) << "fields must never contradict the serial";
    }
}

TEST(IDateOverflow, OperationsWithoutAValueAcceptAnyInput) {
    constexpr std::int32_t kExtremes[] = {INT_MIN, -641732, -1, 0, 3010328, INT_MAX};
    for (const std::int32_t value : kExtremes) {
        SCOPED_TRACE(value);
        const std::int32_t year = IDate::YearFromSerial(value);
        // The year found must contain the serial.
        EXPECT_LE(IDate::NewYearSerial(year), value);
        if (year < INT_MAX) {
            EXPECT_TRUE(value < IDate::NewYearSerial(year + 1) ||
                        IDate::NewYearSerial(year + 1) == INT_MAX);
        }
        const std::int32_t month = IDate::MonthFromSerial(value, year);
        EXPECT_GE(month, 1);
        EXPECT_LE(month, 12);
        (void)IDate::DayFromSerial(value, year, month);
        (void)IDate::DayFromSerial(value, value, value);
        EXPECT_GE(IDate::MonthFromSerial(value, value), 1);
        EXPECT_LE(IDate::MonthFromSerial(value, value), 12);
        (void)IDate::NewYearSerial(value);
        (void)IDate::DaysBeforeMonth(value, value);
        (void)IDate::IsLeapYear(value);
        EXPECT_FALSE(IDate::IsValidDate(value, value, value));
    }
    EXPECT_EQ(IDate::YearFromSerial(-1), 1757);
    EXPECT_EQ(IDate::YearFromSerial(3010328), 10000);
}

TEST(IDateToday, TakesTheLocalDateAndValidatesIt) {
    local_clock_fake::SetLocalDate(2016, 9, 20);
    IDate today(0);
    today.SetToday();
    EXPECT_EQ(std::int32_t{today.serial}, 94495);
    EXPECT_TRUE(HasFields(today, 2016, 9, 20, false));

    // A local date out of range is the invalid value like any other input.
    local_clock_fake::SetLocalDate(10000, 1, 1);
    today.SetToday();
    EXPECT_TRUE(IsInvalidValue(today));
}

TEST(IDateToday, UnreadableClockGivesTheInvalidValue) {
    IDate today(2016, 9, 20);
    local_clock_fake::SetFailure();
    today.SetToday();
    EXPECT_TRUE(IsInvalidValue(today));
    local_clock_fake::SetLocalDate(2016, 9, 20);
}

}  // namespace
