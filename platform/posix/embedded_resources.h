// What Windows keeps in an executable's resource section, compiled into the program instead:
// a generated source registers the string table while static objects are constructed, so that
// it exists before the entry runs, as resources do on Windows; another defines the manifest.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform::posix {

struct EmbeddedString {
    unsigned id;
    std::u16string_view text;
};

bool RegisterExecutableStrings(const EmbeddedString* strings, std::size_t count);

// The application manifest, defined by the executable that embeds one (the launcher's only).
std::string_view EmbeddedApplicationManifest();

}  // namespace platform::posix
