#include "logging/retry_within.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using std::chrono::milliseconds;

TEST(RetryWithin, StopsAtOnceWhenNothingIsToBeTriedAgain) {
    int calls = 0;
    RetryWithin(milliseconds(50), [&] {
        ++calls;
        return false;
    });
    EXPECT_EQ(calls, 1);
}

// Pauses that last far longer than asked, as at Windows' default timer resolution, shorten
// the retries instead of stretching them: the bound is the time that has passed.
TEST(RetryWithin, IsBoundedByTheTimeThatPassesNotByACount) {
    const struct {
        milliseconds eachAttempt;
        int atLeast;
        int atMost;
    } rows[] = {
        {milliseconds(0), 2, 1000},
        {milliseconds(20), 1, 4},
        {milliseconds(60), 1, 1},
    };
    for (const auto& row : rows) {
        int calls = 0;
        RetryWithin(milliseconds(50), [&] {
            ++calls;
            std::this_thread::sleep_for(row.eachAttempt);
            return true;
        });
        EXPECT_GE(calls, row.atLeast) << row.eachAttempt.count() << " ms an attempt";
        EXPECT_LE(calls, row.atMost) << row.eachAttempt.count() << " ms an attempt";
    }
}

}  // namespace
