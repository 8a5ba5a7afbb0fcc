// Where the run object's class is found.
#pragma once

#include <optional>
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

// The manifest's classes in its order, compiled in from the table the manifest itself is
// made from; defined by the executable that has the manifest (the launcher).
std::span<const DeclaredClass> ManifestClassTable();

// The file of the first declaration of a class, given as "{...}" in either case; nothing
// when none declares it.
std::optional<std::string_view> FindClassFile(std::span<const DeclaredClass> classes,
                                              std::string_view classId);

// Windows activates through the default activation context that it builds from the embedded
// manifest before the entry runs, and reads `classes` only to say which file a failed
// activation looked for. Linux activates from `classes` itself and loads their files from
// `folder` (empty when the executable cannot be found: nothing is loaded from anywhere else).
struct ActivationContext {
    std::span<const DeclaredClass> classes;
    std::string folder;
};

}  // namespace platform
