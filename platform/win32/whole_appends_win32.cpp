#include "platform/win32/whole_appends.h"

#include <windows.h>
#include <winternl.h>

namespace platform {
namespace {

// wdm.h's device characteristic of a network redirector's volume, which winternl.h lacks.
constexpr ULONG kRemoteDevice = 0x10;

// The volume's device says it: a network redirector (SMB, WebDAV, NFS) is remote, whatever
// file system the server keeps the file on.
bool IsRemote(HANDLE file, bool& remote) {
    IO_STATUS_BLOCK status{};
    FILE_FS_DEVICE_INFORMATION device{};
    if (!NT_SUCCESS(NtQueryVolumeInformationFile(file, &status, &device, sizeof device,
                                                 FileFsDeviceInformation))) {
        return false;
    }
    remote = (device.Characteristics & kRemoteDevice) != 0 ||
             device.DeviceType == FILE_DEVICE_NETWORK_FILE_SYSTEM;
    return true;
}

}  // namespace

bool TakesWholeAppends(std::wstring_view fileSystem, bool remote) {
    return !remote && (fileSystem == L"NTFS" || fileSystem == L"ReFS");
}

bool VolumeTakesWholeAppends(std::intptr_t file) {
    const HANDLE handle = reinterpret_cast<HANDLE>(file);  // NOLINT(performance-no-int-to-ptr)
    bool remote = true;
    if (!IsRemote(handle, remote)) return false;
    wchar_t system[MAX_PATH + 1] = {};
    if (GetVolumeInformationByHandleW(handle, nullptr, 0, nullptr, nullptr, nullptr, system,
                                      MAX_PATH + 1) == FALSE) {
        return false;
    }
    return TakesWholeAppends(system, remote);
}

// Local NTFS and ReFS put a write through an append-only handle at the end of the file
// under the file's own lock, so appends of several processes never overlap. A share's
// server may not; and Wine looks up the end of the file and then writes there, so that two
// processes can write over each other.
bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

bool AppendsAreWhole(std::intptr_t file) {
    if (UnderWine()) return false;
    FILE_REMOTE_PROTOCOL_INFO remote{};
    if (GetFileInformationByHandleEx(reinterpret_cast<HANDLE>(file), FileRemoteProtocolInfo,
                                     &remote, sizeof remote) != FALSE) {
        return false;
    }
    // Refused for a local file, and by Vista for every file: the volume tells.
    return VolumeTakesWholeAppends(file);
}

}  // namespace platform
