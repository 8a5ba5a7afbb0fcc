// Written here, used by both targets: the manifest's table is the same on each.
#include "platform/activation_context.h"

#include <algorithm>

namespace platform {
namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::optional<std::string_view> FindClassFile(std::span<const DeclaredClass> classes,
                                              std::string_view classId) {
    for (const DeclaredClass& declared : classes) {
        // Class identifiers compare without regard to case, as COM compares them.
        if (std::ranges::equal(declared.classId, classId,
                               [](char a, char b) { return Upper(a) == Upper(b); })) {
            return declared.file;
        }
    }
    return std::nullopt;
}

}  // namespace platform
