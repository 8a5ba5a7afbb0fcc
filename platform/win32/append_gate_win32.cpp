#include "platform/win32/append_gate.h"

#include <cstring>
#include <cwchar>

namespace platform {
namespace {

struct AppendGate {
    volatile LONG holder;
    volatile LONG holds;
};

AppendGate* Gate(void* view) {
    return static_cast<AppendGate*>(view);
}

bool HasEnded(DWORD process) {
    const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    if (handle == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    CloseHandle(handle);
    return ended;
}

}  // namespace

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

void CloseAppendGate(std::intptr_t& mapping, void*& view) {
    if (view == nullptr) return;
    UnmapViewOfFile(view);
    CloseHandle(reinterpret_cast<HANDLE>(mapping));
    view = nullptr;
    mapping = 0;
}

std::uint64_t TryAppendGate(void* view) {
    AppendGate* gate = Gate(view);
    const LONG holder =
        InterlockedCompareExchange(&gate->holder, static_cast<LONG>(GetCurrentProcessId()), 0);
    if (holder == 0) {
        InterlockedIncrement(&gate->holds);
        return 0;
    }
    const auto holds = static_cast<ULONG>(gate->holds);
    return (std::uint64_t{static_cast<ULONG>(holder)} << 32) | holds;
}

bool TakeOverAppendGate(void* view, std::uint64_t holder) {
    AppendGate* gate = Gate(view);
    const auto self = static_cast<LONG>(GetCurrentProcessId());
    const auto process = static_cast<LONG>(holder >> 32);
    // Asking whether a process ended is a round trip to Wine's server: the caller asks only
    // of a holder it has seen hold the lock for a while.
    if (process == self || !HasEnded(static_cast<DWORD>(process)) ||
        InterlockedCompareExchange(&gate->holder, self, process) != process) {
        return false;
    }
    InterlockedIncrement(&gate->holds);
    return true;
}

void LeaveAppendGate(void* view) {
    InterlockedExchange(&Gate(view)->holder, 0);
}

}  // namespace platform
