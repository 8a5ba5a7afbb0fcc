// rand_s, the C runtime's cryptographic random numbers, is declared only on request.
#define _CRT_RAND_S
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <windows.h>
// windows.h maps ReplaceFile to ReplaceFileA, which would rename the function defined here.
#undef ReplaceFile

#include <cstdio>

#include "platform/file_replace.h"

namespace platform {
namespace {

std::string RandomSuffix() {
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix = ".";
    for (int at = 0; at < 12; ++at) {
        unsigned int number = 0;
        if (rand_s(&number) != 0) number = GetTickCount() * 2654435761u + at;
        suffix += kDigits[number % 36];
    }
    return suffix + ".tmp";
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
