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
    EXPECT_EQ(FileExists((tree.Root() + "/Report.txt").c_str()), 1);
}

TEST(FileFindPosix, AttributesFollowModeAndName) {
    TempTree tree;
    tree.MakeFile("plain");
    tree.MakeFile(".hidden");
    tree.MakeDir("folder");
    EXPECT_EQ(AttributesOf(tree.Path("plain")), 0x80u);
    EXPECT_EQ(AttributesOf(tree.Path(".hidden")), 0x02u);
    EXPECT_EQ(AttributesOf(tree.Path("folder")), 0x10u);
    EXPECT_EQ(AttributesOf(tree.Path("folder/..")), 0x10u);
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

TEST_F(PermissionsAsOrdinaryUser, AFileWithoutWritePermissionIsReadOnly) {
    tree.MakeFile("readonly");
    chmod(tree.Native("readonly").c_str(), 0444);
    EXPECT_EQ(AttributesOf(tree.Path("readonly")), 0x01u);
}

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

TEST(FileFindPosix, ABackslashIsPartOfANameForTheKernel) {
    TempTree tree;
    const std::string folder = tree.Root() + "/back\\slash docs";
    // The splitter still reads "\\" as a separator, so a level named "back" comes first; the
    // folder asked for is made all the same, under its own name.
    EXPECT_EQ(CreateDirectoryTree((folder + "/Logs").c_str()), 1);
    EXPECT_TRUE(std::filesystem::is_directory(tree.RootPath() / "back\\slash docs" / "Logs"));
    EXPECT_EQ(FileExists((folder + "/Logs").c_str()), 1);
    EXPECT_EQ(FileExists((tree.Root() + "/back\\slash*").c_str()), 1);
}

}  // namespace
