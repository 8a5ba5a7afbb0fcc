// What Windows keeps in an executable's resource section, compiled into the program instead:
// generated sources of the executable define its string table and the classes of its
// application manifest.
#pragma once

#include <span>
#include <string_view>

#include "platform/activation_context.h"

namespace platform::posix {

struct EmbeddedString {
    unsigned id;
    std::u16string_view text;
};

// The executable's string table, defined by every executable that looks strings up.
std::span<const EmbeddedString> EmbeddedStringTable();

// The classes of the application manifest, defined by the executable that has one (the
// launcher's only).
std::span<const DeclaredClass> EmbeddedClassTable();

}  // namespace platform::posix
