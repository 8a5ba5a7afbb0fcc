// What Windows keeps in an executable's resource section, compiled into the program instead:
// a generated source registers the string table while static objects are constructed, so that
// it exists before the entry runs, as resources do on Windows; another defines the classes
// of the application manifest.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "platform/activation_context.h"

namespace platform::posix {

struct EmbeddedString {
    unsigned id;
    std::u16string_view text;
};

bool RegisterExecutableStrings(const EmbeddedString* strings, std::size_t count);

// The classes of the application manifest, defined by the executable that has one (the
// launcher's only).
std::span<const DeclaredClass> EmbeddedClassTable();

}  // namespace platform::posix
