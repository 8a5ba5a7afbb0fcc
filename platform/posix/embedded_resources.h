// What Windows keeps in an executable's resource section, compiled into the program instead:
// a generated source of the executable defines its string table (the classes of its
// application manifest: platform/activation_context.h).
#pragma once

#include <span>
#include <string_view>

namespace platform::posix {

struct EmbeddedString {
    unsigned id;
    std::u16string_view text;
};

// The executable's string table, defined by every executable that looks strings up.
std::span<const EmbeddedString> EmbeddedStringTable();

}  // namespace platform::posix
