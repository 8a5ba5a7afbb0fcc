// Byte strings in the ANSI code page, walked one character at a time: a lead byte and the byte
// after it are one character, so a second byte (which may be 0x5C, the backslash) never counts
// on its own. The lead-byte test is the platform's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/path.h"

// Index of the last `byte` in `text` that is not the second byte of a double-byte character;
// -1 when there is none.
std::int32_t FindLastChar(const std::string& text, char byte);

// The first `count` bytes of `text`, one more when the cut would fall inside a double-byte
// character. Empty for a count of 0 or less, the whole text for a count beyond it.
std::string LeftWholeChars(const std::string& text, std::int32_t count);

// Index of the last separator of `style` in `text`, never a second byte; -1 when there is none.
std::int32_t FindLastSeparator(const std::string& text, platform::PathStyle style);

// _mbsnbcpy into a buffer of `count` + 1 bytes: at most `count` bytes of the terminated
// `source` in whole characters (a lead byte with nothing after it is left out), then the
// terminator. `dest` may be `source` itself.
void CopyWholeCharacters(char* dest, const char* source, std::size_t count);

// _mbschr: the first `byte` in the terminated `text` that is not a second byte; null if none.
char* FindFirstChar(char* text, char byte);
