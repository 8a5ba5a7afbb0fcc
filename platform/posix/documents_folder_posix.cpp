// The documents folder after the XDG conventions: the current path from the user-dirs file,
// the default path ~/Documents, the home folder from HOME or the user's passwd entry.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "platform/directory.h"
#include "platform/documents_folder.h"
#include "platform/file_open.h"
#include "platform/path.h"
#include "platform/posix/documents_folder_user_dirs_posix.h"

namespace platform {
namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs, read without waiting on a FIFO or a device in its
// place and only up to a sane size.
std::string DocumentsFromUserDirs(const std::string& home) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string folder = config != nullptr && config[0] == '/' ? config : home + "/.config";
    std::string text;
    if (!ReadRegularFile(folder + "/user-dirs.dirs", kUserDirsLimit, text)) return {};
    return DocumentsFromUserDirsText(text, home);
}

bool IsDirectory(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

DocumentsFolderLookup DocumentsFolder() {
    const std::string home = HomeFolder();
    if (home.empty())
        return {{}, "no home folder: HOME is not set and the user has no passwd entry"};
    // The same bound as a Windows path, so that every later path fits where Windows' would.
    const std::string current = DocumentsFromUserDirs(home);
    if (!current.empty() && current.size() < kMaxPath && IsDirectory(current)) return {current, {}};
    std::string fallback = home + "/Documents";
    if (fallback.size() >= kMaxPath) {
        return {{}, fallback + ": longer than " + std::to_string(kMaxPath - 1) + " bytes"};
    }
    // Made when missing, as the shell does with CSIDL_FLAG_CREATE.
    const Result<bool> made = MakeFolders(fallback);
    if (!made.outcome) {
        return {{}, fallback + ": no folder and none can be made (" + made.reason + ")"};
    }
    std::string reason;
    // A desktop's user-dirs.dirs names ~/Documents itself, made here at a first start: that
    // is no fallback, and says nothing.
    if (!current.empty() && current != fallback) {
        reason = "the documents folder that user-dirs.dirs names, " + current +
                 (current.size() < kMaxPath ? ", is no folder" : ", is too long") +
                 "; using the default path " + fallback;
    }
    return {std::move(fallback), std::move(reason)};
}

}  // namespace platform
