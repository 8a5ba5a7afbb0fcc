// One contract on both systems: two writers on one rolling file, as two run objects in two
// processes are, lose nothing at the rollover.
#include "logging/shared_rolling_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/shared_append_file.h"
#include "rolling_clock_fake.h"
#include "scratch_folder.h"

namespace {

class SharedRollingFileTest : public ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        path_ = Path("day.txt");
    }
    std::string path_;
    RollingClockFake clock_;
    std::vector<std::string> said_;
    SharedRollingFile::Report Recorder() {
        return [this](const std::string& line) { said_.push_back(line); };
    }
};

TEST_F(SharedRollingFileTest, TwoWritersCrossingRolloversKeepEveryRecordWithinTheBound) {
    // Two writers in turns, as two run objects in two processes are. Neither looks at the
    // file for every record, so a generation may pass the limit by what each writes before
    // its next look; it must never stay short of the limit (a writer that went by its own
    // count alone would roll over early and drop a backup), and no record is lost.
    constexpr std::int64_t kLimit = std::int64_t{64} * 1024;
    constexpr int kBackups = 8;
    SharedRollingFile first(path_, kLimit, kBackups, clock_);
    SharedRollingFile second(path_, kLimit, kBackups, clock_);
    std::vector<std::string> written;
    for (int n = 0; n < 2000; ++n) {
        for (auto [writer, tag] : {std::pair{&first, 'a'}, std::pair{&second, 'b'}}) {
            char record[16];
            std::snprintf(record, sizeof record, "%c%07d\n", tag, n);
            std::string padded(record);
            padded.insert(1, 91, '.');  // 100 bytes
            ASSERT_TRUE(writer->Append(padded));
            written.push_back(padded);
        }
    }
    const std::int64_t bound = kLimit + 2 * (SharedRollingFile::kLookAfterBytes + 100);
    std::string kept;
    for (int number = kBackups; number >= 1; --number) {
        const std::string generation = Read(path_ + "." + std::to_string(number));
        if (generation.empty()) continue;
        SCOPED_TRACE(number);
        EXPECT_GE(static_cast<std::int64_t>(generation.size()), kLimit);
        EXPECT_LT(static_cast<std::int64_t>(generation.size()), bound);
        kept += generation;
    }
    // The live file too may have passed the limit since the last rollover.
    EXPECT_LT(static_cast<std::int64_t>(Read(path_).size()), bound);
    kept += Read(path_);
    // Every record once, and each writer's in its order.
    std::vector<std::string> records;
    for (std::size_t at = 0; at < kept.size(); at += 100) records.push_back(kept.substr(at, 100));
    for (const char tag : {'a', 'b'}) {
        std::vector<std::string> mine;
        std::vector<std::string> meant;
        for (const auto& record : records) {
            if (record[0] == tag) mine.push_back(record);
        }
        for (const auto& record : written) {
            if (record[0] == tag) meant.push_back(record);
        }
        EXPECT_EQ(mine, meant) << tag;
    }
    EXPECT_EQ(records.size(), written.size());
}

TEST_F(SharedRollingFileTest, NoBackupsMeansTheFullFileIsStartedAfresh) {
    SharedRollingFile file(path_, 20, 0, clock_);
    ASSERT_TRUE(file.Append("0123456789\n"));
    ASSERT_TRUE(file.Append("0123456789\n"));
    ASSERT_TRUE(file.Append("last\n"));
    EXPECT_EQ(Read(path_), "last\n");
    EXPECT_FALSE(std::filesystem::exists(path_ + ".1"));
}

TEST_F(SharedRollingFileTest, BackupsAreShiftedOneUp) {
    SharedRollingFile file(path_, 5, 3, clock_);
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
    SharedRollingFile file(path_, 1000, 1, clock_);
    ASSERT_TRUE(file.Open());
    EXPECT_TRUE(std::filesystem::exists(path_));
    EXPECT_EQ(Read(path_), "");
}

TEST_F(SharedRollingFileTest, AFolderAtThePathTurnsTheFileOffForGood) {
    std::filesystem::create_directory(path_);
    SharedRollingFile file(path_, 1000, 1, clock_);
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
    SharedRollingFile idle(path_, 100, 1, clock_);
    SharedRollingFile busy(path_, 100, 1, clock_);
    ASSERT_TRUE(idle.Append(Numbered('i', 0)));
    for (int n = 0; n < 25; ++n) ASSERT_TRUE(busy.Append(Numbered('b', n)));
    // Idle for longer than a writer goes without looking at its file.
    clock_.Advance(2 * SharedRollingFile::kLookEvery);
    ASSERT_TRUE(idle.Append(Numbered('i', 1)));
    std::string backup;
    std::string live;
    for (int n = 9; n < 19; ++n) backup += Numbered('b', n);
    for (int n = 19; n < 25; ++n) live += Numbered('b', n);
    EXPECT_EQ(Read(path_ + ".1"), backup);
    EXPECT_EQ(Read(path_), live + Numbered('i', 1));
}

