#include "logging/documents_folder.h"

#include "platform/shell_folder.h"

bool GetDocumentsFolder(char* buffer, int folderId, bool create) {
    buffer[0] = '\0';
    platform::ShellFolderLibrary library = platform::LoadShellFolderLibrary();
    if (library == nullptr) return false;
    const platform::GetFolderPathFunction getFolderPath = platform::FindGetFolderPath(library);
    if (getFolderPath == nullptr) {
        platform::FreeShellFolderLibrary(library);
        return false;
    }
    bool found = SUCCEEDED(getFolderPath(nullptr, folderId, nullptr, platform::kFolderPathCurrent,
                                         buffer)) &&
                 buffer[0] != '\0';
    if (!found && create) {
        found = SUCCEEDED(getFolderPath(nullptr, folderId | platform::kFolderFlagCreate, nullptr,
                                        platform::kFolderPathDefault, buffer)) &&
                buffer[0] != '\0';
    }
    platform::FreeShellFolderLibrary(library);
    return found;
}
