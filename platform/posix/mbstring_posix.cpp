#include <string>

#include "platform/code_page.h"
#include "platform/mbstring.h"

namespace platform {

// IsLeadByte lives with the code-page service, which knows the rules of each code set.

const char* FindLastByte(const char* text, unsigned char byte) {
    const char* found = nullptr;
    for (const char* at = text; *at != '\0'; ++at) {
        const auto current = static_cast<unsigned char>(*at);
        if (IsLeadByte(current)) {
            // A lead byte before the terminator stands alone, as the C runtime reads it.
            if (at[1] == '\0') break;
            ++at;
            continue;
        }
        if (current == byte) found = at;
    }
    // The terminator itself can be sought, as with strrchr.
    if (byte == '\0') return text + std::char_traits<char>::length(text);
    return found;
}

}  // namespace platform
