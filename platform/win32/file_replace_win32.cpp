// rand_s, the C runtime's cryptographic random numbers, is declared only on request.
#define _CRT_RAND_S
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <windows.h>
// windows.h maps ReplaceFile to ReplaceFileA, which would rename the function defined here.
#undef ReplaceFile

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/file_replace.h"
#include "platform/temporary_sibling_name.h"
#include "platform/win32/folder_search.h"

namespace platform {
namespace {

std::string RandomSuffix() {
    std::uint32_t random[kTemporaryRandomLength];
    for (std::size_t at = 0; at < kTemporaryRandomLength; ++at) {
        unsigned int number = 0;
        if (rand_s(&number) != 0) number = GetTickCount() * 2654435761u + at;
        random[at] = number;
    }
    return TemporarySiblingSuffix(random);
}

// The path as the ANSI file services read it; empty when the code page cannot read it.
std::wstring WideFromAnsiPath(const std::string& path) {
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(),
                                           static_cast<int>(path.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()),
                        wide.data(), length);
    return wide;
}

}  // namespace

std::FILE* CreateTemporarySibling(const std::string& path, std::string& temporaryPath) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string candidate = path + RandomSuffix();
        // CREATE_NEW fails on any existing name, a planted link included.
        const HANDLE file = CreateFileA(candidate.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return nullptr;
        }
        const int descriptor =
            _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_TEXT);
        if (descriptor < 0) {
            CloseHandle(file);
            DeleteFileA(candidate.c_str());
            return nullptr;
        }
        std::FILE* stream = _fdopen(descriptor, "w");
        if (stream == nullptr) {
            _close(descriptor);
            DeleteFileA(candidate.c_str());
            return nullptr;
        }
        temporaryPath = candidate;
        return stream;
    }
    return nullptr;
}

void RemoveTemporarySiblingsOlderThan(const std::string& path, std::chrono::seconds age) {
    // Split in UTF-16: a byte 0x5C of the ANSI path may be the second byte of a character.
    const std::wstring wide = WideFromAnsiPath(path);
    const std::size_t separator = wide.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return;
    const std::wstring folder = wide.substr(0, separator + 1);
    const std::wstring stem = wide.substr(separator + 1);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t before = ((std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime) -
                                 static_cast<std::uint64_t>(age.count()) * 10'000'000u;
    // The pattern only narrows the listing (it matches short names too, and case-blind); the
    // long name decides, compared as the system compares names.
    FolderSearch search(wide + L"*");
    FolderSearch::Entry entry;
    while (search.Next(entry)) {
        if ((entry.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
            entry.lastWriteTime >= before || entry.name.size() <= stem.size() ||
            CompareStringOrdinal(entry.name.data(), static_cast<int>(stem.size()), stem.data(),
                                 static_cast<int>(stem.size()), TRUE) != CSTR_EQUAL ||
            !IsTemporarySiblingSuffix(std::wstring_view(entry.name).substr(stem.size()))) {
            continue;
        }
        DeleteFileW((folder + entry.name).c_str());
    }
}

ReplaceOutcome ReplaceFile(const std::string& source, const std::string& target) {
    if (MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE) {
        return ReplaceOutcome::kReplaced;
    }
    const DWORD error = GetLastError();
    // Refused while another start has the target open; a folder in its place stays a folder.
    const DWORD attributes = GetFileAttributesA(target.c_str());
    const bool targetIsFolder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!targetIsFolder && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)) {
        return ReplaceOutcome::kRefusedForNow;
    }
    return ReplaceOutcome::kFailed;
}

}  // namespace platform
