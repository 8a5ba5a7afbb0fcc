#include "launcher/fatal_error.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "support/scoped_code_page.h"

namespace {

// The expected texts in the two code pages the launcher meets: Shift_JIS bytes as on the
// target system, and UTF-8.
const std::string kMessageSjis =
    "AppRun\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xcc\x8d\xec\x90\xac\x82\xc9\x8e\xb8\x94s\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
    "B";
const std::string kFallbackSjis =
    "\x92v\x96\xbd\x93I\x82\xc8\x83G\x83\x89\x81["
    "\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
    "B";
const std::string kClosingSjis =
    "\n\x8f\x88\x97\x9d\x82\xf0\x8cp\x91\xb1\x82\xb7\x82\xe9\x82\xb1\x82\xc6\x82\xaa\x82\xc5\x82"
    "\xab\x82\xdc\x82\xb9\x82\xf1\x81"
    "B";

TEST(FatalErrorMessage, RunObjectMessageIsFollowedByTheClosingSentence) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    EXPECT_EQ(LoadResourceString(10010), kMessageSjis);
    EXPECT_EQ(FatalErrorText(10010), kMessageSjis + kClosingSjis);

    const ScopedAnsiCodePage utf8(platform::kCodePageUtf8);
    EXPECT_EQ(FatalErrorText(10010),
              "AppRunオブジェクトの作成に失敗しました。\n処理を継続することができません。");
}

TEST(FatalErrorMessage, AbsentOrEmptyEntriesGiveTheFallbackMessage) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    // 10011 exists with length 0; 10013 has no text in a block that exists; 4242 has no block.
    for (unsigned id : {10011u, 10013u, 4242u, 0u}) {
        EXPECT_EQ(LoadResourceString(id), "") << id;
        EXPECT_EQ(FatalErrorText(id), kFallbackSjis + kClosingSjis) << id;
    }
}

TEST(FatalErrorMessage, EntriesAfterAnEmptyOneAreFoundByTheirLengths) {
    const ScopedAnsiCodePage utf8(platform::kCodePageUtf8);
    EXPECT_EQ(LoadResourceString(10012), "after the empty one");
    EXPECT_EQ(LoadResourceString(10015), "last of the block");
}

}  // namespace
