// Registration-free activation without Windows: the application manifest names, for each
// in-process server file, the classes it serves; this finds the file of a class among them.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/activation_context.h"
#include "platform/com.h"

namespace platform::posix {

// "{1368DB73-5337-4934-BDD1-5BD251843AFE}", upper case, as manifests write them.
std::string FormatGuid(REFGUID guid);

// The file of the first declaration of this class; nothing when none declares it.
std::optional<std::string> FindClassFile(std::span<const DeclaredClass> classes, REFCLSID classId);

// The file to load on this system for a file named in the manifest: Windows module names
// ending in ".dll" are shared objects ending in ".so" here.
std::string LocalModuleName(const std::string& manifestFileName);

}  // namespace platform::posix
