// Where appends take a lock (Wine, whose append is no single step; a share), a record is
// never written without it: one that cannot have it in time is dropped and counted. On a
// local NTFS volume appends need no lock, and there is nothing here to hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logging/shared_rolling_file.h"
#include "platform/shared_append_file.h"
#include "rolling_clock_fake.h"
#include "scratch_folder.h"

namespace {

using platform::SharedAppendFile;

class AppendLockTest : public ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        path_ = Path("day.txt");
        ASSERT_EQ(holder_.Open(path_).outcome, SharedAppendFile::OpenOutcome::kOpened);
        needsLock_ = holder_.AppendsNeedLock();
    }
    // Windows removes no folder that holds an open file.
    void TearDown() override {
        holder_.Close();
        ScratchFolder::TearDown();
    }
    SharedRollingFile::Report Recorder() {
        return [this](const std::string& line) { said_.push_back(line); };
    }

    std::string path_;
    SharedAppendFile holder_;
    bool needsLock_ = false;
    RollingClockFake clock_;
    std::vector<std::string> said_;
};

TEST_F(AppendLockTest, AHoldThatOutlastsTheWaitCostsRecordsNotWholeness) {
    if (!needsLock_) return;
    SharedRollingFile file(path_, 1000, 1, clock_, Recorder());
    ASSERT_TRUE(file.Append("before\n"));
    ASSERT_EQ(holder_.TryLockAppends().outcome, SharedAppendFile::LockOutcome::kLocked);

    const auto start = clock_.Now();
    EXPECT_FALSE(file.Append("dropped 1\n"));
    EXPECT_GE(clock_.Now() - start, SharedRollingFile::kAppendLockWait);
    // The same hold: one try each, no wait.
    const auto stalled = clock_.Now();
    EXPECT_FALSE(file.Append("dropped 2\n"));
    EXPECT_FALSE(file.Append("dropped 3\n"));
    EXPECT_EQ(clock_.Now(), stalled);
    EXPECT_EQ(Read(path_), "before\n");
    EXPECT_EQ(file.DroppedForLock(), 3);
    EXPECT_TRUE(said_.empty()) << "the count is told once the stall is over";

    holder_.UnlockAppends();
    EXPECT_TRUE(file.Append("after\n"));
    EXPECT_EQ(Read(path_), "before\nafter\n");
    ASSERT_EQ(said_.size(), 1u);
    EXPECT_EQ(said_[0].rfind("3 records not written to " + path_, 0), 0u) << said_[0];
}

TEST_F(AppendLockTest, AHolderThatIsOnlySlowCostsWaitingNotRecords) {
    // Many holds one after another, as busy neighbours make them, for longer in all than
    // one hold may last: every one is short, so the record waits and is written.
    if (!needsLock_) return;
    SharedRollingFile file(path_, 1000, 1, clock_, Recorder());
    ASSERT_EQ(holder_.TryLockAppends().outcome, SharedAppendFile::LockOutcome::kLocked);
    const auto start = clock_.Now();
    clock_.onPause = [&] {
        holder_.UnlockAppends();
        if (clock_.Now() - start < 3 * SharedRollingFile::kAppendLockWait) {
            ASSERT_EQ(holder_.TryLockAppends().outcome, SharedAppendFile::LockOutcome::kLocked);
        }
    };
    EXPECT_TRUE(file.Append("waited\n"));
    EXPECT_GE(clock_.Now() - start, 3 * SharedRollingFile::kAppendLockWait);
    EXPECT_EQ(Read(path_), "waited\n");
    EXPECT_EQ(file.DroppedForLock(), 0);
    EXPECT_TRUE(said_.empty());
}

}  // namespace