TEST_F(SharedRollingFileTest, ALockNotHadInTimeLeavesTheRecordInTheFullFile) {
    SharedRollingFile file(path_, 10, 1, clock_);
    ASSERT_TRUE(file.Append("0123456789\n"));
    platform::SharedAppendFile holder;
    ASSERT_EQ(holder.Open(path_).outcome, platform::SharedAppendFile::OpenOutcome::kOpened);
    ASSERT_EQ(holder.TryLock(), platform::SharedAppendFile::LockOutcome::kLocked);
    // The first record waits the lock's time, never the holder's; later ones try once.
    const auto start = clock_.Now();
    ASSERT_TRUE(file.Append("held 1\n"));
    EXPECT_GE(clock_.Now() - start, SharedRollingFile::kLockWait);
    EXPECT_LT(clock_.Now() - start, 2 * SharedRollingFile::kLockWait);
    const auto second = clock_.Now();
    ASSERT_TRUE(file.Append("held 2\n"));
    EXPECT_EQ(clock_.Now(), second);
    EXPECT_EQ(Read(path_), "0123456789\nheld 1\nheld 2\n");
    EXPECT_FALSE(std::filesystem::exists(path_ + ".1"));

    holder.Unlock();
    clock_.Advance(SharedRollingFile::kLookEvery);
    ASSERT_TRUE(file.Append("free\n"));
    EXPECT_EQ(Read(path_ + ".1"), "0123456789\nheld 1\nheld 2\n");
    EXPECT_EQ(Read(path_), "free\n");
}

TEST_F(SharedRollingFileTest, ALogThatCannotBeOpenedIsTriedAgainOnceASecond) {
    // A file where the log's folder should be: neither the folder nor the log can be made,
    // whoever runs the test.
    const std::string blocker = Path("folder");
    std::ofstream(blocker) << "in the way\n";
    const std::string path = blocker + "/day.txt";
    SharedRollingFile file(path, 1000, 1, clock_, Recorder());
    EXPECT_FALSE(file.Open());
    ASSERT_EQ(said_.size(), 1u);
    EXPECT_NE(said_[0].find(path), std::string::npos) << said_[0];
    EXPECT_NE(said_[0].find("tried once a second"), std::string::npos) << said_[0];

    // Once the way is free, nothing notices it before the second is out: records are
    // dropped without a try.
    std::filesystem::remove(blocker);
    std::filesystem::create_directory(blocker);
    for (int n = 0; n < 2000; ++n) ASSERT_FALSE(file.Append("dropped\n"));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(file.DroppedUnopened(), 2000);

    clock_.Advance(SharedRollingFile::kOpenRetryEvery);
    EXPECT_TRUE(file.Append("again\n"));
    EXPECT_EQ(Read(path), "again\n");
    EXPECT_EQ(said_.size(), 1u) << "one line for the process, not one a failure";
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(SharedRollingFileTest, RolloverNamesMayPassTheOldPathLimit) {
    // A log whose path fits in 260 characters while the names that a rollover moves files
    // to for a moment do not.
    std::string folder = Path("");
    while (folder.size() < 200) folder += std::string(40, 'f') + "/";
    std::filesystem::create_directories(folder);
    const std::string name = std::string(250 - folder.size(), 'd') + ".txt";
    SharedRollingFile file(folder + name, 10, 1, clock_);
    for (const char* record : {"first.....\n", "second....\n", "third.....\n"}) {
        ASSERT_TRUE(file.Append(record));
    }
    EXPECT_EQ(Read(folder + name + ".1"), "second....\n");
    EXPECT_EQ(Read(folder + name), "third.....\n");
    EXPECT_EQ(Names(folder), (std::vector<std::string>{name, name + ".1"}));
}

TEST_F(SharedRollingFileTest, ARolloverRemovesBackupsThatEarlierOnesCouldNotDelete) {
    const std::string leftover = path_ + ".retired-0123456789abcdef";
    std::ofstream(leftover) << "gone\n";
    std::filesystem::permissions(leftover, std::filesystem::perms::owner_read);
    SharedRollingFile file(path_, 10, 1, clock_);
    ASSERT_TRUE(file.Append("first.....\n"));
    ASSERT_TRUE(file.Append("second....\n"));
    EXPECT_EQ(Names(Path("")), (std::vector<std::string>{"day.txt", "day.txt.1"}));
}

}  // namespace
