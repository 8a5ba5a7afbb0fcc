// The wildcard rules that FindFirstFile applies to the last part of a search pattern.
#pragma once

#include <string_view>

namespace platform::posix {

// Whether `pattern` matches the entry name `name`. A pattern without "*" or "?" is a name and
// matches only itself. Otherwise Windows reads it in the old DOS way: "?" matches one
// character, or none before a dot and at the end of the name; "*" followed by a dot stops at
// the name's last dot; a dot followed by "*", "?" or the end of the pattern also matches the
// end of the name. So "*.*" matches every name, "*." the names without an extension, and
// "a?.txt" also "a.txt". A double-byte character (932) or a UTF-8 sequence is one character.
// Characters compare byte for byte, as the Linux file system compares names: unlike Windows,
// the match is case-sensitive.
bool MatchesDosPattern(std::string_view pattern, std::string_view name);

// Whether a name holds a wildcard character, so that it is matched rather than looked up.
bool HasWildcard(std::string_view name);

}  // namespace platform::posix
