#include "logging/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "scratch_folder.h"

namespace {

using TextFileTest = ScratchFolder;

TEST_F(TextFileTest, ReadsNoMoreThanTheLimitAndSaysWhenThereIsMore) {
    ASSERT_TRUE(RewriteTextFile(Path("f"), "0123456789"));
    const struct {
        std::size_t limit;
        TextFileRead result;
        const char* text;
    } cases[] = {
        {10, TextFileRead::kRead, "0123456789"},
        {11, TextFileRead::kRead, "0123456789"},
        {9, TextFileRead::kTooLarge, "012345678"},
        {0, TextFileRead::kTooLarge, ""},
    };
    for (const auto& c : cases) {
        std::string text = "stale";
        EXPECT_EQ(ReadTextFile(Path("f"), c.limit, text), c.result) << c.limit;
        EXPECT_EQ(text, c.text) << c.limit;
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
    EXPECT_EQ(first.rfind(Path("p.ini"), 0), 0u) << first;
    std::string text;
    EXPECT_EQ(ReadTextFile(first, 100, text), TextFileRead::kRead);
    EXPECT_EQ(text, "one\n");
    EXPECT_FALSE(std::filesystem::exists(Path("p.ini")));
}

}  // namespace
