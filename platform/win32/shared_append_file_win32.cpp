#include <windows.h>

#include "platform/directory.h"
#include "platform/shared_append_file.h"
#include "platform/win32/append_gate.h"
#include "platform/win32/file_identity.h"
#include "platform/win32/folder_search.h"
#include "platform/win32/long_path.h"
#include "platform/win32/system_message.h"
#include "platform/win32/whole_appends.h"

namespace platform {
namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The lock covers one byte far beyond any real end of file, so that a reader of the log
// (a viewer, an editor) is never refused by it; everyone who rolls over locks that same byte.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

HANDLE OpenForAppend(const std::wstring& path) {
    // Append-only: without FILE_WRITE_DATA every write lands at the end of the file as it
    // is at that moment. Reading data is asked for only because locking requires it.
    return CreateFileW(path.c_str(),
                       FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                       kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

Result<SharedAppendFile::OpenOutcome> SharedAppendFile::Open(const std::string& path) {
    Close();
    const std::wstring wide = LongPath(path);
    HANDLE file = OpenForAppend(wide);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND) {
        const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
        const Result<bool> made = MakeFolders(folder);
        if (!made.outcome) {
            return {OpenOutcome::kFailed, "cannot make the folder " + folder + ": " + made.reason};
        }
        file = OpenForAppend(wide);
    }
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return {OpenOutcome::kNotRegular, "not a regular file"};
        }
        return {OpenOutcome::kFailed, SystemMessage(error)};
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(file) != FILE_TYPE_DISK ||
        GetFileInformationByHandle(file, &information) == FALSE ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(file);
        return {OpenOutcome::kNotRegular, "not a regular file"};
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    appendsNeedLock_ = !AppendsAreWhole(reinterpret_cast<std::intptr_t>(file));
    if (UnderWine()) OpenAppendGate(file, appendGate_, appendGateView_);
    return {OpenOutcome::kOpened, {}};
}

void SharedAppendFile::Close() {
    CloseAppendGate(appendGate_, appendGateView_);
    if (!IsOpen()) return;
    CloseHandle(AsHandle(handle_));
    handle_ = -1;
}

Result<bool> SharedAppendFile::Append(const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (WriteFile(AsHandle(handle_), data, chunk, &written, nullptr) == FALSE) {
            return {false, SystemMessage(GetLastError())};
        }
        if (written == 0) return {false, SystemMessage(ERROR_DISK_FULL)};
        data += written;
        size -= written;
    }
    return {true, {}};
}

bool SharedAppendFile::Query(State& state) const {
    // One call gives both: the end of file and whether the file is deleted (pending until
    // its last handle closes, or gone at once with the POSIX semantics of newer Windows).
    FILE_STANDARD_INFO information{};
    if (GetFileInformationByHandleEx(AsHandle(handle_), FileStandardInfo, &information,
                                     sizeof information) == FALSE) {
        return false;
    }
    state.size = information.EndOfFile.QuadPart;
    state.removed = information.DeletePending != FALSE || information.NumberOfLinks == 0;
    return true;
}

SharedAppendFile::LockOutcome SharedAppendFile::TryLock() {
    OVERLAPPED at{};
    at.OffsetHigh = kLockOffsetHigh;
    if (LockFileEx(AsHandle(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &at) != FALSE) {
        return LockOutcome::kLocked;
    }
    const DWORD error = GetLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? LockOutcome::kBusy
                                                                      : LockOutcome::kUnsupported;
}

void SharedAppendFile::Unlock() {
    OVERLAPPED at{};
    at.OffsetHigh = kLockOffsetHigh;
    UnlockFileEx(AsHandle(handle_), 0, 1, 0, &at);
}

SharedAppendFile::AppendLockTry SharedAppendFile::TryLockAppends() {
    if (appendGateView_ == nullptr) return {TryLock(), 0};
    const std::uint64_t holder = TryAppendGate(appendGateView_);
    return {holder == 0 ? LockOutcome::kLocked : LockOutcome::kBusy, holder};
}

bool SharedAppendFile::TakeOverAppendsFrom(std::uint64_t holder) {
    return appendGateView_ != nullptr && TakeOverAppendGate(appendGateView_, holder);
}

void SharedAppendFile::UnlockAppends() {
    if (appendGateView_ == nullptr) return Unlock();
    LeaveAppendGate(appendGateView_);
}

bool SharedAppendFile::IsAt(const std::string& path) const {
    const HANDLE named = CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    const bool same = SameFile(AsHandle(handle_), named);
    CloseHandle(named);
    return same;
}

MoveOutcome MoveFileTo(const std::string& source, const std::string& target) {
    // No MOVEFILE_REPLACE_EXISTING: a target that another process holds open cannot be
    // replaced, and one that is pending deletion keeps its name taken until it is closed.
    if (MoveFileExW(LongPath(source).c_str(), LongPath(target).c_str(), 0) != FALSE) {
        return MoveOutcome::kMoved;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? MoveOutcome::kNothingThere : MoveOutcome::kRefused;
}

void RemoveFilesStartingWith(const std::string& prefix) {
    const std::wstring wide = LongPath(prefix);
    const std::size_t separator = wide.rfind(L'\\');
    if (separator == std::wstring::npos) return;
    const std::wstring folder = wide.substr(0, separator + 1);
    const std::wstring start = wide.substr(separator + 1);
    FolderSearch search(wide + L"*");
    FolderSearch::Entry found;
    while (search.Next(found)) {
        // The pattern also matches short (8.3) names: only the long name decides.
        if ((found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            found.name.compare(0, start.size(), start) != 0) {
            continue;
        }
        const std::wstring path = folder + found.name;
        if ((found.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            SetFileAttributesW(path.c_str(), found.attributes & ~FILE_ATTRIBUTE_READONLY);
        }
        DeleteFileW(path.c_str());
    }
}

}  // namespace platform
