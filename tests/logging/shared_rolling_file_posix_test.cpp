// Removing a file that the process itself holds open: on Linux the name goes at once. On
// Windows it only marks the file, which keeps its name until the last handle closes, and
// Wine does not report the mark; there the contract tests remove the log from outside
// (test_shared_rolling_file_contract.py).
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "logging/shared_rolling_file.h"
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
        SharedRollingFile file(path, 1000, 1);
        ASSERT_TRUE(file.Append("first\n"));
        std::filesystem::remove_all(removed);
        // Told at the first record after a writer's time without looking.
        std::this_thread::sleep_for(2 * SharedRollingFile::kLookEvery);
        ASSERT_TRUE(file.Append("second\n"));
        EXPECT_EQ(Read(path), "second\n");
    }
}

}  // namespace
