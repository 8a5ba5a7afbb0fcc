// Multibyte text in the ANSI code page: which bytes start a double-byte character.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// _ismbblead for the active code page: 0x81-0x9F and 0xE0-0xFC in 932; never in UTF-8.
bool IsLeadByte(unsigned char byte);

// _mbsrchr: the last occurrence of `byte` in the terminated `text` that is not the second byte
// of a double-byte character; null when there is none.
const char* FindLastByte(const char* text, unsigned char byte);

// The one step of every walk over such text. Bytes of the character that begins at `at`: 2 for
// a lead byte with a byte after it, 1 otherwise (a lead byte at the end stands alone, as the C
// runtime reads it). So a second byte, which may be 0x5C, is never looked at on its own.
inline std::size_t CharacterLength(std::string_view text, std::size_t at) {
    return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// How many bytes of `text`, at most `limit`, _mbsnbcpy copies: whole characters only, so a
// character that would cross the limit and a lead byte with nothing after it are left out.
inline std::size_t WholeCharactersWithin(std::string_view text, std::size_t limit) {
    const std::size_t end = limit < text.size() ? limit : text.size();
    std::size_t length = 0;
    while (length < end) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(text[length])) ? 2 : 1;
        if (length + width > end) break;
        length += width;
    }
    return length;
}

}  // namespace platform
