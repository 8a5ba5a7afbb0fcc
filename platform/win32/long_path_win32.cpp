#include "platform/win32/long_path.h"

#include <windows.h>

#include "platform/utf8.h"

namespace platform {

std::wstring LongPath(const std::string& path) {
    const std::u16string text = Utf16FromUtf8(path.data(), path.size());
    const std::wstring wide(text.begin(), text.end());
    if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return wide;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return wide;
    full.resize(length);
    if (full.rfind(L"\\\\.\\", 0) == 0) return full;  // a device
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::size_t FirstFolderEnd(const std::wstring& path) {
    const std::wstring unc = L"\\\\?\\UNC\\";
    std::size_t root = path.find(L'\\', 4);
    if (path.rfind(unc, 0) == 0) {
        const std::size_t server = path.find(L'\\', unc.size());
        root = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
    }
    return root == std::wstring::npos ? root : path.find(L'\\', root + 1);
}

}  // namespace platform
