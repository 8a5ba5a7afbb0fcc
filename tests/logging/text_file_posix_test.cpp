// What only a Linux file system puts in the way: FIFOs, devices, links anyone may plant.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "logging/text_file.h"
#include "scratch_folder.h"

namespace {

using TextFilePosixTest = ScratchFolder;

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
    EXPECT_EQ(Read(Path("victim")), "precious");
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
