#pragma once

#include <string>

namespace platform::posix {

// The running executable's absolute path, of any length, without symbolic links: the name the
// kernel ran when that is absolute, resolved; otherwise what /proc/self/exe links to; and where
// there is no /proc either (some containers and chroots), the file the process was started
// from, found as LocateExecutable finds it from the name the kernel ran, then from `startName`
// (argv[0]; may be null). Empty when none of them leads to an executable file: never a guess.
std::string ExecutablePath(const char* startName);

// A path's folder, without a trailing separator ("/" for the root); empty when the path has
// no slash.
std::string FolderOf(const std::string& path);

// The executable file that `name` starts, as execvp finds it: a name with a slash from the
// current folder, one without in each folder of `searchPath` (empty entries mean the current
// folder; null means the system's default search path). The result is absolute, without
// symbolic links; empty when no executable file is found.
std::string LocateExecutable(const std::string& name, const char* searchPath);

}  // namespace platform::posix
