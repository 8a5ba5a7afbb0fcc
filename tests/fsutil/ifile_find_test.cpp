#include "fsutil/ifile_find.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>

#include "fsutil/directory_tree.h"
#include "platform/code_page.h"
#include "platform/last_error.h"
#include "support/scoped_code_page.h"
#include "temp_tree.h"

namespace {

constexpr std::uint32_t kDirectory = 0x10;
// What GetPath joins a folder and a name with: "\\" on Windows, "/" on Linux.
const std::string kSep = TempTree::Separator();

std::set<std::string> WalkNames(IFileFind& finder) {
    std::set<std::string> names;
    int more = 1;
    while (more != 0) {
        more = finder.FindNext();
        names.insert(finder.GetName());
    }
    return names;
}

std::int64_t UnixSeconds(const platform::FileTime& time) {
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
}

class IFileFindTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tree.MakeFile("a.txt");
        tree.MakeFile("b.txt");
        tree.MakeFile("c.log");
        tree.MakeFile("noext");
        tree.MakeDir("sub");
        tree.MakeDir(".a");
        tree.MakeDir("..a");
    }

    TempTree tree;

  private:
    ScopedAnsiCodePage shiftJis_{platform::kCodePageShiftJis};
};

TEST_F(IFileFindTest, TheCallThatReachesTheLastMatchReturnsZeroAndKeepsIt) {
    IFileFind finder;
    ASSERT_EQ(finder.FindFirst(tree.Path("*.txt").c_str(), 0), 1);
    // Primed: the first match waits unseen.
    EXPECT_EQ(finder.GetName(), "");
    EXPECT_EQ(finder.HasAttributes(0xFFFFFFFF), 0);

    EXPECT_NE(finder.FindNext(), 0);
    const std::string first = finder.GetName();
    EXPECT_EQ(finder.FindNext(), 0);
    const std::string last = finder.GetName();
    EXPECT_EQ((std::set<std::string>{first, last}), (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(finder.GetPath(), tree.Root() + kSep + last);
    platform::FileTime written{};
    EXPECT_EQ(finder.GetWriteTime(&written), 1);

    // Stepping on past the end never shows an earlier entry again.
    EXPECT_EQ(finder.FindNext(), 0);
    EXPECT_EQ(finder.GetName(), "");
}

TEST_F(IFileFindTest, ALiteralNameMatchesOnlyItself) {
    IFileFind finder;
    ASSERT_EQ(finder.FindFirst(tree.Path("a.txt").c_str(), 0), 1);
    EXPECT_EQ(finder.GetName(), "");
    EXPECT_EQ(finder.HasAttributes(kDirectory), 0);
    EXPECT_EQ(finder.FindNext(), 0);
    EXPECT_EQ(finder.GetName(), "a.txt");
    EXPECT_EQ(finder.GetBaseName(), "a");
    EXPECT_EQ(finder.GetFolder(), tree.Root());
    EXPECT_EQ(finder.GetPath(), tree.Root() + kSep + "a.txt");
    EXPECT_EQ(finder.GetUrl(), "file://" + tree.Root() + kSep + "a.txt");
    EXPECT_EQ(finder.HasAttributes(kDirectory), 0);
    EXPECT_EQ(finder.IsDotEntry(), 0);

    ASSERT_EQ(finder.FindFirst(tree.Path("sub").c_str(), 0), 1);
    EXPECT_EQ(finder.FindNext(), 0);
    EXPECT_EQ(finder.GetName(), "sub");
    EXPECT_EQ(finder.HasAttributes(kDirectory), 1);
    EXPECT_EQ(finder.HasAttributes(~kDirectory & 0x7), 0);
}

TEST_F(IFileFindTest, StarDotStarListsEveryNameWithTheDotEntries) {
    IFileFind finder;
    ASSERT_EQ(finder.FindFirst(tree.Path("*.*").c_str(), 0), 1);
    std::set<std::string> dotEntries;
    std::set<std::string> names;
    int more = 1;
    while (more != 0) {
        more = finder.FindNext();
        names.insert(finder.GetName());
        if (finder.IsDotEntry() != 0) dotEntries.insert(finder.GetName());
    }
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "a.txt", "b.txt", "c.log", "noext", "sub",
                                            ".a", "..a"}));
    // Only the two directory entries count, not other directories that begin with a dot.
    EXPECT_EQ(dotEntries, (std::set<std::string>{".", ".."}));

    ASSERT_EQ(finder.FindFirst(tree.Path("?.txt").c_str(), 0), 1);
    EXPECT_EQ(WalkNames(finder), (std::set<std::string>{"a.txt", "b.txt"}));
    ASSERT_EQ(finder.FindFirst(tree.Path("*").c_str(), 0), 1);
    EXPECT_EQ(WalkNames(finder).size(), names.size());
}

