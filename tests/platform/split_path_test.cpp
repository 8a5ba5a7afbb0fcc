#include "platform/path.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "support/scoped_code_page.h"

namespace {

struct Parts {
    std::string drive, dir, fname, ext;
    bool operator==(const Parts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Parts& p) {
    return out << '[' << p.drive << "][" << p.dir << "][" << p.fname << "][" << p.ext << ']';
}

constexpr auto kWindows = platform::PathStyle::kWindows;
constexpr auto kPosix = platform::PathStyle::kPosix;

Parts Split(const std::string& path, platform::PathStyle style = kWindows) {
    char drive[platform::kMaxDrive], dir[platform::kMaxDir], fname[platform::kMaxFname],
        ext[platform::kMaxExt];
    platform::SplitPath(path.c_str(), drive, dir, fname, ext, style);
    return {drive, dir, fname, ext};
}

TEST(SplitPath, EachStyleSplitsAtItsOwnSeparators) {
    const struct {
        const char* path;
        Parts windows, posix;
    } rows[] = {
        {"C:\\Data\\Logs\\app.log",
         {"C:", "\\Data\\Logs\\", "app", ".log"},
         {"", "", "C:\\Data\\Logs\\app", ".log"}},
        {"C:\\Data\\Logs", {"C:", "\\Data\\", "Logs", ""}, {"", "", "C:\\Data\\Logs", ""}},
        {"/opt/orvane/launcher",
         {"", "/opt/orvane/", "launcher", ""},
         {"", "/opt/orvane/", "launcher", ""}},
        // A backslash is part of a Linux name; a dot behind it still starts the extension.
        {"/tmp/back\\slash docs/a\\b.c.d",
         {"", "/tmp/back\\slash docs/a\\", "b.c", ".d"},
         {"", "/tmp/back\\slash docs/", "a\\b.c", ".d"}},
        {"/srv/x.y\\name", {"", "/srv/x.y\\", "name", ""}, {"", "/srv/", "x", ".y\\name"}},
        {"C:name", {"C:", "", "name", ""}, {"", "", "C:name", ""}},
        {"a.b/c", {"", "a.b/", "c", ""}, {"", "a.b/", "c", ""}},
        {"archive.tar.gz", {"", "", "archive.tar", ".gz"}, {"", "", "archive.tar", ".gz"}},
        {".profile", {"", "", "", ".profile"}, {"", "", "", ".profile"}},
        {"", {"", "", "", ""}, {"", "", "", ""}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Split(row.path, kWindows), row.windows) << row.path;
        EXPECT_EQ(Split(row.path, kPosix), row.posix) << row.path;
    }
}

TEST(SplitPath, NeverSplitsAtTheSecondByteOfADoubleByteCharacter) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    // C:\表\ソ.txt: both characters end in 0x5C.
    EXPECT_EQ(Split("C:\\\x95\\\\\x83\\.txt"), (Parts{"C:", "\\\x95\\\\", "\x83\\", ".txt"}));
    EXPECT_EQ(Split("/\x95\\/\x83\\.txt", kPosix), (Parts{"", "/\x95\\/", "\x83\\", ".txt"}));
}

TEST(SplitPath, CutsOverlongComponentsWithinTheirBuffers) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    // 254 ASCII bytes then a double-byte character: it does not fit whole into 255 bytes.
    const std::string name = std::string(254, 'n') + "\x83\\";
    const Parts parts = Split("\\d\\" + name);
    EXPECT_EQ(parts.fname, std::string(254, 'n'));
}

TEST(SplitPath, ALeadByteWithNothingAfterItIsLeftOut) {
    // As _mbsnbcpy copies: the half of a character at the end of the text is no character.
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    for (const auto style : {kWindows, kPosix}) {
        EXPECT_EQ(Split("archive.tar.gz\xE0", style), (Parts{"", "", "archive.tar", ".gz"}));
        EXPECT_EQ(Split("dir/name\x81", style), (Parts{"", "dir/", "name", ""}));
        EXPECT_EQ(Split("\x81", style), (Parts{"", "", "", ""}));
        // A whole character just before the end stays.
        EXPECT_EQ(Split("a.\x95\\", style), (Parts{"", "", "a", ".\x95\\"}));
    }
}

}  // namespace
