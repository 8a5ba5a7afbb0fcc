// File systems such as tmpfs, btrfs and XFS keep time stamps far beyond what a FILETIME can
// hold; the search must report them at the edge of the range, never by overflowing.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "fsutil/directory_tree.h"
#include "fsutil/ifile_find.h"

namespace {

std::uint64_t Ticks(const platform::FileTime& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// A folder on tmpfs, which stores any 64-bit time (ext4 would clamp the far ones to 2446).
class TmpfsFolder {
  public:
    TmpfsFolder() {
        std::string pattern = "/dev/shm/file-time-test-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    TmpfsFolder(const TmpfsFolder&) = delete;
    TmpfsFolder& operator=(const TmpfsFolder&) = delete;
    ~TmpfsFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

TEST(FileTimeExtremes, TimesOutsideTheFileTimeRangeSaturate) {
    constexpr std::uint64_t kLastFileTime = 0x7FFFFFFFFFFFFFFF;
    struct Case {
        std::int64_t seconds;  // since 1970, as `touch -d @seconds` sets it
        std::uint64_t ticks;   // 100 ns since 1601
    };
    const Case cases[] = {
        {1000000000000, kLastFileTime},       // the year 33658
        {-100000000000, 0},                   // the year -1199
        {-11644473600, 0},                    // 1601-01-01, the first file time
        {0, 116444736000000000},              // 1970-01-01
        {910692730085, 9223372036850000000},  // the last whole second a FILETIME holds
        {910692730086, kLastFileTime},
    };
    const TmpfsFolder folder;
    ASSERT_FALSE(folder.Path().empty()) << "no tmpfs folder under /dev/shm";
    const std::string file = folder.Path() + "/OvDefault.ini";
    const int descriptor = open(file.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(descriptor, 0);
    close(descriptor);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        const timespec times[2] = {{c.seconds, 0}, {c.seconds, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
        struct stat status {};
        ASSERT_EQ(stat(file.c_str(), &status), 0);
        ASSERT_EQ(status.st_mtim.tv_sec, c.seconds) << "the file system did not keep the time";

        EXPECT_EQ(FileExists(file.c_str()), 1);
        IFileFind finder;
        ASSERT_EQ(finder.FindFirst(file.c_str(), 0), 1);
        finder.FindNext();
        platform::FileTime written{};
        platform::FileTime accessed{};
        ASSERT_EQ(finder.GetWriteTime(&written), 1);
        ASSERT_EQ(finder.GetAccessTime(&accessed), 1);
        EXPECT_EQ(Ticks(written), c.ticks);
        EXPECT_EQ(Ticks(accessed), c.ticks);
        // The local-time conversion meets the same edges; it may fail, but not overflow.
        ITime local;
        EXPECT_EQ(finder.GetWriteTime(local), 1);
        if (c.ticks == 0 || c.ticks == kLastFileTime) {
            EXPECT_LE(local.Seconds(), 0);
        }
    }
}

}  // namespace
