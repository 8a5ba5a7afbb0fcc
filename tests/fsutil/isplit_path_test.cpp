#include "fsutil/isplit_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/code_page.h"
#include "support/scoped_code_page.h"

namespace {

// A backslash and `count` bytes "d": the directory part of a long path. (Built in one piece:
// GCC 12 at -O3 takes "\\" + std::string(...) for an overlapping copy, bug 105329.)
std::string Rooted(std::size_t count) {
    std::string text(count + 1, 'd');
    text.front() = '\\';
    return text;
}

struct Fields {
    std::string drive, server, dir, fname, ext, driveDir, fnameExt;
    bool operator==(const Fields&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Fields& f) {
    return out << '[' << f.drive << "][" << f.server << "][" << f.dir << "][" << f.fname << "]["
               << f.ext << "][" << f.driveDir << "][" << f.fnameExt << ']';
}

Fields Read(const ISplitPath& split) {
    return {split.Drive, split.Server,   split.Dir,     split.Fname,
            split.Ext,   split.DriveDir, split.FnameExt};
}

constexpr auto kWindows = platform::PathStyle::kWindows;
constexpr auto kPosix = platform::PathStyle::kPosix;

class ISplitPathTest : public ::testing::Test {
  private:
    ScopedAnsiCodePage shiftJis_{platform::kCodePageShiftJis};
};

TEST_F(ISplitPathTest, SplitsLocalAndNetworkPaths) {
    const struct {
        const char* path;
        Fields expected;
    } rows[] = {
        {"C:\\Data\\Logs\\app.log",
         {"C:", "", "\\Data\\Logs\\", "app", ".log", "C:\\Data\\Logs\\", "app.log"}},
        {"C:\\Data\\Logs", {"C:", "", "\\Data\\", "Logs", "", "C:\\Data\\", "Logs"}},
        {"C:\\", {"C:", "", "\\", "", "", "C:\\", ""}},
        {"Logs", {"", "", "", "Logs", "", "", "Logs"}},
        {"\\\\srv\\share\\dir\\file.txt",
         {"\\\\srv", "srv", "\\share\\dir\\", "file", ".txt", "\\\\srv\\share\\dir\\", "file.txt"}},
        {"\\\\srv\\share", {"\\\\srv", "srv", "\\", "share", "", "\\\\srv\\", "share"}},
        {"\\\\srv", {"", "", "", "srv", "", "", "srv"}},
        // Two backslashes alone, or with only a name, are no network path.
        {"\\\\", {"", "", "", "", "", "", ""}},
        {"\\\\x", {"", "", "", "x", "", "", "x"}},
        // A third backslash makes the server name empty.
        {"\\\\\\x", {"\\\\", "", "\\", "x", "", "\\\\\\", "x"}},
        // Only backslashes introduce a server: forward slashes are an ordinary directory.
        {"//srv/share/a.b", {"", "", "//srv/share/", "a", ".b", "//srv/share/", "a.b"}},
        {"C:relative.txt", {"C:", "", "", "relative", ".txt", "C:", "relative.txt"}},
        {"dir.d\\name", {"", "", "dir.d\\", "name", "", "dir.d\\", "name"}},
        {"a/b\\c.tar.gz", {"", "", "a/b\\", "c.tar", ".gz", "a/b\\", "c.tar.gz"}},
    };
    for (const auto& row : rows) {
        const ISplitPath split(row.path, kWindows);
        EXPECT_EQ(Read(split), row.expected) << row.path;
        EXPECT_STREQ(split.Path, row.path);
    }
}

TEST_F(ISplitPathTest, ALinuxPathHasNeitherDrivesNorNetworkPathsNorBackslashSeparators) {
    const struct {
        const char* path;
        Fields expected;
    } rows[] = {
        {"/tmp/x/back\\slash docs/Logs",
         {"", "", "/tmp/x/back\\slash docs/", "Logs", "", "/tmp/x/back\\slash docs/", "Logs"}},
        {"/tmp/x/back\\slash docs",
         {"", "", "/tmp/x/", "back\\slash docs", "", "/tmp/x/", "back\\slash docs"}},
        {"\\\\srv\\share\\a.b", {"", "", "", "\\\\srv\\share\\a", ".b", "", "\\\\srv\\share\\a.b"}},
        {"\\\\srv/share/x", {"", "", "\\\\srv/share/", "x", "", "\\\\srv/share/", "x"}},
        {"C:/x", {"", "", "C:/", "x", "", "C:/", "x"}},
        {"/", {"", "", "/", "", "", "/", ""}},
    };
    for (const auto& row : rows) {
        const ISplitPath split(row.path, kPosix);
        EXPECT_EQ(Read(split), row.expected) << row.path;
    }
}

TEST_F(ISplitPathTest, OnlyWholeCharactersAreCopied) {
    // A lead byte at the very end has no second byte: _mbsnbcpy leaves it out, in every field.
    for (const auto style : {kWindows, kPosix}) {
        const ISplitPath ext("C:archive.tar.gz\xE0", style);
        EXPECT_EQ(std::string(ext.Path), "C:archive.tar.gz");
        EXPECT_EQ(std::string(ext.Ext), ".gz");
        EXPECT_EQ(std::string(ext.FnameExt),
                  style == kWindows ? "archive.tar.gz" : "C:archive.tar.gz");
        const ISplitPath name("d/name\x81", style);
        EXPECT_EQ(std::string(name.Fname), "name");
        EXPECT_EQ(std::string(name.Path), "d/name");
    }
}

TEST_F(ISplitPathTest, EmptyAndNullLeaveEveryFieldEmpty) {
    const Fields empty{};
    const ISplitPath fromEmpty("");
    EXPECT_EQ(Read(fromEmpty), empty);
    EXPECT_STREQ(fromEmpty.Path, "");

    ISplitPath fromNull(nullptr);
    EXPECT_EQ(Read(fromNull), empty);
    EXPECT_EQ(fromNull.Split(""), 1);

    // A null path changes nothing that an earlier split left.
    ISplitPath split("\\\\srv\\share\\x.y", kWindows);
    EXPECT_EQ(split.Split(nullptr), 0);
    EXPECT_STREQ(split.Path, "\\\\srv\\share\\x.y");
    EXPECT_STREQ(split.Server, "srv");
    EXPECT_STREQ(split.FnameExt, "x.y");
}

TEST_F(ISplitPathTest, SecondBytesOfDoubleByteCharactersAreNoSeparators) {
    // 表 (0x95 0x5C) and ソ (0x83 0x5C) both end in the backslash byte.
    const ISplitPath local("C:\\Data\\\x95\\\\\x83\\.txt", kWindows);
    EXPECT_EQ(Read(local), (Fields{"C:", "", "\\Data\\\x95\\\\", "\x83\\", ".txt",
                                   "C:\\Data\\\x95\\\\", "\x83\\.txt"}));

    // A directory part that ends in such a character keeps it whole.
    const ISplitPath folder("C:\\\x95\\\\\x83\\", kWindows);
    EXPECT_STREQ(folder.Dir, "\\\x95\\\\");
    EXPECT_STREQ(folder.Fname, "\x83\\");

    // The server name ends at the first real backslash, not inside 表.
    const ISplitPath network("\\\\\x95\\srv\\\x83\\\\f", kWindows);
    EXPECT_EQ(Read(network), (Fields{"\\\\\x95\\srv", "\x95\\srv", "\\\x83\\\\", "f", "",
                                     "\\\\\x95\\srv\\\x83\\\\", "f"}));
}

TEST_F(ISplitPathTest, OverlongInputIsCutInsideEveryBuffer) {
    // Cut at 260 bytes: a double-byte character that would straddle the limit is left out.
    const std::string longName = std::string(259, 'a') + "\x83\\" + "tail";
    const ISplitPath straddling(longName.c_str());
    EXPECT_EQ(std::string(straddling.Path), std::string(259, 'a'));
    EXPECT_EQ(std::string(straddling.Fname), std::string(255, 'a'));
    EXPECT_EQ(std::string(straddling.FnameExt), std::string(255, 'a'));

    // A directory part of 259 bytes goes into a 255-byte buffer.
    const std::string deep = Rooted(257) + "\\x";
    const ISplitPath cut(deep.c_str(), kWindows);
    EXPECT_EQ(std::string(cut.Path), deep.substr(0, 260));
    EXPECT_EQ(std::string(cut.Dir), Rooted(254));
    EXPECT_EQ(std::string(cut.DriveDir), std::string(cut.Dir));
    EXPECT_STREQ(cut.Fname, "x");

    // The same with a double-byte character across the 255-byte limit of the directory.
    const std::string fittingDir = Rooted(252) + "\x95\\" + "\\x";
    const ISplitPath fitting(fittingDir.c_str(), kWindows);
    EXPECT_EQ(std::string(fitting.Dir), Rooted(252) + "\x95\\");
    const std::string overDir = Rooted(253) + "\x95\\" + "\\x";
    const ISplitPath over(overDir.c_str(), kWindows);
    EXPECT_EQ(std::string(over.Dir), Rooted(253));

    // A network path of nearly 260 bytes.
    const std::string network =
        "\\\\" + std::string(200, 's') + "\\" + std::string(50, 'h') + "\\" + std::string(5, 'f');
    const ISplitPath server(network.c_str(), kWindows);
    EXPECT_EQ(std::string(server.Server), std::string(200, 's'));
    EXPECT_EQ(std::string(server.DriveDir), network.substr(0, 254));
    EXPECT_LE(std::strlen(server.DriveDir), ISplitPath::kPathCapacity);
}

}  // namespace
