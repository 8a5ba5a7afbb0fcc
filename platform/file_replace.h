// Replacing a file as a whole, so that a reader never sees it half written.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace platform {

// Creates a new file beside `path` under a name that nobody can guess, exclusively: an
// existing file or link of that name is never opened. The name is `path` followed by
// TemporarySiblingSuffix (platform/temporary_sibling_name.h). Returns it open for writing in
// text mode and sets `temporaryPath`; null when it cannot be created.
std::FILE* CreateTemporarySibling(const std::string& path, std::string& temporaryPath);

// Removes the temporary siblings of `path` last written more than `age` ago: what a process
// that ended before its move, or a move that another program held back, left behind. Only
// regular files whose names are `path`'s own name followed by exactly that suffix are
// touched; one that cannot be removed now is left for a later call.
void RemoveTemporarySiblingsOlderThan(const std::string& path, std::chrono::seconds age);

enum class ReplaceOutcome {
    kReplaced,
    kRefusedForNow,  // another process holds the target open (Windows); may succeed soon
    kFailed,         // will fail again however often it is tried
};

// Moves `source` over `target` in one step, replacing it.
ReplaceOutcome ReplaceFile(const std::string& source, const std::string& target);

}  // namespace platform
