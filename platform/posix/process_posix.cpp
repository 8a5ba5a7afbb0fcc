#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/last_error.h"
#include "platform/posix/executable_path.h"
#include "platform/process.h"

namespace platform {
namespace {

std::string LinkTarget(const char* link) {
    // readlink fills only what it reports, and only that is read.
    char path[4096];
    const ssize_t length = readlink(link, path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) return {};
    return {path, static_cast<std::size_t>(length)};
}

bool IsExecutableFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::string RealPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

}  // namespace

std::string posix::LocateExecutable(const std::string& name, const char* searchPath) {
    if (name.empty()) return {};
    if (name.find('/') != std::string::npos) {
        return IsExecutableFile(name) ? RealPath(name) : std::string();
    }
    std::string defaultPath;
    if (searchPath == nullptr) {
        defaultPath.resize(confstr(_CS_PATH, nullptr, 0));
        confstr(_CS_PATH, defaultPath.data(), defaultPath.size());
        defaultPath.resize(std::strlen(defaultPath.c_str()));
        searchPath = defaultPath.c_str();
    }
    std::string_view folders(searchPath);
    while (true) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        const std::string candidate =
            folder.empty() ? "./" + name : std::string(folder) + "/" + name;
        if (IsExecutableFile(candidate)) return RealPath(candidate);
        if (colon == std::string_view::npos) return {};
        folders.remove_prefix(colon + 1);
    }
}

std::string posix::ExecutablePath(const char* startName) {
    // The name the kernel itself opened, resolved, when it is absolute (as a starter that
    // searched PATH gives it), before /proc, which some containers lack. A relative one would
    // depend on a folder that may have changed since.
    // The auxiliary vector holds the name's address as an integer.
    const auto* executed = reinterpret_cast<const char*>(  // NOLINT(performance-no-int-to-ptr)
        getauxval(AT_EXECFN));
    if (executed != nullptr && executed[0] == '/') {
        std::string path = RealPath(executed);
        if (!path.empty()) return path;
    }
    std::string path = LinkTarget("/proc/self/exe");
    if (!path.empty()) return path;
    // No /proc: the name the kernel ran, then the name the starter gave, both relative to the
    // folder the process started in, so they are resolved before anything changes it.
    if (executed != nullptr) path = LocateExecutable(executed, std::getenv("PATH"));
    if (path.empty() && startName != nullptr) {
        path = LocateExecutable(startName, std::getenv("PATH"));
    }
    return path;
}

std::string posix::FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::uint32_t ExecutableFilePath(char* buffer, std::uint32_t size) {
    if (size == 0) return 0;
    buffer[0] = '\0';
    const std::string path = posix::ExecutablePath(nullptr);
    // A cut path would name another program, so a path that does not fit is a failure.
    if (path.empty() || path.size() >= size) {
        SetLastErrorCode(path.empty() ? kErrorFileNotFound : kErrorInsufficientBuffer);
        return 0;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<std::uint32_t>(path.size());
}

}  // namespace platform
