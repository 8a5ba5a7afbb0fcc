#include <cstring>

#include "fsutil/directory_tree.h"
#include "fuzz_support.h"
#include "platform/mbstring.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    std::int32_t count = 0;
    std::memcpy(&count, data + 1, sizeof count);
    // Mostly counts within the text, some far outside it.
    if ((data[1] & 0x80) == 0) count %= 300;
    std::string input(1, static_cast<char>(data[0]));
    input.append(reinterpret_cast<const char*>(data + 5), size - 5);
    const std::string text =
        TakeText(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());

    const std::string left = LeftWholeChars(text, count);
    FUZZ_CHECK(text.compare(0, left.size(), left) == 0);
    if (count <= 0) {
        FUZZ_CHECK(left.empty());
    } else if (static_cast<std::size_t>(count) >= text.size()) {
        FUZZ_CHECK(left == text);
    } else {
        FUZZ_CHECK(left.size() == static_cast<std::size_t>(count) ||
                   left.size() == static_cast<std::size_t>(count) + 1);
        // Cut behind a whole character: the next byte never is a second byte.
        bool second = false;
        for (std::size_t at = 0; at < left.size(); ++at) {
            second = !second && platform::IsLeadByte(static_cast<unsigned char>(text[at]));
        }
        FUZZ_CHECK(!second || left.size() == text.size());
    }
    return 0;
}
