// Replacing a file as a whole, so that a reader never sees it half written.
#pragma once

#include <string>

namespace platform {

// A name for a temporary file beside `path` that no other process uses at the same time.
std::string TemporarySiblingPath(const std::string& path);

// Moves `source` over `target` in one step, replacing it; false when the system refuses
// (on Windows, for one, while another process has the target open).
bool ReplaceFile(const std::string& source, const std::string& target);

}  // namespace platform
