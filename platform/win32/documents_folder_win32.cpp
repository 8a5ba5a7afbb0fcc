// The documents folder from the system's shfolder.dll: the current path first, then the
// default path, created when missing.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/code_page.h"
#include "platform/documents_folder.h"

namespace platform {
namespace {

constexpr int kFolderPersonal = 5;         // CSIDL_PERSONAL
constexpr int kFolderFlagCreate = 0x8000;  // CSIDL_FLAG_CREATE
constexpr DWORD kFolderPathCurrent = 0;    // SHGFP_TYPE_CURRENT
constexpr DWORD kFolderPathDefault = 1;    // SHGFP_TYPE_DEFAULT

using GetFolderPathA = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
using GetFolderPathW = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);

// A full path from the system folder: a planted shfolder.dll beside the executable or in the
// current folder is never the one loaded.
HMODULE LoadShellFolderLibrary() {
    char systemFolder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(systemFolder, length) + "\\shfolder.dll";
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

template <typename Function>
Function Export(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The folder as SHGetFolderPathW gives it; empty when it gives none.
WideString WidePath(GetFolderPathW getFolderPath, int folder, DWORD flags) {
    wchar_t wide[MAX_PATH] = {};
    if (getFolderPath == nullptr || FAILED(getFolderPath(nullptr, folder, nullptr, flags, wide))) {
        return {};
    }
    return WideString(wide, wide + std::wcslen(wide));
}

// Whether SHGetFolderPathA's spelling names the folder itself. For a character outside the
// code page it writes "?", or a look-alike (best fit: é as e, U+00A5 as a backslash) that
// names another folder, which need not be the user's: only a spelling that reads back as
// the wide path will do. Without the wide path, "?" is all that can be told.
bool SpellsTheFolder(const std::string& ansi, const WideString& wide) {
    if (wide.empty()) return ansi.find('?') == std::string::npos;
    return WideFromAnsi(ansi) == wide;
}

// The ANSI spelling of a path that SHGetFolderPathA could not spell: the path's short (8.3)
// name, plain ASCII where the volume keeps such names. Empty when there is none.
std::string ShortSpelling(const WideString& wide) {
    if (wide.empty()) return {};
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD length =
        GetShortPathNameW(reinterpret_cast<const wchar_t*>(wide.c_str()), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    // Only a spelling that reads back as the same name will do; the long name returned
    // unchanged on a volume without short names does not.
    const WideString name(shortPath, shortPath + length);
    std::string ansi = AnsiFromWide(name);
    return WideFromAnsi(ansi) == name ? ansi : std::string();
}

}  // namespace

std::string DocumentsFolder(std::string& reason) {
    const HMODULE library = LoadShellFolderLibrary();
    if (library == nullptr) {
        reason = "shfolder.dll cannot be loaded (error " + std::to_string(GetLastError()) + ")";
        return {};
    }
    const auto getFolderPathA = Export<GetFolderPathA>(library, "SHGetFolderPathA");
    const auto getFolderPathW = Export<GetFolderPathW>(library, "SHGetFolderPathW");
    std::string found;
    if (getFolderPathA == nullptr) {
        reason = "shfolder.dll has no SHGetFolderPathA";
    } else {
        const struct {
            int folder;
            DWORD flags;
        } lookups[] = {{kFolderPersonal, kFolderPathCurrent},
                       {kFolderPersonal | kFolderFlagCreate, kFolderPathDefault}};
        for (const auto& lookup : lookups) {
            char buffer[MAX_PATH] = {};
            const HRESULT result =
                getFolderPathA(nullptr, lookup.folder, nullptr, lookup.flags, buffer);
            if (FAILED(result) || buffer[0] == '\0') {
                char hex[16] = {};
                std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(result));
                reason = "SHGetFolderPathA gives no documents folder (" + std::string(hex) + ")";
                continue;
            }
            found = buffer;
            const WideString wide = WidePath(getFolderPathW, lookup.folder, lookup.flags);
            if (SpellsTheFolder(found, wide)) break;
            found = ShortSpelling(wide);
            if (!found.empty()) break;
            reason = std::string(buffer) + ": the code page (" +
                     std::to_string(ActiveAnsiCodePage()) +
                     ") cannot spell the documents folder, and it has no short name";
        }
    }
    FreeLibrary(library);
    return found;
}

}  // namespace platform
