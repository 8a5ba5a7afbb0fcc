#include "logging/settings_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/code_page.h"
#include "platform/utf8.h"
#include "support/scoped_code_page.h"

namespace {

// A settings file as a Japanese user writes one: 表 and ソ end in 0x5C in Shift_JIS, so a
// reading in the wrong encoding also moves the separators.
constexpr std::u16string_view kText =
    u"# 設定\nlog4j.appender.A.File = C:\\\\表計算 ソフト\\\\ログ\\\\a.log\n";
// kText in code page 932, spelt out rather than converted by what is under test.
const std::string kShiftJis =
    "# \x90\xDD\x92\xE8\nlog4j.appender.A.File = "
    "C:\\\\\x95\\\x8Cv\x8EZ \x83\\\x83t\x83g\\\\\x83\x8D\x83O\\\\a.log\n";

std::string Utf8(std::u16string_view text) {
    return platform::Utf8FromUtf16(text.data(), text.size());
}

std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes;
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

const std::string kUtf8Mark = "\xEF\xBB\xBF";
const std::string kUtf16LeMark = "\xFF\xFE";
const std::string kUtf16BeMark = "\xFE\xFF";

struct Case {
    const char* what;
    unsigned ansiCodePage;
    std::string bytes;
    std::string expected;
};

void ExpectReadAs(const Case& c, const std::string& invalid) {
    const ScopedAnsiCodePage selected(c.ansiCodePage);
    const SettingsText text = DecodeSettingsText(c.bytes);
    EXPECT_EQ(text.utf8, c.expected) << c.what << " under " << c.ansiCodePage;
    EXPECT_EQ(text.invalid, invalid) << c.what << " under " << c.ansiCodePage;
}

TEST(SettingsEncoding, IsTheMarkOrUtf8OrTheCodePageOfTheProductsSettings) {
    const std::string text = Utf8(kText);
    const std::string astral = Utf8(u"a = \U00020BB7\n");  // 𠮷, a surrogate pair in UTF-16
    for (const unsigned ansi : {platform::kCodePageShiftJis, platform::kCodePageUtf8}) {
        const Case cases[] = {
            {"UTF-8 with a mark", ansi, kUtf8Mark + text, text},
            {"UTF-8 without a mark", ansi, text, text},
            {"UTF-16 LE with a mark", ansi, kUtf16LeMark + Utf16(kText, false), text},
            {"UTF-16 BE with a mark", ansi, kUtf16BeMark + Utf16(kText, true), text},
            {"UTF-16 LE beyond the BMP", ansi, kUtf16LeMark + Utf16(u"a = \U00020BB7\n", false),
             astral},
            // In 932 itself, and where the ANSI code page is UTF-8, which never reads it.
            {"Shift_JIS", ansi, kShiftJis, text},
            {"ASCII", ansi, "log4j.rootLogger = INFO, A\r\n", "log4j.rootLogger = INFO, A\r\n"},
            {"ASCII with a UTF-8 mark", ansi, kUtf8Mark + "a=1\n", "a=1\n"},
            {"nothing but a mark", ansi, kUtf16LeMark, ""},
            {"empty", ansi, "", ""},
        };
        for (const Case& c : cases) ExpectReadAs(c, "");
    }
}

TEST(SettingsEncoding, InvalidBytesAreReadInTheAnsiCodePageAndSaySo) {
    // What the mark promised does not hold: the rest, without the mark, in the ANSI code page.
    // Shift_JIS after a UTF-8 mark then reads right on a system of code page 932.
    ExpectReadAs({"Shift_JIS after a UTF-8 mark", platform::kCodePageShiftJis,
                  kUtf8Mark + kShiftJis, Utf8(kText)},
                 "not UTF-8 after a UTF-8 byte-order mark");
    ExpectReadAs({"UTF-8 with a byte that no UTF-8 holds", platform::kCodePageUtf8,
                  kUtf8Mark + "a=\x80\n", "a=\xEF\xBF\xBD\n"},
                 "not UTF-8 after a UTF-8 byte-order mark");
    ExpectReadAs({"UTF-16 LE with a byte left over", platform::kCodePageUtf8,
                  kUtf16LeMark + Utf16(u"a=1", false) + "\n",
                  std::string("a\0=\0"
                              "1\0\n",
                              7)},
                 "not UTF-16 LE after a UTF-16 LE byte-order mark");
    ExpectReadAs(
        {"UTF-16 BE with an unpaired surrogate", platform::kCodePageUtf8,
         kUtf16BeMark + Utf16(u"a=", true) + std::string("\xD8\x00", 2) + Utf16(u"b", true),
         std::string("\0a\0=\xEF\xBF\xBD\0\0b", 10)},
        "not UTF-16 BE after a UTF-16 BE byte-order mark");
    // Neither UTF-8 nor 932: a lead byte with nothing after it. Where the ANSI code page is
    // UTF-8, its own reading replaces the byte.
    ExpectReadAs({"a lead byte at the end", platform::kCodePageUtf8, "a=\x82", "a=\xEF\xBF\xBD"},
                 "neither UTF-8 nor code page 932");
}

TEST(SettingsEncoding, InvalidBytesInCodePage932AreReadAsToday) {
    const ScopedAnsiCodePage selected(platform::kCodePageShiftJis);
    const std::string bytes = "a=\x82";
    const platform::WideString today = platform::WideFromAnsi(bytes);
    const SettingsText text = DecodeSettingsText(bytes);
    EXPECT_EQ(text.utf8, Utf8({today.data(), today.size()}));
    EXPECT_EQ(text.invalid, "neither UTF-8 nor code page 932");
}

}  // namespace
