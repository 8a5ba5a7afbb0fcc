#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/com.h"

namespace {

TEST(Bstr, HasTheByteLengthBeforeAndATerminatorAfterTheText) {
    const char16_t text[] = {'R', 'u', 'n', 0x8868, 0};
    BSTR bstr = platform::AllocBstr(text, 4);
    ASSERT_NE(bstr, nullptr);
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(bstr) - sizeof prefix, sizeof prefix);
    EXPECT_EQ(prefix, 8u);
    EXPECT_EQ(std::memcmp(bstr, text, sizeof text), 0);
    platform::FreeBstr(bstr);

    BSTR empty = platform::AllocBstr(nullptr, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], 0);
    platform::FreeBstr(empty);
    platform::FreeBstr(nullptr);
}

}  // namespace
