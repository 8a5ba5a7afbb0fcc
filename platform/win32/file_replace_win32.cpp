#include <windows.h>
// windows.h maps ReplaceFile to ReplaceFileA, which would rename the function defined here.
#undef ReplaceFile

#include "platform/file_replace.h"

namespace platform {

std::string TemporarySiblingPath(const std::string& path) {
    return path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
}

bool ReplaceFile(const std::string& source, const std::string& target) {
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace platform
