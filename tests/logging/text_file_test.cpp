#include "logging/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "scratch_folder.h"

namespace {

using TextFileTest = ScratchFolder;

TEST_F(TextFileTest, ReadsNoMoreThanTheLimitAndSaysWhenThereIsMore) {
    // A short file, and one that takes several reads.
    const std::string shortText = "0123456789";
    std::string longText;
    for (int line = 0; line < 1000; ++line) longText += "line " + std::to_string(line) + "\n";
    ASSERT_TRUE(RewriteTextFile(Path("short"), shortText));
    ASSERT_TRUE(RewriteTextFile(Path("long"), longText));
    const struct {
        const char* file;
        std::size_t limit;
        TextFileRead result;
        std::string text;
    } cases[] = {
        {"short", 10, TextFileRead::kRead, shortText},
        {"short", 11, TextFileRead::kRead, shortText},
        {"short", 9, TextFileRead::kTooLarge, "012345678"},
        {"short", 0, TextFileRead::kTooLarge, ""},
        {"long", longText.size(), TextFileRead::kRead, longText},
        {"long", std::size_t{1024} * 1024, TextFileRead::kRead, longText},
        {"long", longText.size() - 1, TextFileRead::kTooLarge,
         longText.substr(0, longText.size() - 1)},
        {"long", 5000, TextFileRead::kTooLarge, longText.substr(0, 5000)},
    };
    for (const auto& c : cases) {
        std::string text = "stale";
        EXPECT_EQ(ReadTextFile(Path(c.file), c.limit, text), c.result) << c.file << " " << c.limit;
        EXPECT_EQ(text, c.text) << c.file << " " << c.limit;
    }
}

TEST_F(TextFileTest, NothingButARegularFileIsReadOrWritten) {
    std::filesystem::create_directory(Path("folder"));
    std::string text;
    EXPECT_EQ(ReadTextFile(Path("folder"), 100, text), TextFileRead::kUnreadable);
    EXPECT_EQ(ReadTextFile(Path("missing"), 100, text), TextFileRead::kUnreadable);
    EXPECT_FALSE(RewriteTextFile(Path("folder"), "x"));
    EXPECT_TRUE(std::filesystem::is_directory(Path("folder")));
}

TEST_F(TextFileTest, RewritingReplacesTheWholeContent) {
    ASSERT_TRUE(RewriteTextFile(Path("f"), "a much longer first text\nof two lines\n"));
    ASSERT_TRUE(RewriteTextFile(Path("f"), "short\n"));
    std::string text;
    EXPECT_EQ(ReadTextFile(Path("f"), 100, text), TextFileRead::kRead);
    EXPECT_EQ(text, "short\n");
}

TEST_F(TextFileTest, TemporarySiblingsAreNewFilesWithNamesOfTheirOwn) {
    std::string first;
    std::string second;
    ASSERT_TRUE(WriteTemporarySibling(Path("p.ini"), "one\n", first));
    ASSERT_TRUE(WriteTemporarySibling(Path("p.ini"), "two\n", second));
    EXPECT_NE(first, second);
    EXPECT_EQ(std::filesystem::path(first).parent_path(), root_);
    // The file's name, a dot, twelve random characters, ".tmp": a name that nothing of a
    // user's ("p.ini.backup", "p.ini.old") takes, on both systems alike.
    const std::regex ours(R"(p\.ini\.[0-9a-z]{12}\.tmp)");
    for (const std::string& made : {first, second}) {
        EXPECT_TRUE(std::regex_match(std::filesystem::path(made).filename().string(), ours))
            << made;
    }
    std::string text;
    EXPECT_EQ(ReadTextFile(first, 100, text), TextFileRead::kRead);
    EXPECT_EQ(text, "one\n");
    EXPECT_FALSE(std::filesystem::exists(Path("p.ini")));
}

}  // namespace