TEST_F(IFileFindTest, AFailedSearchKeepsTheFolderAndItsReason) {
    IFileFind finder;
    ASSERT_EQ(finder.FindFirst(tree.Path("sub/*").c_str(), 0), 1);
    EXPECT_EQ(finder.FindNext(), 1);
    EXPECT_EQ(finder.GetFolder(), tree.Native("sub"));

    // The open search is closed, no entry stays current, the folder is the one found before.
    EXPECT_EQ(finder.FindFirst(tree.Path("*.none").c_str(), 0), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 2u);
    EXPECT_EQ(finder.GetName(), "");
    EXPECT_EQ(finder.GetFolder(), tree.Native("sub"));
    EXPECT_EQ(finder.FindNext(), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 2u);

    EXPECT_EQ(finder.FindFirst(tree.Path("missing/*.*").c_str(), 0), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 3u);
    EXPECT_EQ(finder.FindFirst(tree.Path("missing.txt").c_str(), 0), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 2u);
    EXPECT_EQ(finder.GetFolder(), tree.Native("sub"));
}

TEST_F(IFileFindTest, APatternTooLongForARecordChangesNothing) {
    IFileFind finder;
    ASSERT_EQ(finder.FindFirst(tree.Path("*.txt").c_str(), 0), 1);
    ASSERT_EQ(finder.FindNext(), 1);
    const std::string current = finder.GetName();

    const std::string tooLong = tree.Path(std::string(260, 'x'));
    EXPECT_EQ(finder.FindFirst(tooLong.c_str(), 0), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 206u);
    EXPECT_EQ(finder.GetName(), current);
    EXPECT_EQ(finder.GetFolder(), tree.Root());
    EXPECT_EQ(finder.FindNext(), 0);
    EXPECT_NE(finder.GetName(), current);
}

TEST_F(IFileFindTest, TheFolderOutlivesClose) {
    IFileFind finder;
    ASSERT_EQ(finder.FindFirst(tree.Path("a.txt").c_str(), 0), 1);
    finder.FindNext();
    finder.Close();
    EXPECT_EQ(finder.GetName(), "");
    EXPECT_EQ(finder.GetFolder(), tree.Root());
    EXPECT_EQ(finder.GetPath(), tree.Root() + kSep);
    EXPECT_EQ(finder.FindNext(), 0);
    EXPECT_EQ(finder.HasAttributes(0xFFFFFFFF), 0);
}

TEST_F(IFileFindTest, NullPatternSearchesTheCurrentDirectory) {
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(tree.RootPath() / "sub");
    tree.MakeFile("sub/only");
    IFileFind finder;
    const int found = finder.FindFirst(nullptr, 0);
    const std::set<std::string> names = WalkNames(finder);
    const std::string relativeFound =
        finder.FindFirst((".." + TempTree::Separator() + "c.log").c_str(), 0) == 1
            ? finder.GetFolder()
            : "";
    std::filesystem::current_path(saved);

    EXPECT_EQ(found, 1);
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "only"}));
    EXPECT_EQ(relativeFound, tree.Root());
}

