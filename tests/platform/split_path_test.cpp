#include "platform/path.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"

namespace {

struct Parts {
    std::string drive, dir, fname, ext;
    bool operator==(const Parts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Parts& p) {
    return out << '[' << p.drive << "][" << p.dir << "][" << p.fname << "][" << p.ext << ']';
}

Parts Split(const std::string& path) {
    char drive[platform::kMaxDrive], dir[platform::kMaxDir], fname[platform::kMaxFname],
        ext[platform::kMaxExt];
    platform::SplitPath(path.c_str(), drive, dir, fname, ext);
    return {drive, dir, fname, ext};
}

TEST(SplitPath, SplitsDriveDirectoryNameAndExtension) {
    EXPECT_EQ(Split("C:\\Data\\Logs\\app.log"), (Parts{"C:", "\\Data\\Logs\\", "app", ".log"}));
    EXPECT_EQ(Split("C:\\Data\\Logs"), (Parts{"C:", "\\Data\\", "Logs", ""}));
    EXPECT_EQ(Split("/opt/orvane/launcher"), (Parts{"", "/opt/orvane/", "launcher", ""}));
    EXPECT_EQ(Split("a.b/c"), (Parts{"", "a.b/", "c", ""}));
    EXPECT_EQ(Split("archive.tar.gz"), (Parts{"", "", "archive.tar", ".gz"}));
    EXPECT_EQ(Split(".profile"), (Parts{"", "", "", ".profile"}));
    EXPECT_EQ(Split(""), (Parts{"", "", "", ""}));
}

TEST(SplitPath, NeverSplitsAtTheSecondByteOfADoubleByteCharacter) {
    platform::SelectAnsiCodePage(platform::kCodePageShiftJis);
    // C:\表\ソ.txt: both characters end in 0x5C.
    EXPECT_EQ(Split("C:\\\x95\\\\\x83\\.txt"), (Parts{"C:", "\\\x95\\\\", "\x83\\", ".txt"}));
    platform::SelectAnsiCodePage(0);
}

TEST(SplitPath, CutsOverlongComponentsWithinTheirBuffers) {
    platform::SelectAnsiCodePage(platform::kCodePageShiftJis);
    // 254 ASCII bytes then a double-byte character: it does not fit whole into 255 bytes.
    const std::string name = std::string(254, 'n') + "\x83\\";
    const Parts parts = Split("\\d\\" + name);
    EXPECT_EQ(parts.fname, std::string(254, 'n'));
    platform::SelectAnsiCodePage(0);
}

}  // namespace
