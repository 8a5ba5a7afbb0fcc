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

    // The last occurrence that begins a character, by a plain walk of its own: a lead byte
    // takes the byte after it, so a second byte is never the answer.
    std::int32_t expected = -1;
    bool second = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!second && text[at] == sought) expected = static_cast<std::int32_t>(at);
        second = !second && platform::IsLeadByte(static_cast<unsigned char>(text[at]));
    }
    FUZZ_CHECK(found == expected);
    if (found >= 0) FUZZ_CHECK(text[static_cast<std::size_t>(found)] == sought);
    return 0;
}