TEST_F(IFileFindTest, SearchesInTheRootGiveRootedPaths) {
    // Windows: the folder of C:\\*.* is C: and paths are C:\\name. Linux has no drive before its
    // root, so the folder is / itself and paths are /name: rooted either way.
    const std::string root = tree.Root();
    const std::string drive = root.size() > 1 && root[1] == ':' ? root.substr(0, 2) : "";
    const std::string rootFolder = drive.empty() ? "/" : drive;
    const std::string topLevel = tree.RootPath().relative_path().begin()->string();
    IFileFind finder;
    ASSERT_EQ(finder.FindFirst((drive + kSep + "*.*").c_str(), 0), 1);
    EXPECT_EQ(finder.GetFolder(), rootFolder);
    finder.FindNext();
    const std::string name = finder.GetName();
    ASSERT_NE(name, "");
    EXPECT_EQ(finder.GetPath(), drive + kSep + name);
    // The root of a drive lists neither "." nor "..", whatever the pattern.
    for (const char* pattern : {"*.*", "*", "?", "??", ".*"}) {
        if (finder.FindFirst((drive + kSep + pattern).c_str(), 0) == 0) continue;
        const std::set<std::string> names = WalkNames(finder);
        EXPECT_EQ(names.count("."), 0u) << pattern;
        EXPECT_EQ(names.count(".."), 0u) << pattern;
    }

    // The top-level folder that holds the tree, named without a wildcard.
    ASSERT_EQ(finder.FindFirst((drive + kSep + topLevel).c_str(), 0), 1);
    EXPECT_EQ(finder.FindNext(), 0);
    EXPECT_EQ(finder.GetName(), topLevel);
    EXPECT_EQ(finder.GetFolder(), rootFolder);
    EXPECT_EQ(finder.GetPath(), drive + kSep + topLevel);
}

TEST_F(IFileFindTest, DotAndDotDotLevelsNameTheFolderItself) {
    // "sub\\." is the folder sub, found in its parent; "sub\\.." is the tree's root, found in
    // the folder above. Levels are resolved by name, as Windows resolves them.
    const struct {
        std::string pattern;
        std::string name, folder;
        int directory;
    } rows[] = {
        {tree.Path("sub/."), "sub", tree.Root(), 1},
        {tree.Path("sub/"), "", "", 0},
        {tree.Path("sub/.."), tree.RootPath().filename().string(),
         tree.RootPath().parent_path().string(), 1},
        {tree.Path("missing/../a.txt"), "a.txt", tree.Root(), 0},
        {tree.Path("sub/../*.log"), "c.log", tree.Root(), 0},
    };
    for (const auto& row : rows) {
        IFileFind finder;
        const int found = finder.FindFirst(row.pattern.c_str(), 0);
        if (row.name.empty()) {
            // A pattern that ends in a separator names no entry.
            EXPECT_EQ(found, 0) << row.pattern;
            EXPECT_EQ(platform::GetLastErrorCode(), 2u) << row.pattern;
            continue;
        }
        ASSERT_EQ(found, 1) << row.pattern;
        EXPECT_EQ(finder.FindNext(), 0) << row.pattern;
        EXPECT_EQ(finder.GetName(), row.name) << row.pattern;
        EXPECT_EQ(finder.HasAttributes(kDirectory), row.directory) << row.pattern;
        EXPECT_EQ(finder.GetFolder(), row.folder) << row.pattern;
        EXPECT_EQ(finder.GetPath(), row.folder + kSep + row.name) << row.pattern;
    }
}

TEST_F(IFileFindTest, StarDotRulesMatchNamesWithAndWithoutExtensions) {
    // The DOS rules that both Windows and its imitation apply to these patterns; the rest of
    // the rules have a table of their own.
    tree.MakeFile("x.tar.gz");
    const struct {
        const char* pattern;
        std::set<std::string> names;
    } rows[] = {
        {"*.*", {".", "..", "a.txt", "b.txt", "c.log", "noext", "sub", ".a", "..a", "x.tar.gz"}},
        {"*.*.*", {".", "..", "a.txt", "b.txt", "c.log", "noext", "sub", ".a", "..a", "x.tar.gz"}},
        {"*.gz", {"x.tar.gz"}},
        {"x.*", {"x.tar.gz"}},
        {"?.txt", {"a.txt", "b.txt"}},
    };
    for (const auto& row : rows) {
        IFileFind finder;
        ASSERT_EQ(finder.FindFirst(tree.Path(row.pattern).c_str(), 0), 1) << row.pattern;
        EXPECT_EQ(WalkNames(finder), row.names) << row.pattern;
    }
}

TEST_F(IFileFindTest, AWildcardInTheFolderPartIsAnInvalidName) {
    IFileFind finder;
    EXPECT_EQ(finder.FindFirst(tree.Path("s*/a.txt").c_str(), 0), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 123u);
    EXPECT_EQ(finder.FindFirst(tree.Path("s?b/*").c_str(), 0), 0);
    EXPECT_EQ(platform::GetLastErrorCode(), 123u);
    EXPECT_EQ(FileExists(tree.Path("*/a.txt").c_str()), 0);
}

