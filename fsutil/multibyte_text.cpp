#include "fsutil/multibyte_text.h"

#include <cstring>
#include <string_view>

#include "platform/mbstring.h"

std::int32_t FindLastChar(const std::string& text, char byte) {
    std::int32_t found = -1;
    for (std::size_t at = 0; at < text.size(); at += platform::CharacterLength(text, at)) {
        if (text[at] == byte) found = static_cast<std::int32_t>(at);
    }
    return found;
}

std::string LeftWholeChars(const std::string& text, std::int32_t count) {
    if (count <= 0) return {};
    const auto n = static_cast<std::size_t>(count);
    if (n >= text.size()) return text;
    // The walk steps from character to character; landing past n means n was a second byte.
    std::size_t at = 0;
    while (at < n) at += platform::CharacterLength(text, at);
    return text.substr(0, at);
}

std::int32_t FindLastSeparator(const std::string& text, platform::PathStyle style) {
    std::int32_t found = -1;
    for (std::size_t at = 0; at < text.size(); at += platform::CharacterLength(text, at)) {
        if (platform::IsPathSeparator(text[at], style)) found = static_cast<std::int32_t>(at);
    }
    return found;
}

void CopyWholeCharacters(char* dest, const char* source, std::size_t count) {
    const std::string_view text(source);
    const std::size_t length = platform::WholeCharactersWithin(text, count);
    std::memmove(dest, source, length);
    dest[length] = '\0';
}

char* FindFirstChar(char* text, char byte) {
    const std::string_view view(text);
    for (std::size_t at = 0; at < view.size(); at += platform::CharacterLength(view, at)) {
        if (view[at] == byte) return text + at;
    }
    return nullptr;
}

std::size_t CountCharacters(const char* text) {
    const std::string_view view(text);
    // A lead byte at the very end is no character: the whole characters are what count.
    const std::string_view whole =
        view.substr(0, platform::WholeCharactersWithin(view, view.size()));
    std::size_t count = 0;
    for (std::size_t at = 0; at < whole.size(); at += platform::CharacterLength(whole, at)) {
        ++count;
    }
    return count;
}
