#include "logging/shared_settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <string_view>

#include "platform/code_page.h"
#include "scratch_folder.h"
#include "support/scoped_code_page.h"

namespace {

class SharedSettings : public ScratchFolder {
  protected:
    std::string Write(const std::string& bytes) const {
        std::string path = Path("OvDefault.ini");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

// Text after a UTF-16 LE mark.
std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// What log4cxx is given and checked on is the text in the encoding it was saved in: the mark
// is no part of the first key, and a reference is found in UTF-16 too.
TEST_F(SharedSettings, AreDecodedBeforeTheyAreCheckedAndHandedOver) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    using Properties = std::map<std::string, std::string>;
    const struct {
        std::string bytes;
        Properties expected;
    } cases[] = {
        {"\xEF\xBB\xBFlog4j.rootLogger=INFO, A\r\n", {{"log4j.rootLogger", "INFO, A"}}},
        {Utf16Le(u"log4j.rootLogger=INFO, A\n値=表\n"),
         {{"log4j.rootLogger", "INFO, A"}, {"値", "表"}}},
        {"log4j.rootLogger=INFO, A\n\x92\x6C=\x95\x5C\n",
         {{"log4j.rootLogger", "INFO, A"}, {"値", "表"}}},
    };
    for (const auto& c : cases) {
        const SharedSettingsRead read = ReadSharedSettings(Write(c.bytes));
        EXPECT_TRUE(read.accepted);
        EXPECT_EQ(read.properties, c.expected);
        EXPECT_EQ(read.reason, "");
        EXPECT_EQ(read.invalid, "");
    }

    const SharedSettingsRead cyclic = ReadSharedSettings(Write(Utf16Le(u"表=${表}")));
    EXPECT_FALSE(cyclic.accepted);
    EXPECT_EQ(cyclic.reason, "cyclic ${...} reference through 表");
    EXPECT_TRUE(cyclic.properties.empty());
}

TEST_F(SharedSettings, WithInvalidBytesAreReadInTheAnsiCodePageAndSaySo) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    // A file saved in UTF-8 by its mark, and then extended in Shift_JIS.
    const SharedSettingsRead read = ReadSharedSettings(Write("\xEF\xBB\xBFkey=\x95\x5C\n"));
    EXPECT_TRUE(read.accepted);
    EXPECT_EQ(read.properties, (std::map<std::string, std::string>{{"key", "表"}}));
    EXPECT_EQ(read.invalid, "not UTF-8 after a UTF-8 byte-order mark");
}

TEST_F(SharedSettings, AreLimitedInBytesBeforeDecoding) {
    // Half a mebibyte of characters, a mebibyte and two bytes in UTF-16.
    const std::string text = "\xFF\xFE" + std::string(std::size_t{1024} * 1024, ' ');
    const SharedSettingsRead read = ReadSharedSettings(Write(text));
    EXPECT_FALSE(read.accepted);
    EXPECT_EQ(read.reason, "larger than 1 MiB");
}

}  // namespace
