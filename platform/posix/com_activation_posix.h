// Registration-free activation without Windows: the application manifest names, for each
// in-process server file, the classes it serves; this finds the file of a class.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/com.h"

namespace platform::posix {

// "{1368DB73-5337-4934-BDD1-5BD251843AFE}", upper case, as manifests write them.
std::string FormatGuid(REFGUID guid);

// The `name` of the `file` element with a `comClass` of this class; nothing when no file
// declares it or the manifest is not well-formed.
std::optional<std::string> FindClassFile(std::string_view manifest, REFCLSID classId);

// The file to load on this system for a file named in the manifest: Windows module names
// ending in ".dll" are shared objects ending in ".so" here.
std::string LocalModuleName(const std::string& manifestFileName);

}  // namespace platform::posix
