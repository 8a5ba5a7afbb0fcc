// EUC-JP, the code set of Japanese Unix locales, honoured as the ANSI code page on Linux.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/mbstring.h"
#include "support/scoped_code_page.h"

namespace {

class EucJpCodePage : public ::testing::Test {
  private:
    ScopedAnsiCodePage eucJp_{platform::kCodePageEucJp};
};

TEST_F(EucJpCodePage, ConvertsBothWays) {
    ASSERT_EQ(platform::ActiveAnsiCodePage(), platform::kCodePageEucJp);
    // 帳簿 ｱ (half-width kana after 0x8E) 丂 (three bytes after 0x8F), then a backslash.
    const std::string euc = "\xC4\xA2\xCA\xED \x8E\xB1\x8F\xB0\xA1\\";
    const std::u16string wide = u"帳簿 ｱ丂\\";
    EXPECT_EQ(platform::WideFromAnsi(euc), wide);
    const std::string back = platform::AnsiFromWide(wide);
    EXPECT_EQ(back, euc);
}

TEST_F(EucJpCodePage, LeadBytesPairEveryCharacterAndFindTheBackslash) {
    for (unsigned byte = 0; byte <= 0xFF; ++byte) {
        const bool lead = byte == 0x8E || (byte >= 0xA1 && byte <= 0xFE);
        EXPECT_EQ(platform::IsLeadByte(static_cast<unsigned char>(byte)), lead) << byte;
    }
    // The prefix 0x8F stands alone; the pair after it is whole, so the backslash is found.
    const platform::Characters characters("\x8F\xB0\xA1\\\xC4\xA2");
    EXPECT_EQ(std::vector<std::string_view>(characters.begin(), characters.end()),
              (std::vector<std::string_view>{"\x8F", "\xB0\xA1", "\\", "\xC4\xA2"}));
}

TEST_F(EucJpCodePage, AnUnknownCodePageLeavesTheChoiceAsItWas) {
    const ScopedAnsiCodePage unknown(12345);
    EXPECT_EQ(platform::ActiveAnsiCodePage(), platform::kCodePageEucJp);
}

}  // namespace
