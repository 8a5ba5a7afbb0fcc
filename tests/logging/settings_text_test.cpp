#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

#include "logging/log4cxx_configuration.h"
#include "logging/settings_encoding.h"
#include "platform/code_page.h"
#include "support/scoped_code_page.h"

namespace {

// The test texts are written as u"..." literals; the converter takes its own string type.
std::string Ansi(std::u16string_view text) {
    return platform::AnsiFromWide(platform::WideString(text.begin(), text.end()));
}

TEST(SettingsText, ReadsTheFormatAsLog4cxxDoes) {
    const struct {
        const char* text;
        std::map<std::string, std::string> expected;
    } cases[] = {
        {"a=1\nb = 2\nc:3\nd 4\n", {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}}},
        {"# comment\n! also\n  \n\tkey\t=\tvalue  \n", {{"key", "value  "}}},
        {"a=x\\\n    y\\\r\n z\r\nb=2", {{"a", "xyz"}, {"b", "2"}}},
        {"k\\=ey=v\\tw\\\\\\n", {{"k=ey", "v\tw\\\n"}}},
        {"a=\nb\nc=${c}", {{"a", ""}, {"b", ""}, {"c", "${c}"}}},
        {"trailing=\\", {{"trailing", ""}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseUtf8SettingsText(c.text), c.expected) << c.text;
    }
}

class SettingsTextInShiftJis : public ::testing::Test {
  private:
    ScopedAnsiCodePage shiftJis_{platform::kCodePageShiftJis};
};

// 表, ソ and 能 end in 0x5C, the backslash, in code page 932: read byte by byte, as log4cxx
// reads a properties file, each would escape the character after it.
TEST_F(SettingsTextInShiftJis, IsDecodedBeforeItIsParsed) {
    ASSERT_EQ(Ansi(u"表ソ能"), "\x95\x5C\x83\x5C\x94\x5C");
    using Properties = std::map<std::string, std::string>;
    const struct {
        std::u16string_view text;
        Properties expected;
    } cases[] = {
        {u"log4j.appender.A.File = C:\\\\表計算 ソフト\\\\能\\\\a.txt\r\n",
         {{"log4j.appender.A.File", "C:\\表計算 ソフト\\能\\a.txt"}}},
        {u"first = 能\nsecond = ソ\n", {{"first", "能"}, {"second", "ソ"}}},
        {u"joined = 表\\\n        ソ", {{"joined", "表ソ"}}},
        {u"# 表\n! ソ\nkey:値\nother 能", {{"key", "値"}, {"other", "能"}}},
        {u"log4j.logger.表ソ = Info", {{"log4j.logger.表ソ", "Info"}}},
        {u"escapes = a\\tb\\n\\能", {{"escapes", "a\tb\n能"}}},
        {u"", {}},
    };
    for (const auto& testCase : cases) {
        const std::string ansi = Ansi(testCase.text);
        EXPECT_EQ(ParseUtf8SettingsText(DecodeSettingsText(ansi).utf8), testCase.expected) << ansi;
    }
}

}  // namespace
