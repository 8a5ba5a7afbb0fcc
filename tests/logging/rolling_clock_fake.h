// A test double for the rolling file's clock: time stands still until the test moves it, and
// each pause between two tries at a lock moves it by the pause (a turn given away counts as a
// millisecond), so a wait for a lock ends without the test waiting at all. `onPause` runs at
// each pause, as the other processes would meanwhile.
#pragma once

#include <chrono>
#include <functional>

#include "logging/shared_rolling_file.h"

class RollingClockFake final : public SharedRollingFile::Clock {
  public:
    TimePoint Now() const override { return now_; }
    void Pause(std::chrono::milliseconds pause) const override {
        now_ += pause.count() == 0 ? std::chrono::milliseconds(1) : pause;
        if (onPause) onPause();
    }
    void Advance(std::chrono::milliseconds by) { now_ += by; }

    std::function<void()> onPause;

  private:
    mutable TimePoint now_{std::chrono::hours(1)};
};
