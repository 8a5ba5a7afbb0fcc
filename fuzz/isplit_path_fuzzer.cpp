#include <cstring>

#include "fsutil/isplit_path.h"
#include "fuzz_support.h"
#include "platform/mbstring.h"

namespace {

// True when `text` ends inside a double-byte character.
bool EndsInsideACharacter(const char* text) {
    bool second = false;
    for (const char* at = text; *at != '\0'; ++at) {
        second = !second && platform::IsLeadByte(static_cast<unsigned char>(*at));
    }
    return second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = TakeText(data, size);
    // The first byte's second bit picks the style the path is read in.
    const bool posix = size > 0 && (data[0] & 2) != 0;
    const ISplitPath split(path.c_str(),
                           posix ? platform::PathStyle::kPosix : platform::PathStyle::kWindows);
    FUZZ_CHECK(std::strlen(split.Path) <= ISplitPath::kPathCapacity);
    FUZZ_CHECK(path.compare(0, std::strlen(split.Path), split.Path) == 0);
    for (const char* part : {split.Drive, split.Server, split.Dir, split.Fname, split.Ext}) {
        FUZZ_CHECK(std::strlen(part) <= ISplitPath::kPartCapacity - 1);
    }
    FUZZ_CHECK(std::strlen(split.DriveDir) <= ISplitPath::kPathCapacity);
    FUZZ_CHECK(std::strlen(split.FnameExt) <= ISplitPath::kPathCapacity);
    // The joins are the parts, cut only where they are too long.
    const std::string driveDir = std::string(split.Drive) + split.Dir;
    const std::string fnameExt = std::string(split.Fname) + split.Ext;
    FUZZ_CHECK(driveDir.compare(0, std::strlen(split.DriveDir), split.DriveDir) == 0);
    FUZZ_CHECK(fnameExt.compare(0, std::strlen(split.FnameExt), split.FnameExt) == 0);
    if (driveDir.size() <= ISplitPath::kPathCapacity) FUZZ_CHECK(driveDir == split.DriveDir);
    if (fnameExt.size() <= ISplitPath::kPathCapacity) FUZZ_CHECK(fnameExt == split.FnameExt);
    // Whole characters only: neither a cut nor a lone lead byte at the end leaves half a
    // character behind, and only such a byte is left out of a short path.
    FUZZ_CHECK(!EndsInsideACharacter(split.Path));
    if (path.size() <= ISplitPath::kPathCapacity) {
        FUZZ_CHECK(std::strlen(split.Path) + (EndsInsideACharacter(path.c_str()) ? 1 : 0) ==
                   path.size());
    }
    // A Linux path has neither a drive nor a network server.
    if (posix) FUZZ_CHECK(split.Drive[0] == '\0' && split.Server[0] == '\0');
    // A server is named only for a network path, whose drive is "\\" and that name.
    if (split.Server[0] != '\0') {
        FUZZ_CHECK(std::string(split.Drive) == std::string("\\\\") + split.Server);
    }
    return 0;
}
