// What Windows keeps in an executable's resource section, compiled into the program instead:
// generated sources register the string table and the application manifest while static
// objects are constructed, so both exist before the entry runs, as resources do on Windows.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform::posix {

struct EmbeddedString {
    unsigned id;
    std::u16string_view text;
};

bool RegisterExecutableStrings(const EmbeddedString* strings, std::size_t count);

bool RegisterApplicationManifest(std::string_view manifestText);

// The manifest registered for this process; empty when none was.
std::string_view ApplicationManifest();

}  // namespace platform::posix
