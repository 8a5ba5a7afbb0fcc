// One contract on both systems: two writers on one rolling file, as two run objects in two
// processes are, lose nothing at the rollover.
#include "logging/shared_rolling_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "scratch_folder.h"

namespace {

class SharedRollingFileTest : public ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        path_ = Path("day.txt");
    }
    std::string path_;
};

TEST_F(SharedRollingFileTest, TwoWritersCrossingTheRolloverKeepEveryRecord) {
    // Nine-byte records in turns from two writers, a 1000-byte limit: the file is rolled
    // over whenever it holds 112 records (1008 bytes), whoever writes next; so after 300
    // records the backup holds records 112 to 223 and the file the 76 since. A writer that
    // went by its own count would roll over at other moments and drop a backup early.
    SharedRollingFile first(path_, 1000, 1);
    SharedRollingFile second(path_, 1000, 1);
    std::vector<std::string> written;
    for (int n = 0; n < 150; ++n) {
        for (auto [writer, tag] : {std::pair{&first, 'a'}, std::pair{&second, 'b'}}) {
            char record[16];
            std::snprintf(record, sizeof record, "%c%07d\n", tag, n);
            ASSERT_TRUE(writer->Append(record));
            written.emplace_back(record);
        }
    }
    const std::string kept = Read(path_ + ".1") + Read(path_);
    std::string expected;
    for (std::size_t n = 224 - 112; n < written.size(); ++n) expected += written[n];
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(Read(path_ + ".1").size(), 1008u);
}

TEST_F(SharedRollingFileTest, NoBackupsMeansTheFullFileIsStartedAfresh) {
    SharedRollingFile file(path_, 20, 0);
    ASSERT_TRUE(file.Append("0123456789\n"));
    ASSERT_TRUE(file.Append("0123456789\n"));
    ASSERT_TRUE(file.Append("last\n"));
    EXPECT_EQ(Read(path_), "last\n");
    EXPECT_FALSE(std::filesystem::exists(path_ + ".1"));
}

TEST_F(SharedRollingFileTest, BackupsAreShiftedOneUp) {
    SharedRollingFile file(path_, 5, 3);
    for (const char* record : {"one..\n", "two..\n", "three\n", "four.\n", "five.\n"}) {
        ASSERT_TRUE(file.Append(record));
    }
    EXPECT_EQ(Read(path_), "five.\n");
    EXPECT_EQ(Read(path_ + ".1"), "four.\n");
    EXPECT_EQ(Read(path_ + ".2"), "three\n");
    EXPECT_EQ(Read(path_ + ".3"), "two..\n");
    EXPECT_FALSE(std::filesystem::exists(path_ + ".4"));
}

TEST_F(SharedRollingFileTest, OpeningMakesTheDaysFileBeforeAnyRecord) {
    SharedRollingFile file(path_, 1000, 1);
    ASSERT_TRUE(file.Open());
    EXPECT_TRUE(std::filesystem::exists(path_));
    EXPECT_EQ(Read(path_), "");
}

TEST_F(SharedRollingFileTest, AFolderAtThePathTurnsTheFileOffForGood) {
    std::filesystem::create_directory(path_);
    SharedRollingFile file(path_, 1000, 1);
    EXPECT_FALSE(file.Open());
    EXPECT_FALSE(file.Append("lost\n"));
    EXPECT_TRUE(file.IsTurnedOff());
    std::filesystem::remove(path_);
    EXPECT_FALSE(file.Append("still off\n"));
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(SharedRollingFileTest, AFileRemovedMeanwhileIsMadeAgain) {
    SharedRollingFile file(path_, 1000, 1);
    ASSERT_TRUE(file.Append("first\n"));
    std::filesystem::rename(path_, path_ + ".moved");
    ASSERT_TRUE(file.Append("second\n"));
    EXPECT_EQ(Read(path_), "second\n");
    EXPECT_EQ(Read(path_ + ".moved"), "first\n");
}

}  // namespace
