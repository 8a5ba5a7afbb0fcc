#include <windows.h>

#include "platform/shared_append_file.h"
#include "platform/utf8.h"

namespace platform {
namespace {

std::wstring WidePath(const std::string& path) {
    const std::u16string wide = Utf16FromUtf8(path.data(), path.size());
    return std::wstring(wide.begin(), wide.end());
}

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The lock covers one byte far beyond any real end of file, so that a reader of the log
// (a viewer, an editor) is never refused by it; everyone who appends locks that same byte.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

bool SameFile(HANDLE first, HANDLE second) {
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return GetFileInformationByHandle(first, &a) != FALSE &&
           GetFileInformationByHandle(second, &b) != FALSE &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

SharedAppendFile::~SharedAppendFile() {
    Close();
}

SharedAppendFile::OpenOutcome SharedAppendFile::Open(const std::string& path) {
    Close();
    // Append-only: without FILE_WRITE_DATA every write lands at the end of the file as it
    // is at that moment. Reading data is asked for only because locking requires it.
    const HANDLE file =
        CreateFileW(WidePath(path).c_str(),
                    FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                    kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                   ? OpenOutcome::kNotRegular
                   : OpenOutcome::kFailed;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(file) != FILE_TYPE_DISK ||
        GetFileInformationByHandle(file, &information) == FALSE ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(file);
        return OpenOutcome::kNotRegular;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return OpenOutcome::kOpened;
}

void SharedAppendFile::Close() {
    if (!IsOpen()) return;
    CloseHandle(AsHandle(handle_));
    handle_ = -1;
}

bool SharedAppendFile::IsOpen() const {
    return AsHandle(handle_) != INVALID_HANDLE_VALUE;
}

bool SharedAppendFile::Lock() {
    OVERLAPPED at{};
    at.OffsetHigh = kLockOffsetHigh;
    return LockFileEx(AsHandle(handle_), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at) != FALSE;
}

void SharedAppendFile::Unlock() {
    OVERLAPPED at{};
    at.OffsetHigh = kLockOffsetHigh;
    UnlockFileEx(AsHandle(handle_), 0, 1, 0, &at);
}

std::int64_t SharedAppendFile::SizeIfAt(const std::string& path) const {
    const HANDLE named = CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE) return -1;
    const bool same = SameFile(AsHandle(handle_), named);
    CloseHandle(named);
    LARGE_INTEGER size{};
    if (!same || GetFileSizeEx(AsHandle(handle_), &size) == FALSE) return -1;
    return size.QuadPart;
}

bool SharedAppendFile::Append(const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (WriteFile(AsHandle(handle_), data, chunk, &written, nullptr) == FALSE || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool MoveFileOver(const std::string& source, const std::string& target) {
    return MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool RemoveFileAt(const std::string& path) {
    return DeleteFileW(WidePath(path).c_str()) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace platform
