#include <unistd.h>

#include <cstring>

#include "platform/last_error.h"
#include "platform/posix/executable_path.h"
#include "platform/process.h"

namespace platform {

std::string posix::ExecutablePath() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
    path.resize(static_cast<std::size_t>(length));
    return path;
}

std::string posix::ExecutableFolder() {
    const std::string path = ExecutablePath();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::uint32_t ExecutableFilePath(char* buffer, std::uint32_t size) {
    constexpr std::uint32_t kErrorInsufficientBuffer = 122;
    if (size == 0) return 0;
    buffer[0] = '\0';
    const std::string path = posix::ExecutablePath();
    // A cut path would name another program, so a path that does not fit is a failure here.
    if (path.empty() || path.size() >= size) {
        SetLastErrorCode(kErrorInsufficientBuffer);
        return 0;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<std::uint32_t>(path.size());
}

int StartupShowCode() {
    constexpr int kShowDefault = 10;
    return kShowDefault;
}

}  // namespace platform
