// Whether a volume puts every append at the end of the file in one step, under the file's
// own lock, so that the appends of several processes never overlap: local NTFS and ReFS do;
// a share does not promise it, whatever file system its server keeps the file on.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// Asks the volume of the open file (a HANDLE) for its file system and whether it is remote;
// for a file whose remote protocol cannot be named (a local one; any file on Vista, which
// does not know the question). False when the volume does not say.
bool VolumeTakesWholeAppends(std::intptr_t file);

// The rule, from the volume's file-system name and whether it is remote.
bool TakesWholeAppends(std::wstring_view fileSystem, bool remote);

// Whether the process runs under Wine, whose appends are never one step.
bool UnderWine();

// Whether appends to the open file (a HANDLE) are whole without a lock of our own.
bool AppendsAreWhole(std::intptr_t file);

}  // namespace platform
