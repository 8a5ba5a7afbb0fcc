// The user's shell folders, as shfolder.dll's SHGetFolderPathA gives them.
#pragma once

#include "platform/com.h"

namespace platform {

constexpr int kFolderPersonal = 5;         // CSIDL_PERSONAL: the documents folder
constexpr int kFolderFlagCreate = 0x8000;  // CSIDL_FLAG_CREATE
constexpr DWORD kFolderPathCurrent = 0;    // SHGFP_TYPE_CURRENT
constexpr DWORD kFolderPathDefault = 1;    // SHGFP_TYPE_DEFAULT

using ShellFolderLibrary = void*;
using GetFolderPathFunction = HRESULT(STDAPICALLTYPE*)(void* owner, int folder, void* token,
                                                       DWORD flags, char* path);

// Loads the shell-folder library from the system's own folder by full path, never through
// the library search order; null when it cannot be loaded.
ShellFolderLibrary LoadShellFolderLibrary();

// Its SHGetFolderPathA, or null when it has none.
GetFolderPathFunction FindGetFolderPath(ShellFolderLibrary library);

void FreeShellFolderLibrary(ShellFolderLibrary library);

}  // namespace platform
