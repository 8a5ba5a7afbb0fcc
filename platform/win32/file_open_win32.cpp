#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>

#include "platform/file_open.h"

namespace platform {
namespace {

// A handle on a plain file on disk: no folder, no pipe or device, no link.
bool IsRegularFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    return GetFileType(file) == FILE_TYPE_DISK &&
           GetFileInformationByHandle(file, &information) != FALSE &&
           (information.dwFileAttributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// Hands the handle to the C runtime as a text-mode stream, or closes it.
std::FILE* TextStream(HANDLE file, int flags, const char* mode) {
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    if (!IsRegularFile(file)) {
        CloseHandle(file);
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags | _O_TEXT);
    if (descriptor < 0) {
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, mode);
    if (stream == nullptr) _close(descriptor);
    return stream;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

bool ReadRegularFile(const std::string& path, std::size_t limit, std::string& text) {
    text.clear();
    std::FILE* stream = TextStream(CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
                                   _O_RDONLY, "r");
    if (stream == nullptr) return false;
    // Through the C runtime's text mode, which reads CR LF as LF.
    char piece[4096];
    while (text.size() < limit) {
        const std::size_t wanted = std::min(sizeof piece, limit - text.size());
        const std::size_t got = std::fread(piece, 1, wanted, stream);
        text.append(piece, got);
        if (got < wanted) break;  // the end of the file, or an error
    }
    const bool read = std::ferror(stream) == 0;
    std::fclose(stream);
    if (!read) text.clear();
    return read;
}

std::FILE* OpenRegularFileToRewrite(const std::string& path) {
    // The link itself is opened, never its target, and then refused as not a plain file.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    std::FILE* stream = TextStream(file, _O_WRONLY, "w");
    if (stream != nullptr && _chsize(_fileno(stream), 0) != 0) {
        std::fclose(stream);
        return nullptr;
    }
    return stream;
}

}  // namespace platform
