// Multibyte text in the ANSI code page: which bytes start a double-byte character.
#pragma once

namespace platform {

// _ismbblead for the active code page: 0x81-0x9F and 0xE0-0xFC in 932; never in UTF-8.
bool IsLeadByte(unsigned char byte);

// _mbsrchr: the last occurrence of `byte` in the terminated `text` that is not the second byte
// of a double-byte character; null when there is none.
const char* FindLastByte(const char* text, unsigned char byte);

}  // namespace platform
