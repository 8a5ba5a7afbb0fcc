// What only a Linux file system puts in the way: FIFOs, devices, links anyone may plant.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "logging/text_file.h"

namespace {

class TextFilePosixTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("text-file-posix-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }
    std::string Path(const char* name) const { return (root_ / name).string(); }

    std::filesystem::path root_;
};

TEST_F(TextFilePosixTest, FifosAndDevicesAreRefusedWithoutWaiting) {
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", Path("zero"));
    for (const char* name : {"fifo", "zero"}) {
        std::string text;
        EXPECT_EQ(ReadTextFile(Path(name), 100, text), TextFileRead::kUnreadable) << name;
        EXPECT_FALSE(RewriteTextFile(Path(name), "x")) << name;
    }
}

TEST_F(TextFilePosixTest, WritingInPlaceNeverFollowsALink) {
    { std::ofstream(Path("victim")) << "precious"; }
    std::filesystem::create_symlink(Path("victim"), Path("link"));
    EXPECT_FALSE(RewriteTextFile(Path("link"), "overwritten"));
    std::ifstream victim(Path("victim"));
    std::stringstream text;
    text << victim.rdbuf();
    EXPECT_EQ(text.str(), "precious");
}

TEST_F(TextFilePosixTest, TemporarySiblingGetsTheModeANewFileWouldGet) {
    const mode_t mask = umask(027);
    std::string path;
    const bool written = WriteTemporarySibling(Path("p.ini"), "x", path);
    umask(mask);
    ASSERT_TRUE(written);
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

}  // namespace
