// Where the Linux search keeps Linux's own names and permissions rather than copy Windows.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "fsutil/directory_tree.h"
#include "fsutil/ifile_find.h"
#include "platform/last_error.h"
#include "temp_tree.h"

namespace {

std::uint32_t AttributesOf(const std::string& path) {
    IFileFind finder;
    if (finder.FindFirst(path.c_str(), 0) == 0) return 0;
    finder.FindNext();
    std::uint32_t attributes = 0;
    for (std::uint32_t bit = 1; bit != 0; bit <<= 1) {
        if (finder.HasAttributes(bit) != 0) attributes |= bit;
    }
    return attributes;
}

TEST(FileFindPosix, NamesCompareCaseSensitivelyAsTheFileSystemDoes) {
    TempTree tree;
    tree.MakeFile("Report.txt");
    EXPECT_EQ(FileExists(tree.Path("Report.txt").c_str()), 1);
    EXPECT_EQ(FileExists(tree.Path("report.txt").c_str()), 0);
    EXPECT_EQ(FileExists(tree.Path("*.TXT").c_str()), 0);
    EXPECT_EQ(FileExists(tree.Path("R*.t?t").c_str()), 1);
}

TEST(FileFindPosix, TrailingDotsAndSpacesArePartOfALinuxName) {
    // Windows drops them from a literal name, so that "a.txt." finds a.txt; on Linux these are
    // three different files, and each name finds only itself.
    TempTree tree;
    tree.MakeFile("a.txt");
    EXPECT_EQ(FileExists(tree.Path("a.txt.").c_str()), 0);
    EXPECT_EQ(FileExists(tree.Path("a.txt ").c_str()), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 2u);
    tree.MakeFile("a.txt.");
    tree.MakeFile("a.txt ");
    for (const char* name : {"a.txt", "a.txt.", "a.txt "}) {
        IFileFind finder;
        ASSERT_EQ(finder.FindFirst(tree.Path(name).c_str(), 0), 1) << name;
        EXPECT_EQ(finder.FindNext(), 0);
        EXPECT_EQ(finder.GetName(), name);
    }
}

TEST(FileFindPosix, ReadOnlyFollowsTheModeWhoeverAsks) {
    // CI runs as root, who may write to every file: the attribute must not depend on that.
    TempTree tree;
    tree.MakeFile("plain");
    tree.MakeFile(".hidden");
    tree.MakeDir("folder");
    tree.MakeFile("readonly");
    tree.MakeFile("ownerwrites");
    tree.MakeDir("lockedfolder");
    chmod(tree.Native("readonly").c_str(), 0444);
    chmod(tree.Native("ownerwrites").c_str(), 0644);
    chmod(tree.Native("lockedfolder").c_str(), 0555);
    const struct {
        const char* name;
        std::uint32_t attributes;
    } rows[] = {
        {"plain", 0x80},    {".hidden", 0x02},     {"folder", 0x10},       {"folder/..", 0x10},
        {"readonly", 0x01}, {"ownerwrites", 0x80}, {"lockedfolder", 0x11},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(AttributesOf(tree.Path(row.name)), row.attributes) << row.name;
    }
}

TEST(FileFindPosix, ALinkIsDescribedByItsTargetOrByItselfWhenTheTargetIsGone) {
    TempTree tree;
    tree.MakeFile("target");
    chmod(tree.Native("target").c_str(), 0444);
    tree.MakeDir("folder");
    std::filesystem::create_symlink(tree.Native("target"), tree.Native("to-file"));
    std::filesystem::create_symlink(tree.Native("folder"), tree.Native("to-folder"));
    std::filesystem::create_symlink(tree.Native("missing"), tree.Native("dangling"));
    const struct {
        const char* name;
        std::uint32_t attributes;
    } rows[] = {
        {"to-file", 0x01},  // read-only as its target, not as the link's own mode
        {"to-folder", 0x10},
        {"dangling", 0x80},  // still listed, as the entry it is
        {"missing", 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(AttributesOf(tree.Path(row.name)), row.attributes) << row.name;
    }
    EXPECT_EQ(FileExists(tree.Path("dangling").c_str()), 1);
    EXPECT_EQ(FileExists(tree.Path("missing").c_str()), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 2u);
}

// Permissions hold only for an ordinary user: CTest runs this suite on its own, as nobody
// when the tests run as root (tests/support/as-ordinary-user).
class PermissionsAsOrdinaryUser : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() == 0) GTEST_SKIP() << "root passes every permission check";
    }
    TempTree tree;
};

