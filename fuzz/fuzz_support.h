// What every fuzz target shares: the input as a byte string and the code-page choice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/code_page.h"

// The first byte picks the code page (odd: 932, where 0x5C may be a second byte); the rest,
// up to the first NUL, is the text.
inline std::string TakeText(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    platform::SelectAnsiCodePage((data[0] & 1) != 0 ? platform::kCodePageShiftJis
                                                    : platform::kCodePageUtf8);
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    return text.substr(0, text.find('\0'));
}

#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) {   \
            std::abort();     \
        }                     \
    } while (false)
