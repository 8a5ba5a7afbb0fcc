// Where the run object's class is found.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace platform {

// A class the executable's manifest declares, and the file (as the manifest names it) that
// serves it.
struct DeclaredClass {
    std::string_view classId;  // "{1368DB73-5337-4934-BDD1-5BD251843AFE}"
    std::string_view file;
};

// Windows builds the process's default activation context from the executable's manifest
// before the entry runs, so there this stays empty. Linux keeps here the manifest's classes,
// compiled into the executable from the table the manifest is made from, and the folder
// their files are loaded from (empty when the executable cannot be found: nothing is loaded
// from anywhere else), and what activation's last failure looked for and why, for the report
// of that failure.
struct ActivationContext {
    std::span<const DeclaredClass> classes;
    std::string folder;
    std::string failedLookingFor;
    std::string failureReason;
};

}  // namespace platform
