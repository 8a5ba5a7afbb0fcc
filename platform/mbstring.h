// Multibyte text in the ANSI code page: which bytes start a double-byte character.
#pragma once

namespace platform {

// _ismbblead for the active code page: 0x81-0x9F and 0xE0-0xFC in 932; never in UTF-8.
bool IsLeadByte(unsigned char byte);

}  // namespace platform
