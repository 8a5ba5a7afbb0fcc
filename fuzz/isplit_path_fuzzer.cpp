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
    const ISplitPath split(path.c_str());
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
    // A cut never leaves half a character behind.
    if (std::strlen(split.Path) < path.size()) FUZZ_CHECK(!EndsInsideACharacter(split.Path));
    // A server is named only for a network path, whose drive is "\\" and that name.
    if (split.Server[0] != '\0') {
        FUZZ_CHECK(std::string(split.Drive) == std::string("\\\\") + split.Server);
    }
    return 0;
}
