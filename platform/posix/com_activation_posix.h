// Registration-free activation without Windows: the application manifest names, for each
// in-process server file, the classes it serves; these name a class as the manifest does and
// its file as this system names it.
#pragma once

#include <string>

#include "platform/com.h"

namespace platform::posix {

// "{1368DB73-5337-4934-BDD1-5BD251843AFE}", upper case, as manifests write them.
std::string FormatGuid(REFGUID guid);

// The file to load on this system for a file named in the manifest: Windows module names
// ending in ".dll" are shared objects ending in ".so" here.
std::string LocalModuleName(const std::string& manifestFileName);

}  // namespace platform::posix
