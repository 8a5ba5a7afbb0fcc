// Shell folders after the XDG conventions: the documents folder's current path comes from
// the user-dirs file, its default path is ~/Documents. The library is built in.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/file_open.h"
#include "platform/posix/user_dirs.h"
#include "platform/shell_folder.h"

namespace platform {
namespace {

constexpr std::size_t kMaxPath = 260;
constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002u);
constexpr HRESULT kPathNotFound = static_cast<HRESULT>(0x80070003u);

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

std::string ConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return config;
    return HomeFolder() + "/.config";
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs, read without waiting on a FIFO or a device in its
// place and only up to a sane size.
std::string DocumentsFromUserDirs() {
    std::FILE* file = OpenRegularFileToRead(ConfigFolder() + "/user-dirs.dirs");
    if (file == nullptr) return {};
    std::string text(kUserDirsLimit, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    return DocumentsFromUserDirsText(text, HomeFolder());
}

bool IsDirectory(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Creates the folder and whatever parents it lacks, as the shell does with CSIDL_FLAG_CREATE.
bool CreateFolderChain(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string level = path.substr(0, slash);
        if (mkdir(level.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    return IsDirectory(path);
}

HRESULT STDAPICALLTYPE GetFolderPath(void* /*owner*/, int folder, void* /*token*/, DWORD flags,
                                     char* path) {
    if (path == nullptr || (folder & 0xFF) != kFolderPersonal) return E_INVALIDARG;
    const std::string home = HomeFolder();
    if (home.empty()) return kPathNotFound;
    const std::string found =
        flags == kFolderPathCurrent ? DocumentsFromUserDirs() : home + "/Documents";
    if (found.empty()) return kFileNotFound;
    if (found.size() >= kMaxPath) return E_INVALIDARG;
    const bool present =
        (folder & kFolderFlagCreate) != 0 ? CreateFolderChain(found) : IsDirectory(found);
    if (!present) return kFileNotFound;
    std::memcpy(path, found.c_str(), found.size() + 1);
    return S_OK;
}

int builtInLibrary = 0;

}  // namespace

ShellFolderLibrary LoadShellFolderLibrary() {
    return &builtInLibrary;
}

GetFolderPathFunction FindGetFolderPath(ShellFolderLibrary library) {
    return library == &builtInLibrary ? &GetFolderPath : nullptr;
}

void FreeShellFolderLibrary(ShellFolderLibrary /*library*/) {}

}  // namespace platform
