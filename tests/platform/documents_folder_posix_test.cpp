#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/documents_folder.h"

namespace {

class DocumentsFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ = std::filesystem::temp_directory_path() /
                ("documents-test-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(home_ / ".config");
        setenv("HOME", home_.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override { std::filesystem::remove_all(home_); }

    void WriteUserDirs(const std::string& text) {
        std::ofstream(home_ / ".config" / "user-dirs.dirs") << text;
    }
    std::string Lookup() {
        platform::DocumentsFolderLookup found = platform::DocumentsFolder();
        reason_ = std::move(found.reason);
        return found.path;
    }

    std::filesystem::path home_;
    std::string reason_;
};

TEST_F(DocumentsFolder, TheUserDirsFileComesFirst) {
    std::filesystem::create_directories(home_ / "文書");
    WriteUserDirs("XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/文書\"\n");
    EXPECT_EQ(Lookup(), (home_ / "文書").string());
    EXPECT_FALSE(std::filesystem::exists(home_ / "Documents"));
}

TEST_F(DocumentsFolder, DefaultFolderIsCreatedWhenTheCurrentOneIsMissing) {
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n");
    EXPECT_EQ(Lookup(), (home_ / "Documents").string());
    EXPECT_TRUE(std::filesystem::is_directory(home_ / "Documents"));
    EXPECT_FALSE(std::filesystem::exists(home_ / "Gone"));
    // The fallback says what was asked for and what was used instead.
    EXPECT_NE(reason_.find((home_ / "Gone").string() + ", is no folder; using the default path " +
                           (home_ / "Documents").string()),
              std::string::npos)
        << reason_;
}

TEST_F(DocumentsFolder, AHomeWithoutUserDirsIsNoFallback) {
    EXPECT_EQ(Lookup(), (home_ / "Documents").string());
    EXPECT_EQ(reason_, "");
    // Nor is a desktop's own file, which names ~/Documents before the folder is made.
    std::filesystem::remove(home_ / "Documents");
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n");
    EXPECT_EQ(Lookup(), (home_ / "Documents").string());
    EXPECT_EQ(reason_, "");
    std::filesystem::create_directories(home_ / "文書");
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/文書\"\n");
    EXPECT_EQ(Lookup(), (home_ / "文書").string());
    EXPECT_EQ(reason_, "");
}

TEST_F(DocumentsFolder, FolderThatCannotBeMadeGivesAnEmptyPathAndTheReason) {
    std::ofstream(home_ / "Documents") << "a file in the way";
    EXPECT_EQ(Lookup(), "");
    EXPECT_NE(reason_.find((home_ / "Documents").string()), std::string::npos) << reason_;

    // A home far too long for any path below it.
    const std::string deep = std::string(300, 'd');
    setenv("HOME", (home_ / deep).c_str(), 1);
    EXPECT_EQ(Lookup(), "");
    EXPECT_NE(reason_.find("longer than 259 bytes"), std::string::npos) << reason_;
}

TEST_F(DocumentsFolder, QuotedCharactersAndTheHomeItselfInUserDirs) {
    std::filesystem::create_directories(home_ / "my \"docs\"");
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/my \\\"docs\\\"\"\n");
    EXPECT_EQ(Lookup(), (home_ / "my \"docs\"").string());

    // A documents folder equal to the home folder means the user turned it off.
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/\"\n");
    EXPECT_EQ(Lookup(), (home_ / "Documents").string());
}

TEST_F(DocumentsFolder, OnlyTheFirst64KiBOfARegularUserDirsFileAreRead) {
    std::filesystem::create_directories(home_ / "Docs");
    const std::string line = "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n";
    const auto userDirs = home_ / ".config" / "user-dirs.dirs";
    const struct {
        const char* name;
        std::string text;
        std::string expected;
    } cases[] = {
        {"within the bound", std::string(65000, '#') + "\n" + line, (home_ / "Docs").string()},
        {"beyond the bound", std::string(std::size_t{66} * 1024, '#') + "\n" + line,
         (home_ / "Documents").string()},
    };
    for (const auto& c : cases) {
        WriteUserDirs(c.text);
        EXPECT_EQ(Lookup(), c.expected) << c.name;
    }
    // Neither a FIFO nor an endless device is read: the default path serves at once.
    std::filesystem::remove(userDirs);
    ASSERT_EQ(mkfifo(userDirs.c_str(), 0600), 0);
    EXPECT_EQ(Lookup(), (home_ / "Documents").string());
    std::filesystem::remove(userDirs);
    std::filesystem::create_symlink("/dev/zero", userDirs);
    EXPECT_EQ(Lookup(), (home_ / "Documents").string());
}

}  // namespace
