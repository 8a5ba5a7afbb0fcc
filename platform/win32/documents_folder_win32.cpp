// The documents folder from the system's shfolder.dll: the current path first, then the
// default path, created when missing.
#include "platform/win32/documents_folder_win32.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>

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

std::string Hex(HRESULT result) {
    char hex[16] = {};
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(result));
    return hex;
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

// The ANSI spelling of a path that SHGetFolderPathA could not spell: its short name, plain
// ASCII where the volume keeps such names. Empty when there is none.
std::string ShortSpelling(win32::ShortPathLookup shortPath, const WideString& wide) {
    if (wide.empty()) return {};
    // Only a spelling that reads back as the same name will do; the long name returned
    // unchanged on a volume without short names does not.
    const WideString name = shortPath(wide);
    if (name.empty()) return {};
    std::string ansi = AnsiFromWide(name);
    return WideFromAnsi(ansi) == name ? ansi : std::string();
}

WideString SystemShortPath(const WideString& path) {
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD length =
        GetShortPathNameW(reinterpret_cast<const wchar_t*>(path.c_str()), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return WideString(shortPath, shortPath + length);
}

// One of the two lookups: the path, or what stands in its way.
struct Asked {
    bool had;  // SHGetFolderPathA gave a path, whether or not it could be spelt
    std::string path;
    std::string reason;
};

Asked Ask(GetFolderPathA getFolderPathA, GetFolderPathW getFolderPathW,
          win32::ShortPathLookup shortPath, int folder, DWORD flags) {
    char buffer[MAX_PATH] = {};
    const HRESULT result = getFolderPathA(nullptr, folder, nullptr, flags, buffer);
    if (FAILED(result) || buffer[0] == '\0') {
        return {false, {}, "SHGetFolderPathA: " + Hex(result)};
    }
    const WideString wide = WidePath(getFolderPathW, folder, flags);
    if (SpellsTheFolder(buffer, wide)) return {true, buffer, {}};
    std::string spelt = ShortSpelling(shortPath, wide);
    if (!spelt.empty()) return {true, std::move(spelt), {}};
    return {true,
            {},
            std::string(buffer) + ": the code page (" + std::to_string(ActiveAnsiCodePage()) +
                ") cannot spell the documents folder, and it has no short name"};
}

DocumentsFolderLookup Lookup(HMODULE library, win32::ShortPathLookup shortPath) {
    const auto getFolderPathA = Export<GetFolderPathA>(library, "SHGetFolderPathA");
    const auto getFolderPathW = Export<GetFolderPathW>(library, "SHGetFolderPathW");
    if (getFolderPathA == nullptr) return {{}, "shfolder.dll has no SHGetFolderPathA"};
    Asked current =
        Ask(getFolderPathA, getFolderPathW, shortPath, kFolderPersonal, kFolderPathCurrent);
    if (!current.path.empty()) return {std::move(current.path), {}};
    // A current path that can be had but not spelt is the user's folder all the same: the
    // default path in its place would send the records where nobody looks for them.
    if (current.had) return {{}, std::move(current.reason)};
    Asked fallback = Ask(getFolderPathA, getFolderPathW, shortPath,
                         kFolderPersonal | kFolderFlagCreate, kFolderPathDefault);
    if (fallback.path.empty()) {
        return {{},
                "no documents folder: its current path (" + current.reason +
                    "), its default path (" + fallback.reason + ")"};
    }
    std::string reason = "the documents folder's current path cannot be had (" + current.reason +
                         "); using its default path " + fallback.path;
    return {std::move(fallback.path), std::move(reason)};
}

}  // namespace

DocumentsFolderLookup win32::DocumentsFolderWith(ShortPathLookup shortPath) {
    const HMODULE library = LoadShellFolderLibrary();
    if (library == nullptr) {
        return {{}, "shfolder.dll cannot be loaded (error " + std::to_string(GetLastError()) + ")"};
    }
    DocumentsFolderLookup found = Lookup(library, shortPath);
    FreeLibrary(library);
    return found;
}

DocumentsFolderLookup DocumentsFolder() {
    return win32::DocumentsFolderWith(SystemShortPath);
}

}  // namespace platform
