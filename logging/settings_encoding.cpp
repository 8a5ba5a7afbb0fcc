#include "logging/settings_encoding.h"

#include <algorithm>
#include <cstddef>

#include "platform/code_page.h"
#include "platform/utf8.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

std::string Utf8FromWide(const platform::WideString& wide) {
    return platform::Utf8FromUtf16(wide.data(), wide.size());
}

// UTF-16 code units in the given byte order. False for a byte left over, or for a surrogate
// without its partner, which the conversion turns into U+FFFD and so never reads back.
bool Utf8FromUtf16Bytes(std::string_view bytes, bool bigEndian, std::string& utf8) {
    if (bytes.size() % 2 != 0) return false;
    platform::WideString wide(bytes.size() / 2, u'\0');
    for (std::size_t at = 0; at < wide.size(); ++at) {
        const auto first = static_cast<unsigned char>(bytes[2 * at]);
        const auto second = static_cast<unsigned char>(bytes[2 * at + 1]);
        wide[at] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    utf8 = Utf8FromWide(wide);
    return platform::Utf16FromUtf8(utf8.data(), utf8.size()) == wide;
}

// As a file is read that says nothing of its encoding, invalid bytes replaced.
std::string AnsiReading(std::string_view bytes) {
    return Utf8FromWide(platform::WideFromAnsi(bytes));
}

}  // namespace

SettingsText DecodeSettingsText(std::string_view bytes) {
    SettingsText text;
    const auto marked = [bytes](std::string_view mark) {
        return bytes.substr(0, mark.size()) == mark;
    };
    std::string_view body = bytes;
    platform::WideString wide;
    if (marked(kUtf8Mark)) {
        body.remove_prefix(kUtf8Mark.size());
        if (platform::WideFromCodePage(platform::kCodePageUtf8, body, wide)) {
            text.utf8 = body;
        } else {
            text.invalid = "not UTF-8 after a UTF-8 byte-order mark";
        }
    } else if (marked(kUtf16LeMark) || marked(kUtf16BeMark)) {
        const bool bigEndian = marked(kUtf16BeMark);
        body.remove_prefix(kUtf16LeMark.size());
        if (!Utf8FromUtf16Bytes(body, bigEndian, text.utf8)) {
            text.invalid = bigEndian ? "not UTF-16 BE after a UTF-16 BE byte-order mark"
                                     : "not UTF-16 LE after a UTF-16 LE byte-order mark";
        }
    } else if (IsAscii(bytes) || platform::WideFromCodePage(platform::kCodePageUtf8, bytes, wide)) {
        // ASCII is the same text in every code page a system runs in.
        text.utf8 = bytes;
    } else {
        const unsigned ansi = platform::ActiveAnsiCodePage();
        const unsigned codePage =
            ansi == platform::kCodePageUtf8 ? platform::kCodePageShiftJis : ansi;
        if (platform::WideFromCodePage(codePage, bytes, wide)) {
            text.utf8 = Utf8FromWide(wide);
        } else {
            text.invalid =
                "neither UTF-8 nor " + (codePage != 0 ? "code page " + std::to_string(codePage)
                                                      : std::string("the ANSI code page"));
        }
    }
    if (!text.invalid.empty()) text.utf8 = AnsiReading(body);
    return text;
}
