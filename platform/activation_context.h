// Where the run object's class is found.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Windows builds the process's default activation context from the executable's manifest
// before the entry runs, so there this stays empty. Linux keeps here the manifest compiled
// into the executable and the folder its files are loaded from (empty when the executable
// cannot be found: nothing is loaded from anywhere else), and what activation's last failure
// looked for and why, for the report of that failure.
struct ActivationContext {
    std::string_view manifest;
    std::string folder;
    std::string failedLookingFor;
    std::string failureReason;
};

}  // namespace platform
