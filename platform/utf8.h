// UTF-16 to UTF-8, the same on every system.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Unpaired surrogates become U+FFFD.
inline std::string Utf8FromUtf16(const char16_t* text, std::size_t length) {
    std::string out;
    out.reserve(length);
    for (std::size_t at = 0; at < length; ++at) {
        char32_t code = text[at];
        const bool high = code >= 0xD800 && code <= 0xDBFF;
        const char32_t next = at + 1 < length ? text[at + 1] : 0;
        if (high && next >= 0xDC00 && next <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (next - 0xDC00);
            ++at;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        // A lead byte that says how many bytes follow, then six bits of the code in each.
        const int extra = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
        constexpr unsigned char kLeads[] = {0x00, 0xC0, 0xE0, 0xF0};
        out += static_cast<char>(kLeads[extra] | (code >> (6 * extra)));
        for (int shift = 6 * (extra - 1); shift >= 0; shift -= 6) {
            out += static_cast<char>(0x80 | ((code >> shift) & 0x3F));
        }
    }
    return out;
}

// Each byte that starts no valid sequence becomes U+FFFD, as MultiByteToWideChar does.
inline std::u16string Utf16FromUtf8(const char* text, std::size_t length) {
    std::u16string out;
    out.reserve(length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (std::size_t at = 0; at < length;) {
        const unsigned char lead = bytes[at];
        std::size_t extra = 0;
        char32_t code = lead;
        char32_t minimum = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, code = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, code = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, code = lead & 0x07, minimum = 0x10000;
        } else if (lead >= 0x80) {
            extra = 0, code = 0xFFFD;
        }
        std::size_t used = 1;
        for (; used <= extra; ++used) {
            if (at + used >= length || (bytes[at + used] & 0xC0) != 0x80) break;
            code = (code << 6) | (bytes[at + used] & 0x3F);
        }
        if (used <= extra || code < minimum || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            code = 0xFFFD;
            used = 1;
        }
        at += used;
        if (code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

}  // namespace platform