TEST_F(IFileFindTest, DoubleByteNamesEndingInTheBackslashByte) {
    // 表 is 0x95 0x5C, ソ is 0x83 0x5C.
    const std::string folder = "\x95\\";
    ASSERT_EQ(CreateOneDirectory(tree.Path(folder).c_str()), 1);
    std::FILE* file =
        std::fopen((tree.Native("") + folder + TempTree::Separator() + "\x83\\.txt").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);

    IFileFind finder;
    ASSERT_EQ(finder.FindFirst(tree.Path(folder + "/*.txt").c_str(), 0), 1);
    // The folder is cut at the separator after 表, not inside 表 or ソ.
    EXPECT_EQ(finder.GetFolder(), tree.Native("") + folder);
    EXPECT_EQ(finder.FindNext(), 0);
    EXPECT_EQ(finder.GetName(), "\x83\\.txt");
    EXPECT_EQ(finder.GetBaseName(), "\x83\\");
    EXPECT_EQ(finder.GetPath(), tree.Native("") + folder + kSep + "\x83\\.txt");

    // A pattern that ends in ソ is a literal name in 表.
    ASSERT_EQ(finder.FindFirst(tree.Path(folder + "/\x83\\.txt").c_str(), 0), 1);
    EXPECT_EQ(finder.GetFolder(), tree.Native("") + folder);
}

TEST_F(IFileFindTest, TimesOfAFreshFileAreNow) {
    const std::int64_t before = std::time(nullptr);
    tree.MakeFile("fresh");
    const std::int64_t after = std::time(nullptr);
    IFileFind finder;
    ITime untouched(42);
    platform::FileTime raw{};
    EXPECT_EQ(finder.GetWriteTime(untouched), 0);
    EXPECT_EQ(finder.GetCreateTime(&raw), 0);
    EXPECT_EQ(untouched.Seconds(), 42);

    ASSERT_EQ(finder.FindFirst(tree.Path("fresh").c_str(), 0), 1);
    finder.FindNext();
    EXPECT_EQ(finder.GetWriteTime(nullptr), 0);
    for (auto query :
         {static_cast<int (IFileFind::*)(platform::FileTime*) const>(&IFileFind::GetWriteTime),
          static_cast<int (IFileFind::*)(platform::FileTime*) const>(&IFileFind::GetAccessTime),
          static_cast<int (IFileFind::*)(platform::FileTime*) const>(&IFileFind::GetCreateTime)}) {
        ASSERT_EQ((finder.*query)(&raw), 1);
        EXPECT_GE(UnixSeconds(raw), before - 2);
        EXPECT_LE(UnixSeconds(raw), after + 2);
    }
    for (auto query : {static_cast<int (IFileFind::*)(ITime&) const>(&IFileFind::GetWriteTime),
                       static_cast<int (IFileFind::*)(ITime&) const>(&IFileFind::GetAccessTime),
                       static_cast<int (IFileFind::*)(ITime&) const>(&IFileFind::GetCreateTime)}) {
        ITime time;
        ASSERT_EQ((finder.*query)(time), 1);
        EXPECT_GE(time.Seconds(), before - 2);
        EXPECT_LE(time.Seconds(), after + 2);
    }
}

// Overrides reach the operations built on them through the virtual table.
class RenamingFileFind : public IFileFind {
  public:
    std::string GetName() const override { return "renamed.ext"; }
    int HasAttributes(std::uint32_t) const override { return 1; }
    void CloseSearchHandle() override {
        ++closes;
        IFileFind::CloseSearchHandle();
    }
    int closes = 0;
};

TEST_F(IFileFindTest, OperationsCallOneAnotherThroughTheVirtualTable) {
    RenamingFileFind finder;
    ASSERT_EQ(finder.FindFirst(tree.Path("a.txt").c_str(), 0), 1);
    EXPECT_EQ(finder.GetPath(), tree.Root() + kSep + "renamed.ext");
    EXPECT_EQ(finder.GetBaseName(), "renamed");
    EXPECT_EQ(finder.GetUrl(), "file://" + tree.Root() + kSep + "renamed.ext");
    // HasAttributes now answers 1, yet with no entry current there is no dot entry.
    EXPECT_EQ(finder.IsDotEntry(), 0);
    finder.Close();
    EXPECT_EQ(finder.closes, 1);
    finder.Close();
    EXPECT_EQ(finder.closes, 1);
}

}  // namespace
