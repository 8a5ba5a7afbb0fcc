#include "date/format_date.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "date/era.h"
#include "date/idate.h"

namespace {

constexpr std::uint32_t kYmd = DF_YEAR | DF_MONTH | DF_DAY;
constexpr std::uint32_t kEraYear = DF_YEAR | DF_ERA;

struct Formatted {
    std::string text;
    std::int32_t length;
};

// Formats into a string that already holds text, so leftovers would show.
Formatted Format(const IDate& date, std::uint32_t flags) {
    Formatted result{"previous contents", 0};
    result.length = FormatDate(date, flags, result.text);
    return result;
}

std::string EraMark(std::int32_t year, std::int32_t month, std::int32_t day) {
    return Format(IDate(year, month, day), kEraYear).text;
}

TEST(FormatDate, YearMonthDayDigits) {
    const Formatted full = Format(IDate(2016, 9, 20), kYmd);
    EXPECT_EQ(full.text, "20160920");
    EXPECT_EQ(full.length, 8);

    EXPECT_EQ(Format(IDate(9999, 12, 31), kYmd).text, "99991231");
    EXPECT_EQ(Format(IDate(1758, 1, 2), kYmd).text, "17580102");

    const Formatted monthDay = Format(IDate(2016, 1, 5), DF_MONTH | DF_DAY);
    EXPECT_EQ(monthDay.text, "0105");
    EXPECT_EQ(monthDay.length, 4);

    const Formatted year = Format(IDate(2016, 1, 5), DF_YEAR);
    EXPECT_EQ(year.text, "2016");
    EXPECT_EQ(year.length, 4);

    EXPECT_EQ(Format(IDate(2016, 1, 5), DF_DAY).text, "05");
    EXPECT_EQ(Format(IDate(2016, 1, 5), DF_YEAR | DF_DAY).text, "201605");
}

TEST(FormatDate, EraForm) {
    const Formatted all = Format(IDate(2016, 9, 20), kYmd | DF_ERA);
    EXPECT_EQ(all.text, "H280920");
    EXPECT_EQ(all.length, 7);

    const Formatted yearOnly = Format(IDate(2016, 9, 20), kEraYear);
    EXPECT_EQ(yearOnly.text, "H28");
    EXPECT_EQ(yearOnly.length, 3);

    // Without DF_YEAR the era flag changes nothing.
    EXPECT_EQ(Format(IDate(2016, 9, 20), DF_ERA | DF_MONTH).text, "09");
    EXPECT_EQ(Format(IDate(2016, 9, 20), DF_ERA | DF_MONTH | DF_DAY).text, "0920");
}

TEST(FormatDate, NothingToWriteEmptiesTheString) {
    const IDate date(2016, 9, 20);
    for (const std::uint32_t flags : {0x00U, 0x0FU, 0x80U, 0xFFFFFF8FU, 0x100U}) {
        SCOPED_TRACE(flags);
        const Formatted result = Format(date, flags);
        EXPECT_EQ(result.text, "");
        EXPECT_EQ(result.length, 0);
    }
    // Bits outside the four flags are ignored, not rejected.
    EXPECT_EQ(Format(date, kYmd | 0xFFFFFF0FU).text, "20160920");
    EXPECT_EQ(Format(date, kYmd | 0xFFFFFF8FU).text, "H280920");
}

TEST(FormatDate, SerialZeroIsEmptyWhateverTheFlags) {
    for (const std::uint32_t flags : {kYmd, kYmd | DF_ERA, DF_MONTH, 0xFFFFFFFFU}) {
        SCOPED_TRACE(flags);
        const Formatted invalid = Format(IDate(2015, 6, 0), flags);
        EXPECT_EQ(invalid.text, "");
        EXPECT_EQ(invalid.length, 0);
        // 1758-01-01 is indistinguishable from "no date".
        EXPECT_EQ(Format(IDate(0), flags).text, "");
    }
}

TEST(FormatDate, EraWithoutLetterWritesNothingAtAll) {
    // Month and day are not written either, although asked for.
    const Formatted result = Format(IDate(1868, 9, 7), kYmd | DF_ERA);
    EXPECT_EQ(result.text, "");
    EXPECT_EQ(result.length, 0);
    EXPECT_EQ(Format(IDate(1760, 5, 5), kEraYear).text, "");
}

TEST(FormatDate, EraBoundaries) {
    EXPECT_EQ(EraMark(1868, 9, 7), "");
    EXPECT_EQ(EraMark(1868, 9, 8), "M01");
    EXPECT_EQ(EraMark(1912, 7, 29), "M45");
    EXPECT_EQ(EraMark(1912, 7, 30), "T01");
    EXPECT_EQ(EraMark(1926, 12, 24), "T15");
    EXPECT_EQ(EraMark(1926, 12, 25), "S01");
    EXPECT_EQ(EraMark(1989, 1, 7), "S64");
    EXPECT_EQ(EraMark(1989, 1, 8), "H01");
    EXPECT_EQ(EraMark(2019, 4, 30), "H31");
    EXPECT_EQ(EraMark(2019, 5, 1), "R01");
    EXPECT_EQ(EraMark(2019, 12, 31), "R01");
    EXPECT_EQ(EraMark(2020, 1, 1), "R02");  // era years step on 1 January
    EXPECT_EQ(EraMark(2026, 12, 8), "R08");
    EXPECT_EQ(EraMark(2088, 12, 31), "R70");
}

TEST(FormatDate, EraYearIsAMinimumOfTwoDigits) {
    EXPECT_EQ(EraMark(2118, 12, 31), "R100");
    EXPECT_EQ(EraMark(2119, 1, 1), "R101");
    const Formatted last = Format(IDate(9999, 12, 31), kYmd | DF_ERA);
    EXPECT_EQ(last.text, "R79811231");
    EXPECT_EQ(last.length, 9);
}

// Start dates and serials as the era calendar defines them; a wrong entry shifts every date
// around it into the neighbouring era.
// IDate is packed: its fields are compared as copies, never bound to references.
TEST(EraTable, EveryStartDateOpensItsEra) {
    struct Start {
        std::int32_t year, month, day, serial;
    };
    constexpr Start kStarts[kEraStartCount] = {
        {1764, 1, 1, 2191},   {1772, 1, 1, 5113},    {1781, 1, 1, 8401},  {1789, 1, 1, 11323},
        {1801, 1, 1, 15705},  {1804, 1, 1, 16800},   {1818, 1, 1, 21914}, {1830, 1, 1, 26297},
        {1844, 1, 1, 31410},  {1848, 1, 1, 32871},   {1854, 1, 1, 35063}, {1860, 1, 1, 37254},
        {1861, 1, 1, 37620},  {1864, 1, 1, 38715},   {1865, 4, 7, 39177}, {1868, 9, 8, 40427},
        {1912, 7, 30, 56457}, {1926, 12, 25, 61718}, {1989, 1, 8, 84378}, {2019, 5, 1, 95448},
    };
    for (std::int32_t i = 0; i < kEraStartCount; ++i) {
        SCOPED_TRACE(i);
        const Start& start = kStarts[i];
        const IDate& entry = EraStartDates[static_cast<std::size_t>(i)];
        EXPECT_EQ(std::int32_t{entry.serial}, start.serial);
        EXPECT_EQ(std::int32_t{entry.year}, start.year);
        EXPECT_EQ(std::int32_t{entry.month}, start.month);
        EXPECT_EQ(std::int32_t{entry.day}, start.day);

        const IDate first(start.serial);
        const IDate dayBefore(start.serial - 1);
        EXPECT_EQ(EraIndex(first), i + 1);
        EXPECT_EQ(EraYear(first), 1);
        EXPECT_EQ(EraIndex(dayBefore), i);
    }
    EXPECT_EQ(EraIndex(IDate(IDate::kMaxSerial)), kEraStartCount);
}

TEST(EraTable, DatesBeforeTheFirstEra) {
    EXPECT_EQ(EraIndex(IDate(1763, 12, 31)), 0);
    EXPECT_EQ(EraYear(IDate(1763, 12, 31)), 13);
    EXPECT_EQ(EraYear(IDate(1758, 1, 2)), 8);
    EXPECT_EQ(EraIndex(IDate(1764, 1, 1)), 1);
    EXPECT_EQ(EraYear(IDate(1764, 1, 1)), 1);
}

TEST(EraTable, LettersOnlyForTheModernEras) {
    EXPECT_EQ(EraLetter(16), 'M');
    EXPECT_EQ(EraLetter(17), 'T');
    EXPECT_EQ(EraLetter(18), 'S');
    EXPECT_EQ(EraLetter(19), 'H');
    EXPECT_EQ(EraLetter(20), 'R');
    for (const std::int32_t index : {-1, 0, 1, 15, 21, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(EraLetter(index), -1) << index;
    }
}

TEST(EraTable, EraDateFromDate) {
    IEraDate eraDate;
    eraDate.FromDate(IDate(2016, 9, 20));
    EXPECT_EQ(eraDate.eraYear, 28);
    EXPECT_EQ(eraDate.month, 9);
    EXPECT_EQ(eraDate.day, 20);
    EXPECT_EQ(eraDate.eraIndex, 19);

    eraDate.FromDate(IDate(2019, 5, 1));
    EXPECT_EQ(eraDate.eraYear, 1);
    EXPECT_EQ(eraDate.eraIndex, 20);
}

// The table is usable in constant expressions, so it is constant-initialised: complete before
// any dynamic initialiser anywhere runs, whatever the link order.
static_assert(EraStartDates[kEraStartCount - 1].serial == 95448);
static_assert(EraStartDates[0].serial == 2191);

// A dynamic initialiser of this file that reads the table.
const std::int32_t reiwaIndexAtStaticInit = EraIndex(IDate(2019, 5, 1));

TEST(EraTable, UsableFromOtherStaticInitialisers) {
    EXPECT_EQ(reiwaIndexAtStaticInit, 20);
}

}  // namespace
