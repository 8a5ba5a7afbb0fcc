// The current user's documents folder, where the logs are kept.
#pragma once

#include <string>

namespace platform {

// The documents folder's path in the ANSI code page: its current path, else its default path,
// created when missing. Windows asks the system's shfolder.dll (SHGetFolderPathA); a path with
// a character the code page cannot spell is taken in its short (8.3) spelling where the
// volume has one. Linux follows the XDG conventions: XDG_DOCUMENTS_DIR from user-dirs.dirs,
// else ~/Documents. Empty when there is none, and `reason` then says why.
std::string DocumentsFolder(std::string& reason);

}  // namespace platform
