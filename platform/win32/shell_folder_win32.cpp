#include <string>

#include "platform/shell_folder.h"

namespace platform {

ShellFolderLibrary LoadShellFolderLibrary() {
    // A full path from the system folder: a planted shfolder.dll beside the executable or in
    // the current folder is never the one loaded.
    char systemFolder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(systemFolder, length) + "\\shfolder.dll";
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

GetFolderPathFunction FindGetFolderPath(ShellFolderLibrary library) {
    return reinterpret_cast<GetFolderPathFunction>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), "SHGetFolderPathA")));
}

void FreeShellFolderLibrary(ShellFolderLibrary library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace platform
