#include "fsutil/itime.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

platform::FileTime FromUnixSeconds(std::int64_t seconds) {
    const auto ticks = static_cast<std::uint64_t>(seconds * 10000000 + 116444736000000000);
    return {static_cast<std::uint32_t>(ticks & 0xFFFFFFFFu),
            static_cast<std::uint32_t>(ticks >> 32)};
}

TEST(ITime, FileTimesComeBackAsSecondsSince1970) {
    // 2016-04-01 00:00:00 UTC. The local-time round trip may be off by the hour of a
    // daylight-saving rule that differs between then and now, and by nothing else.
    const std::int64_t expected = 1459468800;
    ITime time;
    time.FromFileTime(FromUnixSeconds(expected), -1);
    const std::int64_t offset = time.Seconds() - expected;
    EXPECT_TRUE(offset == 0 || offset == 3600 || offset == -3600) << time.Seconds();

    ITime later;
    later.FromFileTime(FromUnixSeconds(expected + std::int64_t{86400} * 31 + 3723), -1);
    EXPECT_EQ(later.Seconds() - time.Seconds(), std::int64_t{86400} * 31 + 3723);
}

TEST(ITime, UnconvertibleTimesBecomeZero) {
    ITime time(7);
    time.FromFileTime({0xFFFFFFFFu, 0xFFFFFFFFu}, -1);
    EXPECT_EQ(time.Seconds(), 0);

    platform::SystemTime old{};
    old.wYear = 1899;
    old.wMonth = 12;
    old.wDay = 31;
    time = ITime(7);
    time.FromSystemTime(old, -1);
    EXPECT_EQ(time.Seconds(), 0);
}

TEST(ITime, MillisecondsAndTheWeekdayAreIgnored) {
    platform::SystemTime a{};
    a.wYear = 2024;
    a.wMonth = 2;
    a.wDay = 29;
    a.wHour = 23;
    a.wMinute = 59;
    a.wSecond = 58;
    platform::SystemTime b = a;
    b.wMilliseconds = 999;
    b.wDayOfWeek = 3;
    ITime first;
    ITime second;
    first.FromSystemTime(a, -1);
    second.FromSystemTime(b, -1);
    EXPECT_GT(first.Seconds(), 0);
    EXPECT_EQ(first.Seconds(), second.Seconds());

    // The month is counted from 1: March 1 follows February 29 by two seconds.
    platform::SystemTime march = a;
    march.wMonth = 3;
    march.wDay = 1;
    march.wHour = 0;
    march.wMinute = 0;
    march.wSecond = 0;
    ITime next;
    next.FromSystemTime(march, -1);
    EXPECT_EQ(next.Seconds() - first.Seconds(), 2);
}

}  // namespace
