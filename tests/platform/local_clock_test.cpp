#include "platform/local_clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(LocalClock, TodayIsWithinADayOfTheUtcDate) {
    int year = 0, month = 0, day = 0;
    ASSERT_TRUE(platform::ReadLocalDate(year, month, day));
    using namespace std::chrono;
    const sys_days local =
        year_month_day{std::chrono::year{year}, std::chrono::month(month), std::chrono::day(day)};
    const sys_days utc = floor<days>(system_clock::now());
    EXPECT_LE(abs((local - utc).count()), 1);
}

TEST(LocalClock, YearsThatDoNotFitAreRefused) {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 8;
    int year = 0, month = 0, day = 0;
    ASSERT_TRUE(platform::DateFromLocalTime(local, year, month, day));
    EXPECT_EQ(year * 10000 + month * 100 + day, 20261208);
    local.tm_year = INT_MAX;
    EXPECT_FALSE(platform::DateFromLocalTime(local, year, month, day));
}

}  // namespace
