#include <gtest/gtest.h>

#include <string>

#include "logging/init_logging.h"
#include "platform/code_page.h"
#include "support/scoped_code_page.h"

namespace {

constexpr auto kWindows = platform::PathStyle::kWindows;
constexpr auto kPosix = platform::PathStyle::kPosix;

// A documents folder redirected to the root of a drive or share ends in its separator: the
// log root gets no second one, which no search would ever find.
TEST(LogRoot, JoinsTheDocumentsFolderWithOneSeparator) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    const struct {
        const char* documents;
        platform::PathStyle style;
        const char* logRoot;
    } rows[] = {
        {"C:\\Users\\kei\\Documents", kWindows, "C:\\Users\\kei\\Documents\\Orvane\\SystemLog"},
        {"H:\\", kWindows, "H:\\Orvane\\SystemLog"},
        {"H:/", kWindows, "H:/Orvane\\SystemLog"},
        {"\\\\srv\\home$", kWindows, "\\\\srv\\home$\\Orvane\\SystemLog"},
        {"\\\\srv\\home$\\", kWindows, "\\\\srv\\home$\\Orvane\\SystemLog"},
        // 表 ends in the backslash's byte, which is no separator.
        {"D:\\\x95\\", kWindows, "D:\\\x95\\\\Orvane\\SystemLog"},
        {"/home/kei/Documents", kPosix, "/home/kei/Documents/Orvane/SystemLog"},
        {"/", kPosix, "/Orvane/SystemLog"},
        {"/home/kei\\", kPosix, "/home/kei\\/Orvane/SystemLog"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LogRoot(row.documents, row.style), row.logRoot) << row.documents;
    }
}

}  // namespace