TEST_F(PermissionsAsOrdinaryUser, LiteralNamesNeedNoReadPermissionOnTheFolder) {
    tree.MakeDir("box");
    tree.MakeFile("box/inside");
    chmod(tree.Native("box").c_str(), 0311);
    EXPECT_EQ(FileExists(tree.Path("box/inside").c_str()), 1);
    EXPECT_EQ(FileExists(tree.Path("box/*").c_str()), 0);
}

TEST_F(PermissionsAsOrdinaryUser, AFolderWithoutWritePermissionStopsTheLevelsBelowIt) {
    tree.MakeDir("locked");
    chmod(tree.Native("locked").c_str(), 0555);
    EXPECT_EQ(CreateDirectoryTree(tree.Path("locked/A/B").c_str()), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 5u);
    EXPECT_FALSE(tree.Exists("locked/A"));
}

TEST(FileFindPosix, ABackslashIsPartOfALinuxName) {
    TempTree tree;
    const std::string folder = tree.Root() + "/back\\slash docs";
    EXPECT_EQ(CreateDirectoryTree((folder + "/Logs").c_str()), 1);
    EXPECT_TRUE(std::filesystem::is_directory(tree.RootPath() / "back\\slash docs" / "Logs"));
    EXPECT_FALSE(tree.Exists("back"));
    EXPECT_EQ(FileExists((folder + "/Logs").c_str()), 1);
    EXPECT_EQ(FileExists((tree.Root() + "/back\\slash*").c_str()), 1);

    // A file named "back" in the way changes nothing: no level of that name is wanted.
    tree.MakeFile("back");
    EXPECT_EQ(CreateDirectoryTree((folder + "/Logs/Daily\\").c_str()), 1);
    EXPECT_TRUE(
        std::filesystem::is_directory(tree.RootPath() / "back\\slash docs" / "Logs" / "Daily\\"));

    // The search joins with "/" and never cuts the folder at a backslash.
    IFileFind finder;
    ASSERT_EQ(finder.FindFirst((folder + "/Logs").c_str(), 0), 1);
    finder.FindNext();
    EXPECT_EQ(finder.GetFolder(), folder);
    EXPECT_EQ(finder.GetPath(), folder + "/Logs");
    ASSERT_EQ(finder.FindFirst((tree.Root() + "/back\\*").c_str(), 0), 1);
    finder.FindNext();
    EXPECT_EQ(finder.GetPath(), folder);
}

TEST(FileFindPosix, AWildcardInAFolderNameThatExistsIsPartOfTheName) {
    // Windows allows no wildcard in a folder part (error 123); a Linux folder may be named so.
    TempTree tree;
    tree.MakeDir("mi*");
    tree.MakeFile("mi*/a.txt");
    EXPECT_EQ(FileExists(tree.Path("mi*/a.txt").c_str()), 1);
    EXPECT_EQ(FileExists(tree.Path("mi*/*.txt").c_str()), 1);
    EXPECT_EQ(FileExists(tree.Path("m?/a.txt").c_str()), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 123u);
}

TEST(FileFindPosix, WildcardsInLinuxFolderNamesAreLookedUpAsTheyAreWritten) {
    // "Do?cs" is a folder; "DoXcs", a file, matches it as a pattern and may come first: the
    // parent's own entry must decide.
    TempTree tree;
    tree.MakeDir("Do?cs");
    tree.MakeFile("DoXcs");
    tree.MakeDir("a*");
    tree.MakeFile("ab");
    for (const char* folder : {"Do?cs", "a*"}) {
        const std::string logRoot = tree.Path(std::string(folder) + "/Orvane/SystemLog");
        EXPECT_EQ(CreateDirectoryTree(logRoot.c_str()), 1) << folder;
        EXPECT_TRUE(tree.IsDirectory(std::string(folder) + "/Orvane/SystemLog")) << folder;
        EXPECT_EQ(FileExists(logRoot.c_str()), 1) << folder;
    }
    // A missing folder of such a name is looked for as that name, never as a pattern.
    IFileFind finder;
    EXPECT_EQ(finder.FindFirst(tree.Path("Do?cs").c_str(), kFindExactName), 1);
    EXPECT_EQ(finder.FindFirst(tree.Path("D*").c_str(), kFindExactName), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 2u);
}

}  // namespace
