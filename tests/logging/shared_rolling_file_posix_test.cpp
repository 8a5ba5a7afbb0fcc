// Removing a file that the process itself holds open: on Linux the name goes at once. On
// Windows it only marks the file, which keeps its name until the last handle closes, and
// Wine does not report the mark; there the contract tests remove the log from outside
// (test_shared_rolling_file_contract.py).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "logging/shared_rolling_file.h"
#include "rolling_clock_fake.h"
#include "scratch_folder.h"

namespace {

class SharedRollingFilePosixTest : public ScratchFolder {};

TEST_F(SharedRollingFilePosixTest, AFileOrFolderRemovedMeanwhileIsMadeAgain) {
    // The open file is not looked up by its path for every record: a removed one is told
    // from the handle, and the next record goes into a new file, folders and all.
    const std::string folder = Path("folder");
    const std::string inFolder = Path("folder/sub/day.txt");
    const std::string day = Path("day.txt");
    for (const auto& [removed, path] : {std::pair{day, day}, std::pair{folder, inFolder}}) {
        SCOPED_TRACE(removed);
        RollingClockFake clock;
        SharedRollingFile file(path, 1000, 1, clock);
        ASSERT_TRUE(file.Append("first\n"));
        std::filesystem::remove_all(removed);
        // Told at the first record after a writer's time without looking.
        clock.Advance(2 * SharedRollingFile::kLookEvery);
        ASSERT_TRUE(file.Append("second\n"));
        EXPECT_EQ(Read(path), "second\n");
    }
}

TEST_F(SharedRollingFilePosixTest, AFailureAfterARecordStartsTheWaitToo) {
    // The log's folder taken away and a file put in its place: the next look finds the log
    // removed, and making it again fails.
    RollingClockFake clock;
    std::vector<std::string> said;
    const std::string folder = Path("folder");
    const std::string path = folder + "/day.txt";
    SharedRollingFile file(path, 1000, 1, clock,
                           [&said](const std::string& line) { said.push_back(line); });
    ASSERT_TRUE(file.Append("first\n"));
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "in the way\n";
    clock.Advance(SharedRollingFile::kPathLookEvery);
    EXPECT_FALSE(file.Append("lost\n"));
    EXPECT_EQ(said.size(), 1u);

    std::filesystem::remove(folder);
    EXPECT_FALSE(file.Append("not tried\n"));
    EXPECT_FALSE(std::filesystem::exists(folder));
    clock.Advance(SharedRollingFile::kOpenRetryEvery);
    EXPECT_TRUE(file.Append("made again\n"));
    EXPECT_EQ(Read(path), "made again\n");
    EXPECT_EQ(file.DroppedUnopened(), 2);
}

}  // namespace
