#include "platform/code_page.h"

#include <gtest/gtest.h>

#include "platform/mbstring.h"
#include "support/scoped_code_page.h"

#include <string>
#include <string_view>

namespace {

platform::WideString Wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

class CodePage : public ::testing::Test {
  protected:
    static std::u16string Widen(const std::string& ansi) {
        const int needed = platform::AnsiToWide(ansi.c_str(), -1, nullptr, 0);
        std::u16string wide(static_cast<std::size_t>(needed), u'\0');
        EXPECT_EQ(platform::AnsiToWide(ansi.c_str(), -1, wide.data(), needed), needed);
        wide.pop_back();  // the terminator, counted with a length of -1
        return wide;
    }
};

TEST_F(CodePage, ShiftJisConvertsBothWaysIncludingBackslashSecondBytes) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    EXPECT_EQ(platform::ActiveAnsiCodePage(), 932u);
    const std::string sjis = "C:\\\x95\\\x83\\.txt";  // C:\表ソ.txt
    EXPECT_EQ(Widen(sjis), u"C:\\表ソ.txt");

    const platform::WideString wide = Wide(u"C:\\表ソ.txt");
    EXPECT_EQ(platform::WideFromAnsi(sjis), wide);
    const std::string back = platform::AnsiFromWide(wide);
    EXPECT_EQ(back, sjis);
}

// A selection inside another gives the outer one back, and the outermost the system's own.
TEST_F(CodePage, ASelectionEndsWithItsScope) {
    const unsigned system = platform::ActiveAnsiCodePage();
    {
        const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
        {
            const ScopedAnsiCodePage utf8(platform::kCodePageUtf8);
            EXPECT_EQ(platform::ActiveAnsiCodePage(), platform::kCodePageUtf8);
        }
        EXPECT_EQ(platform::ActiveAnsiCodePage(), platform::kCodePageShiftJis);
    }
    EXPECT_EQ(platform::ActiveAnsiCodePage(), system);
}

// The lead bytes that Windows' C runtime reports (_ismbblead), which the Linux layer imitates.
TEST_F(CodePage, LeadBytesFollowTheSelectedCodePage) {
    struct Case {
        unsigned codePage;
        unsigned char first;
        unsigned char last;
        bool lead;
    };
    const Case cases[] = {
        {platform::kCodePageShiftJis, 0x00, 0x80, false},
        {platform::kCodePageShiftJis, 0x81, 0x9F, true},
        {platform::kCodePageShiftJis, 0xA0, 0xDF, false},
        {platform::kCodePageShiftJis, 0xE0, 0xFC, true},
        {platform::kCodePageShiftJis, 0xFD, 0xFF, false},
        {platform::kCodePageUtf8, 0x00, 0xFF, false},
    };
    for (const Case& c : cases) {
        const ScopedAnsiCodePage selected(c.codePage);
        for (unsigned byte = c.first; byte <= c.last; ++byte) {
            EXPECT_EQ(platform::IsLeadByte(static_cast<unsigned char>(byte)), c.lead)
                << "code page " << c.codePage << ", byte " << byte;
        }
    }
}

TEST_F(CodePage, Utf8IsTheDefaultElsewhere) {
    const ScopedAnsiCodePage utf8(platform::kCodePageUtf8);
    EXPECT_EQ(Widen("帳簿 \xF0\x9F\x93\x92"), u"帳簿 \U0001F4D2");
}

TEST_F(CodePage, TheStringPairConvertsTheWholeTextAndNothingMore) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    EXPECT_EQ(platform::WideFromAnsi(""), platform::WideString());
    EXPECT_EQ(platform::AnsiFromWide(platform::WideString()), "");
    // An embedded NUL is text like any other; no terminator is added.
    EXPECT_EQ(platform::WideFromAnsi(std::string("a\0\x95\\", 4)),
              Wide(std::u16string(u"a\0表", 3)));
    // Shift_JIS has no Hangul: the character becomes "?", the rest stays.
    EXPECT_EQ(platform::AnsiFromWide(Wide(u"한表")), "?\x95\\");
}

TEST_F(CodePage, TooSmallBufferFailsAndMeasuringCountsTheTerminator) {
    const ScopedAnsiCodePage utf8(platform::kCodePageUtf8);
    EXPECT_EQ(platform::AnsiToWide("abc", -1, nullptr, 0), 4);
    EXPECT_EQ(platform::AnsiToWide("abc", 3, nullptr, 0), 3);
    char16_t small[2] = {};
    EXPECT_EQ(platform::AnsiToWide("abc", -1, small, 2), 0);
    EXPECT_EQ(platform::AnsiToWide("", 0, nullptr, 0), 0);
}

TEST_F(CodePage, BytesThatAreNoCharacterAreReplacedNotDropped) {
    const ScopedAnsiCodePage utf8(platform::kCodePageUtf8);
    // 0xFF starts no UTF-8 sequence: it becomes the replacement character, in its place.
    EXPECT_EQ(Widen("a\xFF"
                    "b"),
              u"a\uFFFDb");
}

// A code page named explicitly is converted whatever the ANSI code page is, and strictly: a
// byte it does not define, or a character cut off at the end, fails the whole text.
TEST_F(CodePage, AnExplicitCodePageConvertsWholeOrNotAtAll) {
    const struct {
        unsigned ansi;
        unsigned codePage;
        std::string text;
        bool converts;
        std::u16string_view expected;
    } cases[] = {
        {platform::kCodePageUtf8, platform::kCodePageShiftJis, "C:\\\x95\\\x83\\", true,
         u"C:\\表ソ"},
        {platform::kCodePageShiftJis, platform::kCodePageShiftJis, "\x83\x8D\x83O", true, u"ログ"},
        {platform::kCodePageUtf8, platform::kCodePageShiftJis, "a\x82", false, u""},
        {platform::kCodePageUtf8, platform::kCodePageShiftJis, "\x82\x20", false, u""},
        {platform::kCodePageShiftJis, platform::kCodePageUtf8, "帳簿", true, u"帳簿"},
        {platform::kCodePageShiftJis, platform::kCodePageUtf8, "a\x80", false, u""},
        {platform::kCodePageShiftJis, platform::kCodePageUtf8, "\xE5\xB8", false, u""},
        // 0: the ANSI code page.
        {platform::kCodePageShiftJis, 0, "\x95\\", true, u"表"},
        {platform::kCodePageUtf8, 0, "\x95\\", false, u""},
        {platform::kCodePageUtf8, platform::kCodePageShiftJis, "", true, u""},
    };
    for (const auto& c : cases) {
        const ScopedAnsiCodePage selected(c.ansi);
        platform::WideString wide;
        EXPECT_EQ(platform::WideFromCodePage(c.codePage, c.text, wide), c.converts)
            << c.codePage << " under " << c.ansi << ": " << c.text;
        if (c.converts) {
            EXPECT_EQ(wide, Wide(c.expected)) << c.text;
        }
    }
}

}  // namespace
