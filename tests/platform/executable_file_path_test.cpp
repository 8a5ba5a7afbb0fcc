// The promise both platforms make for the executable's own path: the whole path, or nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/last_error.h"
#include "platform/process.h"

namespace {

constexpr char kGuard = '#';

std::string WholePath() {
    std::vector<char> buffer(32768, kGuard);
    const std::uint32_t length =
        platform::ExecutableFilePath(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    EXPECT_GT(length, 0u);
    EXPECT_EQ(std::strlen(buffer.data()), length);
    return buffer.data();
}

TEST(ExecutableFilePath, NamesTheRunningProgram) {
    const std::string path = WholePath();
    EXPECT_EQ(std::filesystem::path(path).stem().string(), "platform_tests") << path;
    EXPECT_TRUE(std::filesystem::path(path).is_absolute()) << path;
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
}

// A path longer than the buffer (an installation folder deeper than 260 bytes) is a failure
// with an empty, terminated buffer, never a cut path or one without a terminator.
TEST(ExecutableFilePath, APathThatDoesNotFitIsAFailure) {
    const std::string path = WholePath();
    const auto length = static_cast<std::uint32_t>(path.size());
    struct Case {
        std::uint32_t size;
        std::uint32_t result;
    };
    const Case cases[] = {
        {length + 1, length},  // exactly room for the terminator
        {length, 0},           // the last byte would have to be the terminator
        {length - 1, 0},      {length / 2, 0}, {1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<char> buffer(c.size + 16, kGuard);
        platform::SetLastErrorCode(0);
        EXPECT_EQ(platform::ExecutableFilePath(buffer.data(), c.size), c.result);
        if (c.result != 0) {
            EXPECT_EQ(std::string(buffer.data()), path);
        } else {
            EXPECT_EQ(buffer[0], '\0');
            EXPECT_EQ(platform::GetLastErrorCode(), platform::kErrorInsufficientBuffer);
        }
        for (std::size_t at = c.size; at < buffer.size(); ++at) {
            ASSERT_EQ(buffer[at], kGuard) << "written past the buffer at " << at;
        }
    }

    char untouched = kGuard;
    EXPECT_EQ(platform::ExecutableFilePath(&untouched, 0), 0u);
    EXPECT_EQ(untouched, kGuard);
}

}  // namespace
