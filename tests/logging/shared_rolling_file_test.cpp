// One contract on both systems: two writers on one rolling file, as two run objects in two
// processes are, lose nothing at the rollover.
#include "logging/shared_rolling_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/shared_append_file.h"
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

std::string Numbered(char tag, int number) {
    char record[16];
    std::snprintf(record, sizeof record, "%c%08d\n", tag, number);
    return record;
}

TEST_F(SharedRollingFileTest, AnIdleWriterHoldingTheBackupNeverStopsARollover) {
    // Ten-byte records, a 100-byte limit. The idle writer's file becomes the backup at the
    // first rollover and is dropped at the second while it still holds it open (which
    // Windows refuses to replace); its next record goes into the live file.
    SharedRollingFile idle(path_, 100, 1);
    SharedRollingFile busy(path_, 100, 1);
    ASSERT_TRUE(idle.Append(Numbered('i', 0)));
    for (int n = 0; n < 25; ++n) ASSERT_TRUE(busy.Append(Numbered('b', n)));
    ASSERT_TRUE(idle.Append(Numbered('i', 1)));
    std::string backup;
    std::string live;
    for (int n = 9; n < 19; ++n) backup += Numbered('b', n);
    for (int n = 19; n < 25; ++n) live += Numbered('b', n);
    EXPECT_EQ(Read(path_ + ".1"), backup);
    EXPECT_EQ(Read(path_), live + Numbered('i', 1));
}

TEST_F(SharedRollingFileTest, ALockNotHadInTimeLeavesTheRecordInTheFullFile) {
    SharedRollingFile file(path_, 10, 1);
    ASSERT_TRUE(file.Append("0123456789\n"));
    platform::SharedAppendFile holder;
    ASSERT_EQ(holder.Open(path_), platform::SharedAppendFile::OpenOutcome::kOpened);
    ASSERT_EQ(holder.TryLock(), platform::SharedAppendFile::LockOutcome::kLocked);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(file.Append("held 1\n"));
    ASSERT_TRUE(file.Append("held 2\n"));
    // Bounded by the lock's wait, with room for a slow machine: never the holder's time.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(Read(path_), "0123456789\nheld 1\nheld 2\n");
    EXPECT_FALSE(std::filesystem::exists(path_ + ".1"));

    holder.Unlock();
    ASSERT_TRUE(file.Append("free\n"));
    EXPECT_EQ(Read(path_ + ".1"), "0123456789\nheld 1\nheld 2\n");
    EXPECT_EQ(Read(path_), "free\n");
}

}  // namespace
