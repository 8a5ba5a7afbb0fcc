// The check of a user's properties before log4cxx substitutes in them, so that a file which
// would bring log4cxx down (a variable that refers to itself, a substitution that never ends
// or grows without bound) is refused first. The file itself is read by log4cxx's own parser
// (ParseUtf8SettingsText).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/result.h"

using Property = std::pair<std::string, std::string>;

enum class ReferenceFault {
    kNone,
    kCyclic,    // ${a} reaches ${a} again: log4cxx substitutes without end
    kTooDeep,   // more nested substitutions than log4cxx's stack is trusted with
    kTooLarge,  // a value that substitution makes larger than any sane setting
};

constexpr std::size_t kMaxReferenceDepth = 64;
constexpr std::size_t kMaxSubstitutedSize = 1 << 20;

// Follows every ${name} in every value as log4cxx substitutes it: the environment variable
// of that name when it is set and not empty, else the property, each substituted in turn.
// The reason names the variable where the fault shows: "cyclic ${...} reference through
// log4j.rootLogger" and the like.
platform::Result<ReferenceFault> CheckReferences(
    const std::vector<Property>& properties,
    const std::function<std::string(const std::string&)>& environment);
