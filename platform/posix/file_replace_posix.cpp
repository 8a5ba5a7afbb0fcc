#include <unistd.h>

#include <cstdio>

#include "platform/file_replace.h"

namespace platform {

std::string TemporarySiblingPath(const std::string& path) {
    return path + "." + std::to_string(getpid()) + ".tmp";
}

bool ReplaceFile(const std::string& source, const std::string& target) {
    return std::rename(source.c_str(), target.c_str()) == 0;
}

}  // namespace platform
