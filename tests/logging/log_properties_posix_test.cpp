// What a Linux folder may hold beside the generated file: names with the characters that
// patterns give meaning to, links, folders.
#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "local_clock_fake.h"
#include "logging/log_properties.h"
#include "scratch_folder.h"

namespace {

class LogPropertiesPosixTest : public ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        local_clock_fake::SetLocalDate(2016, 9, 20);
    }

    // Last written (and read) a day ago; links themselves are not followed.
    static void AgeByADay(const std::string& path) {
        const std::time_t dayAgo = std::time(nullptr) - std::time_t{24} * 60 * 60;
        const timespec times[2] = {{dayAgo, 0}, {dayAgo, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
    }
};

TEST_F(LogPropertiesPosixTest, NamesAreComparedNotMatched) {
    // As patterns, "Tax*Link?[ab]" and "T?x" would match the other names too.
    const struct {
        const char* name;
        bool remains;
    } cases[] = {
        {"Tax*Link?[ab].ini.0123456789ab.tmp", false}, {"TaxLink[ab].ini.0123456789ab.tmp", true},
        {"TaxALinkXa.ini.0123456789ab.tmp", true},     {"Tax*Link?a.ini.0123456789ab.tmp", true},
        {"T?x.ini.0123456789ab.tmp", false},           {"Tax.ini.0123456789ab.tmp", true},
    };
    for (const auto& c : cases) {
        { std::ofstream(Path(c.name)) << "left behind\n"; }
        AgeByADay(Path(c.name));
    }
    WriteLogProperties("Tax*Link?[ab]", root_.string(), 1, 0, 0, 0);
    WriteLogProperties("T?x", root_.string(), 1, 0, 0, 0);
    for (const auto& c : cases) {
        EXPECT_EQ(std::filesystem::exists(Path(c.name)), c.remains) << c.name;
    }
}

TEST_F(LogPropertiesPosixTest, OnlyRegularFilesAreTakenForLeftovers) {
    { std::ofstream(Path("target")) << "precious"; }
    std::filesystem::create_symlink(Path("target"), Path("TaxLink.ini.000000000000.tmp"));
    std::filesystem::create_directory(Path("TaxLink.ini.111111111111.tmp"));
    for (const char* name : {"TaxLink.ini.000000000000.tmp", "TaxLink.ini.111111111111.tmp"}) {
        AgeByADay(Path(name));
    }
    WriteLogProperties("TaxLink", root_.string(), 1, 0, 0, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(Path("TaxLink.ini.000000000000.tmp")));
    EXPECT_TRUE(std::filesystem::is_directory(Path("TaxLink.ini.111111111111.tmp")));
    EXPECT_EQ(Read(Path("target")), "precious");
}

}  // namespace
