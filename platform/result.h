// What a service answers: the outcome its caller acts on and, where it failed, the reason a
// person reads.
#pragma once

#include <string>

namespace platform {

template <typename Outcome>
struct Result {
    Outcome outcome{};
    // Empty on success.
    std::string reason;
};

}  // namespace platform
