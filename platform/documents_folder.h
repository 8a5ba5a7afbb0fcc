// The current user's documents folder, where the logs are kept.
#pragma once

#include <string>

namespace platform {

struct DocumentsFolderLookup {
    // In the ANSI code page; empty when there is none.
    std::string path;
    // Without a path, why there is none. Beside a path, why it is not the folder asked for
    // first (the current path), in one line that names what was used instead; empty when it
    // is that folder.
    std::string reason;
};

// The documents folder: its current path, else its default path, created when missing.
// Windows asks the system's shfolder.dll (SHGetFolderPathA); a path with a character the code
// page cannot spell is taken in its short (8.3) spelling where the volume has one, and a
// current path with neither is no folder at all, never the default one in its place. Linux
// follows the XDG conventions: XDG_DOCUMENTS_DIR from user-dirs.dirs, else ~/Documents (a
// home without user-dirs.dirs is the ordinary case, and no fallback).
DocumentsFolderLookup DocumentsFolder();

}  // namespace platform
