#include "fsutil/directory_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/directory_services_doubles.h"
#include "platform/code_page.h"
#include "platform/last_error.h"
#include "support/scoped_code_page.h"
#include "temp_tree.h"

namespace {

using Strings = std::vector<std::string>;
constexpr auto kWindows = platform::PathStyle::kWindows;
constexpr auto kPosix = platform::PathStyle::kPosix;

class ShiftJis : public ::testing::Test {
  private:
    ScopedAnsiCodePage shiftJis_{platform::kCodePageShiftJis};
};

using MultibyteText = ShiftJis;

TEST_F(MultibyteText, FindLastCharSkipsSecondBytes) {
    EXPECT_EQ(FindLastChar("a\\b\\", '\\'), 3);
    EXPECT_EQ(FindLastChar("", '\\'), -1);
    EXPECT_EQ(FindLastChar("abc", '\\'), -1);
    EXPECT_EQ(FindLastChar("\x95\\", '\\'), -1);               // 表 alone
    EXPECT_EQ(FindLastChar("a\\\x95\\\x83\\", '\\'), 1);       // a\表ソ
    EXPECT_EQ(FindLastChar("\x95\\\\", '\\'), 2);              // 表\ .
    EXPECT_EQ(FindLastChar("\x81\x81\\", '\\'), 2);            // a lead byte as a second byte
    EXPECT_EQ(FindLastChar(std::string("a\0b", 3), '\0'), 1);  // the text's length counts
}

TEST_F(MultibyteText, LeftWholeCharsNeverSplitsACharacter) {
    EXPECT_EQ(LeftWholeChars("abc", 0), "");
    EXPECT_EQ(LeftWholeChars("abc", -5), "");
    EXPECT_EQ(LeftWholeChars("abc", 2), "ab");
    EXPECT_EQ(LeftWholeChars("abc", 3), "abc");
    EXPECT_EQ(LeftWholeChars("abc", 99), "abc");
    EXPECT_EQ(LeftWholeChars("a\x95\\b", 2), "a\x95\\");  // index 2 is 表's second byte
    EXPECT_EQ(LeftWholeChars("a\x95\\b", 1), "a");
    EXPECT_EQ(LeftWholeChars("a\x95\\b", 3), "a\x95\\");
    EXPECT_EQ(LeftWholeChars("\x81\x81\x81\x81x", 3), "\x81\x81\x81\x81");
}

TEST_F(MultibyteText, WithoutDoubleByteRulesEveryByteStandsAlone) {
    const ScopedAnsiCodePage utf8(platform::kCodePageUtf8);
    EXPECT_EQ(FindLastChar("\x95\\", '\\'), 1);
    EXPECT_EQ(LeftWholeChars("a\x95\\b", 2), "a\x95");
}

class DirectoryTree : public ShiftJis {
  protected:
    TempTree tree;
};

TEST_F(DirectoryTree, FileExistsForFilesDirectoriesAndPatterns) {
    tree.MakeFile("settings.ini");
    tree.MakeDir("logs");
    EXPECT_EQ(FileExists(tree.Path("settings.ini").c_str()), 1);
    EXPECT_EQ(FileExists(tree.Path("logs").c_str()), 1);
    EXPECT_EQ(FileExists(tree.Path("*.ini").c_str()), 1);
    EXPECT_EQ(FileExists(tree.Path("*.txt").c_str()), 0);
    EXPECT_EQ(FileExists(tree.Path("missing.ini").c_str()), 0);
    EXPECT_EQ(FileExists(tree.Path("missing/settings.ini").c_str()), 0);
    EXPECT_EQ(FileExists(""), 0);
}

TEST_F(DirectoryTree, CreatesOneMissingLevelWithItsTrailingSeparator) {
    CountingDirectoryServices services;
    const std::string logs = tree.Path("Logs/");
    EXPECT_EQ(CreateDirectoryTree(logs.c_str(), services), 1);
    EXPECT_TRUE(tree.IsDirectory("Logs"));
    EXPECT_EQ(services.creations, Strings{logs});
    EXPECT_EQ(services.searchCount, 1);

    // Forward slashes are stripped and split alike.
    EXPECT_EQ(CreateDirectoryTree((tree.Root() + "/Logs/Daily/").c_str()), 1);
    EXPECT_TRUE(tree.IsDirectory("Logs/Daily"));
}

TEST_F(DirectoryTree, CreatesMissingLevelsFromTheTopDown) {
    CountingDirectoryServices services;
    EXPECT_EQ(CreateDirectoryTree(tree.Path("A/B/C").c_str(), services), 1);
    EXPECT_EQ(services.creations, (Strings{tree.Path("A"), tree.Path("A/B"), tree.Path("A/B/C")}));
    EXPECT_TRUE(tree.IsDirectory("A/B/C"));

    EXPECT_EQ(CreateDirectoryTree((tree.Root() + "/D/E/F/").c_str()), 1);
    EXPECT_TRUE(tree.IsDirectory("D/E/F"));
}

TEST_F(DirectoryTree, AnExistingDirectoryIsNotCreatedAgain) {
    tree.MakeDir("A/B");
    EXPECT_EQ(CreateDirectoryTree(tree.Path("A/B").c_str()), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 183u);
    EXPECT_EQ(CreateDirectoryTree(tree.Path("A/B/").c_str()), 0);
    EXPECT_TRUE(tree.IsDirectory("A/B"));
}

TEST_F(DirectoryTree, AFileInTheParentsPlaceStopsEverything) {
    tree.MakeFile("A");
    CountingDirectoryServices services;
    EXPECT_EQ(CreateDirectoryTree(tree.Path("A/B").c_str(), services), 0);
    EXPECT_TRUE(services.creations.empty());
    EXPECT_EQ(CreateDirectoryTree(tree.Path("A/B/C").c_str(), services), 0);
    EXPECT_FALSE(tree.IsDirectory("A"));
    EXPECT_FALSE(tree.Exists("A/B"));
}

TEST_F(DirectoryTree, TheEmptyPathIsOneFailedCreation) {
    FakeDirectoryServices fake;
    CreateDirectoryTree("", fake);
    EXPECT_EQ(fake.creations, Strings{""});
    EXPECT_TRUE(fake.searches.empty());
    EXPECT_EQ(CreateDirectoryTree(""), 0);
}

TEST_F(DirectoryTree, ALevelThatFailsStopsTheLevelsBelowIt) {
    CountingDirectoryServices services;
    services.refused.insert(tree.Path("A/B"));
    EXPECT_EQ(CreateDirectoryTree(tree.Path("A/B/C/D").c_str(), services), 0);
    EXPECT_EQ(services.creations, (Strings{tree.Path("A"), tree.Path("A/B")}));
    EXPECT_TRUE(tree.IsDirectory("A"));
    EXPECT_FALSE(tree.Exists("A/B"));
}

TEST_F(DirectoryTree, DoubleByteNamesEndingInTheBackslashByte) {
    // 表 (0x95 0x5C) as the last character is not taken for a trailing separator.
    const std::string hyou = "\x95\\";
    EXPECT_EQ(CreateDirectoryTree(tree.Path(hyou).c_str()), 1);
    EXPECT_EQ(FileExists(tree.Path(hyou).c_str()), 1);

    // ソ (0x83 0x5C) below a missing ソ: no trailing separator to strip, both levels made.
    const std::string deep = tree.Path("\x83\\/\x83\\");
    CountingDirectoryServices services;
    EXPECT_EQ(CreateDirectoryTree(deep.c_str(), services), 1);
    EXPECT_EQ(services.creations, (Strings{tree.Path("\x83\\"), deep}));
    EXPECT_EQ(FileExists(deep.c_str()), 1);
}

// No search finds the root of a drive or a share, and neither can be created: a folder
// redirected to H:\ or \\srv\home$ gets its levels made below the root, never the root.
TEST_F(DirectoryTree, DriveAndShareRootsCountAsPresent) {
    const struct {
        const char* path;
        Strings searches;
        Strings creations;
    } rows[] = {
        {"\\\\srv\\share\\a\\b",
         {"\\\\srv\\share\\a"},
         {"\\\\srv\\share\\a", "\\\\srv\\share\\a\\b"}},
        {"\\\\srv\\home$\\Orvane\\SystemLog\\",
         {"\\\\srv\\home$\\Orvane"},
         {"\\\\srv\\home$\\Orvane", "\\\\srv\\home$\\Orvane\\SystemLog\\"}},
        {"\\\\srv\\share\\a\\", {}, {"\\\\srv\\share\\a\\"}},
        {"H:\\Orvane\\SystemLog", {"H:\\Orvane"}, {"H:\\Orvane", "H:\\Orvane\\SystemLog"}},
        {"H:\\\\Orvane", {}, {"H:\\\\Orvane"}},
    };
    for (const auto& row : rows) {
        FakeDirectoryServices fake;
        fake.refused = {"\\\\srv\\share", "\\\\srv\\home$", "H:\\", "H:"};
        EXPECT_EQ(CreateDirectoryTree(row.path, fake, kWindows), 1) << row.path;
        EXPECT_EQ(fake.searches, row.searches) << row.path;
        EXPECT_EQ(fake.creations, row.creations) << row.path;
    }
}

TEST_F(DirectoryTree, RootLevelPathsAreCreatedWithoutASearch) {
    const struct {
        const char* path;
        platform::PathStyle style;
    } rows[] = {
        {"C:\\Logs", kWindows}, {"\\Logs", kWindows}, {"C:Logs", kWindows}, {"Logs", kWindows},
        {"C:\\", kWindows},     {"C:", kWindows},     {"/Logs", kWindows},  {"/Logs", kPosix},
        {"/Logs/", kPosix},     {"Logs", kPosix},     {"a\\b", kPosix},     {"/C:\\x\\y", kPosix},
    };
    for (const auto& row : rows) {
        FakeDirectoryServices fake;
        CreateDirectoryTree(row.path, fake, row.style);
        EXPECT_TRUE(fake.searches.empty()) << row.path;
        EXPECT_EQ(fake.creations, Strings{row.path}) << row.path;
    }
    FakeDirectoryServices fake;
    fake.entries["C:\\"] = FakeDirectoryServices::Kind::kDirectory;
    EXPECT_EQ(CreateDirectoryTree("C:\\", fake, kWindows), 0);
}

TEST_F(DirectoryTree, ALinuxPathSplitsAtSlashesOnly) {
    // "\" is part of a Linux name: no level named "back" comes first, and no network path.
    FakeDirectoryServices fake;
    fake.entries["/tmp/x"] = FakeDirectoryServices::Kind::kDirectory;
    EXPECT_EQ(CreateDirectoryTree("/tmp/x/back\\slash docs/Logs\\", fake, kPosix), 1);
    EXPECT_EQ(fake.searches, (Strings{"/tmp/x/back\\slash docs", "/tmp/x"}));
    EXPECT_EQ(fake.creations,
              (Strings{"/tmp/x/back\\slash docs", "/tmp/x/back\\slash docs/Logs\\"}));

    FakeDirectoryServices network;
    EXPECT_EQ(CreateDirectoryTree("\\\\srv\\share\\a", network, kPosix), 1);
    EXPECT_TRUE(network.searches.empty());
}

TEST_F(DirectoryTree, SeparatorRunsNeverRecurseWithoutEnd) {
    for (const auto style : {kWindows, kPosix}) {
        for (const char* path :
             {"a//", "a\\\\\\", "C:\\\\", "//", "\\\\\\\\", "a/\\/\\", "///x//"}) {
            FakeDirectoryServices fake;
            CreateDirectoryTree(path, fake, style);
            EXPECT_LE(fake.searches.size(), 4u) << path;
        }
    }
}

}  // namespace
