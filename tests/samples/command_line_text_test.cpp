#include "samples/command_line_text.h"

#include <gtest/gtest.h>

namespace {

TEST(SampleExitCode, ComesFromAWholeExitCodeArgument) {
    EXPECT_EQ(sample::RequestedExitCode("launcher --exit-code=7"), 7);
    EXPECT_EQ(sample::RequestedExitCode("launcher \"--exit-code=-5\" x"), -5);
    EXPECT_EQ(sample::RequestedExitCode("launcher --exit-code=2147483647"), 2147483647);
    EXPECT_EQ(sample::RequestedExitCode("launcher"), 0);
    EXPECT_EQ(sample::RequestedExitCode("launcher x--exit-code=9"), 0);
    EXPECT_EQ(sample::RequestedExitCode("launcher --exit-code=abc"), 0);
    EXPECT_EQ(sample::RequestedExitCode("launcher --exit-code=99999999999"), 0);
}

TEST(SampleText, Utf16BecomesUtf8WithSurrogatePairs) {
    const OLECHAR text[] = {'a', 0x5E33, 0xD83D, 0xDCD2, 0xDC00, 'z', 0};
    EXPECT_EQ(sample::Utf8FromUtf16(text), "a帳\xF0\x9F\x93\x92\xEF\xBF\xBDz");
    EXPECT_EQ(sample::Utf8FromUtf16(nullptr), "");
}

}  // namespace
