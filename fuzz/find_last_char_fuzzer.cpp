#include "fsutil/directory_tree.h"
#include "fuzz_support.h"
#include "platform/mbstring.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const char sought = static_cast<char>(data[1]);
    // The second byte is the one sought; the text follows it.
    std::string text = TakeText(data, size);
    if (text.empty()) return 0;
    text.erase(0, 1);
    const std::int32_t found = FindLastChar(text, sought);
    FUZZ_CHECK(found >= -1 && found < static_cast<std::int32_t>(text.size()));

    // The same answer as the C runtime's _mbsrchr, and never a second byte. A lead byte sought
    // on its own matches here, while _mbsrchr compares whole characters: no caller seeks one.
    const auto soughtByte = static_cast<unsigned char>(sought);
    const char* byRuntime = platform::FindLastByte(text.c_str(), soughtByte);
    if (sought != '\0' && !platform::IsLeadByte(soughtByte)) {
        FUZZ_CHECK(found == (byRuntime == nullptr ? -1 : byRuntime - text.c_str()));
    }
    if (found >= 0) {
        FUZZ_CHECK(text[static_cast<std::size_t>(found)] == sought);
        bool second = false;
        for (std::int32_t at = 0; at < found; ++at) {
            second = !second && platform::IsLeadByte(static_cast<unsigned char>(text[at]));
        }
        FUZZ_CHECK(!second);
    }
    return 0;
}
