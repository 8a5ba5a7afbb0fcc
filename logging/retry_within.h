// Retries that last a moment, bounded by the time they take rather than by a count of pauses:
// a pause of 2 ms lasts about 15.6 ms at Windows' default timer resolution, so a count of 25
// would wait some 0.4 s where 50 ms was meant.
#pragma once

#include <chrono>
#include <thread>

// Calls `attempt` until it returns false (nothing to try again) or `budget` has passed since
// the first call, pausing briefly between calls. The first call always happens.
template <typename Attempt>
void RetryWithin(std::chrono::milliseconds budget, Attempt attempt) {
    using Clock = std::chrono::steady_clock;
    constexpr std::chrono::milliseconds kPause{2};
    const Clock::time_point deadline = Clock::now() + budget;
    while (attempt() && Clock::now() < deadline) std::this_thread::sleep_for(kPause);
}
