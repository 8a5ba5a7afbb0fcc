#include <windows.h>

#include <cstring>
#include <cwchar>

#include "platform/directory.h"
#include "platform/shared_append_file.h"
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

// ReFS and some SMB servers give no file index, or 0 for every file: the 128-bit ID comes
// first, then the 64-bit index. Where neither is had, two handles are taken for one file
// when the creation time, the last write and the size agree; the size and the last write
// change with every append, so the second handle is read before and after the first.
bool SameFile(HANDLE first, HANDLE second) {
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    if (GetFileInformationByHandle(first, &a) == FALSE ||
        GetFileInformationByHandle(second, &b) == FALSE) {
        return false;
    }
    if (a.dwVolumeSerialNumber != b.dwVolumeSerialNumber) return false;
    FILE_ID_INFO idA{};
    FILE_ID_INFO idB{};
    const FILE_ID_128 none{};
    if (GetFileInformationByHandleEx(first, FileIdInfo, &idA, sizeof idA) != FALSE &&
        GetFileInformationByHandleEx(second, FileIdInfo, &idB, sizeof idB) != FALSE &&
        std::memcmp(&idA.FileId, &none, sizeof none) != 0) {
        return std::memcmp(&idA.FileId, &idB.FileId, sizeof idA.FileId) == 0;
    }
    if (a.nFileIndexHigh != 0 || a.nFileIndexLow != 0) {
        return a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    }
    const auto agree = [](const BY_HANDLE_FILE_INFORMATION& x,
                          const BY_HANDLE_FILE_INFORMATION& y) {
        return std::memcmp(&x.ftCreationTime, &y.ftCreationTime, sizeof x.ftCreationTime) == 0 &&
               std::memcmp(&x.ftLastWriteTime, &y.ftLastWriteTime, sizeof x.ftLastWriteTime) == 0 &&
               x.nFileSizeHigh == y.nFileSizeHigh && x.nFileSizeLow == y.nFileSizeLow;
    };
    if (agree(a, b)) return true;
    BY_HANDLE_FILE_INFORMATION after{};
    return GetFileInformationByHandle(second, &after) != FALSE && agree(a, after);
}

// Local NTFS and ReFS put a write through an append-only handle at the end of the file
// under the file's own lock, so appends of several processes never overlap. A share's
// server may not; and Wine looks up the end of the file and then writes there, so that two
// processes can write over each other.
bool UnderWine() {
    static const bool wine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

bool AppendsAreWhole(HANDLE file) {
    if (UnderWine()) return false;
    FILE_REMOTE_PROTOCOL_INFO remote{};
    if (GetFileInformationByHandleEx(file, FileRemoteProtocolInfo, &remote, sizeof remote) !=
        FALSE) {
        return false;
    }
    // Refused for a local file, and by Vista for every file: the volume tells.
    return VolumeTakesWholeAppends(reinterpret_cast<std::intptr_t>(file));
}

// Under Wine every file lock is a round trip to its server, which would cost more than the
// record: the processes of one file share two words of memory instead, named after the
// file's identity (so every generation has its own). The first holds the ID of the process
// that holds the lock, 0 when nobody does; the second counts the holds, so that a waiter can
// tell one long hold from many short ones by the same process.
struct AppendGate {
    volatile LONG holder;
    volatile LONG holds;
};
bool OpenAppendGate(HANDLE file, std::intptr_t& mapping, void*& view) {
    BY_HANDLE_FILE_INFORMATION information{};
    FILE_ID_INFO id{};
    if (GetFileInformationByHandle(file, &information) == FALSE ||
        GetFileInformationByHandleEx(file, FileIdInfo, &id, sizeof id) == FALSE) {
        return false;
    }
    unsigned long long fileId = 0;
    std::memcpy(&fileId, &id.FileId, sizeof fileId);
    wchar_t name[96];
    std::swprintf(name, sizeof name / sizeof name[0], L"Local\\OrvaneTaxLinkAppend-%08lx-%016llx",
                  static_cast<unsigned long>(information.dwVolumeSerialNumber), fileId);
    const HANDLE shared = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                             sizeof(AppendGate), name);
    if (shared == nullptr) return false;
    void* word = MapViewOfFile(shared, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(AppendGate));
    if (word == nullptr) {
        CloseHandle(shared);
        return false;
    }
    mapping = reinterpret_cast<std::intptr_t>(shared);
    view = word;
    return true;
}

bool HasEnded(DWORD process) {
    const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    if (handle == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    CloseHandle(handle);
    return ended;
}

}  // namespace

Result<SharedAppendFile::OpenOutcome> SharedAppendFile::Open(const std::string& path) {
    Close();
    const std::wstring wide = LongPath(path);
    HANDLE file = OpenForAppend(wide);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND) {
        const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
        std::string reason;
        if (!MakeFolders(folder, reason)) {
            return {OpenOutcome::kFailed, "cannot make the folder " + folder + ": " + reason};
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
    appendsNeedLock_ = !AppendsAreWhole(file);
    if (UnderWine()) OpenAppendGate(file, appendGate_, appendGateView_);
    return {OpenOutcome::kOpened, {}};
}

void SharedAppendFile::Close() {
    if (appendGateView_ != nullptr) {
        UnmapViewOfFile(appendGateView_);
        CloseHandle(reinterpret_cast<HANDLE>(appendGate_));
        appendGateView_ = nullptr;
        appendGate_ = 0;
    }
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
    auto* gate = static_cast<AppendGate*>(appendGateView_);
    const auto self = static_cast<LONG>(GetCurrentProcessId());
    const LONG holder = InterlockedCompareExchange(&gate->holder, self, 0);
    if (holder == 0) {
        InterlockedIncrement(&gate->holds);
        return {LockOutcome::kLocked, 0};
    }
    const auto holds = static_cast<ULONG>(gate->holds);
    return {LockOutcome::kBusy, (std::uint64_t{static_cast<ULONG>(holder)} << 32) | holds};
}

bool SharedAppendFile::TakeOverAppendsFrom(std::uint64_t holder) {
    if (appendGateView_ == nullptr) return false;
    auto* gate = static_cast<AppendGate*>(appendGateView_);
    const auto process = static_cast<LONG>(holder >> 32);
    // Asking whether a process ended is a round trip to Wine's server: the caller asks only
    // of a holder it has seen hold the lock for a while.
    if (process == static_cast<LONG>(GetCurrentProcessId()) ||
        !HasEnded(static_cast<DWORD>(process)) ||
        InterlockedCompareExchange(&gate->holder, static_cast<LONG>(GetCurrentProcessId()),
                                   process) != process) {
        return false;
    }
    InterlockedIncrement(&gate->holds);
    return true;
}

void SharedAppendFile::UnlockAppends() {
    if (appendGateView_ == nullptr) return Unlock();
    InterlockedExchange(&static_cast<AppendGate*>(appendGateView_)->holder, 0);
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
