#include "platform/win32/file_identity.h"

#include <cstring>

namespace platform {

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

}  // namespace platform
