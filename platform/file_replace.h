// Replacing a file as a whole, so that a reader never sees it half written.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

// Creates a new file beside `path` under a name that nobody can guess, exclusively: an
// existing file or link of that name is never opened. Returns it open for writing in text
// mode and sets `temporaryPath`; null when it cannot be created.
std::FILE* CreateTemporarySibling(const std::string& path, std::string& temporaryPath);

enum class ReplaceOutcome {
    kReplaced,
    kRefusedForNow,  // another process holds the target open (Windows); may succeed soon
    kFailed,         // will fail again however often it is tried
};

// Moves `source` over `target` in one step, replacing it.
ReplaceOutcome ReplaceFile(const std::string& source, const std::string& target);

}  // namespace platform
