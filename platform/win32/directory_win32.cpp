#include <windows.h>

#include <string>

#include "platform/directory.h"
#include "platform/win32/long_path.h"
#include "platform/win32/system_message.h"

namespace platform {

bool MakeDirectory(const char* path) {
    return CreateDirectoryA(path, nullptr) != FALSE;
}

Result<bool> MakeFolders(const std::string& path) {
    const std::wstring wide = LongPath(path);
    for (std::size_t at = FirstFolderEnd(wide); at != std::wstring::npos;
         at = wide.find(L'\\', at + 1)) {
        CreateDirectoryW(wide.substr(0, at).c_str(), nullptr);
    }
    if (CreateDirectoryW(wide.c_str(), nullptr) != FALSE) return {true, {}};
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {true, {}};
    }
    return {false, SystemMessage(error)};
}

}  // namespace platform
