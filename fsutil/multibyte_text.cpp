#include "fsutil/multibyte_text.h"

#include <cstring>
#include <string_view>

#include "platform/mbstring.h"

namespace {

std::int32_t OffsetOf(std::string_view character, std::string_view text) {
    return static_cast<std::int32_t>(character.data() - text.data());
}

}  // namespace

std::int32_t FindLastChar(const std::string& text, char byte) {
    std::int32_t found = -1;
    for (const std::string_view character : platform::Characters(text)) {
        if (character[0] == byte) found = OffsetOf(character, text);
    }
    return found;
}

std::string LeftWholeChars(const std::string& text, std::int32_t count) {
    if (count <= 0) return {};
    const auto n = static_cast<std::size_t>(count);
    if (n >= text.size()) return text;
    // Whole characters up to n and past it: ending past n means n was a second byte.
    std::size_t length = 0;
    for (const std::string_view character : platform::Characters(text)) {
        if (length >= n) break;
        length += character.size();
    }
    return text.substr(0, length);
}

std::int32_t FindLastSeparator(const std::string& text, platform::PathStyle style) {
    std::int32_t found = -1;
    for (const std::string_view character : platform::Characters(text)) {
        if (platform::IsPathSeparator(character[0], style)) found = OffsetOf(character, text);
    }
    return found;
}

void CopyWholeCharacters(char* dest, const char* source, std::size_t count) {
    const std::size_t length = platform::WholeCharactersWithin(source, count);
    std::memmove(dest, source, length);
    dest[length] = '\0';
}

char* FindFirstChar(char* text, char byte) {
    const std::string_view view(text);
    for (const std::string_view character : platform::Characters(view)) {
        if (character[0] == byte) return text + OffsetOf(character, view);
    }
    return nullptr;
}
