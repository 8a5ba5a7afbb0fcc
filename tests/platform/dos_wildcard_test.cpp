#include "platform/posix/file_find_wildcard_posix.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "support/scoped_code_page.h"

namespace {

using platform::posix::MatchesDosPattern;

TEST(DosWildcard, EachRuleThatFindFirstFileApplies) {
    const struct {
        const char* rule;
        const char* pattern;
        const char* name;
        bool matches;
    } rows[] = {
        {"* matches any run", "*", "anything.at.all", true},
        {"* matches any run", "a*z", "abcz", true},
        {"* matches any run", "a*z", "az", true},
        {"* matches any run", "*x*", "abc", false},
        {"*.* matches every name", "*.*", "noext", true},
        {"*.* matches every name", "*.*", "a.b.c", true},
        {"*.* matches every name", "*.*", ".profile", true},
        {"*.* matches every name", "*.*", ".", true},
        {"*.* matches every name", "*.*", "..", true},
        {"*.*.* matches every name", "*.*.*", "noext", true},
        {"*.*.* matches every name", "*.*.*", "a.b", true},
        {"*. matches names without an extension", "*.", "noext", true},
        {"*. matches names without an extension", "*.", "a.txt", false},
        {"*. matches names without an extension", "*.", ".profile", false},
        {"*. matches names without an extension", "*.", "x.", true},
        {"*. matches names without an extension", "*.", ".", true},
        {"*. matches names without an extension", "*.", "..", true},
        {"*. stops at the last dot", "*.gz", "archive.tar.gz", true},
        {"*. stops at the last dot", "*.tar", "archive.tar.gz", false},
        {"*. may stop at an earlier dot", "*.t*", "archive.tar.gz", true},
        {"*. stops at the last dot", "a*.gz", "a.gz", true},
        {"*. stops at the last dot", "*a.gz", "a.gz", true},
        {"? matches one character", "?.txt", "a.txt", true},
        {"? matches one character", "a?c", "abc", true},
        {"? matches one character", "a?c", "abbc", false},
        {"? never matches a dot", "a?c", "a.c", false},
        {"? before a dot matches nothing", "a?.txt", "a.txt", true},
        {"? before a dot matches nothing", "a??.txt", "ab.txt", true},
        {"? before a dot matches nothing", "a?.txt", "abc.txt", false},
        {"? at the end matches nothing", "a?", "a", true},
        {"? at the end matches nothing", "a??", "ab", true},
        {"? at the end matches nothing", "a?", "abc", false},
        {"? never matches a dot", "??", ".", false},
        {"? never matches a dot", "?", ".", false},
        {"? never matches a dot", "??", "..", false},
        {"? never matches a dot", ".?", "..", false},
        {"? at the end matches nothing", "a?", "a.", true},
        {"? at the end matches nothing", "a?b", "a", false},
        {"without a wildcard a pattern is a name", "a.", "a", false},
        {"without a wildcard a pattern is a name", "a.", "a.", true},
        {"without a wildcard a pattern is a name", "..", "..", true},
        {"without a wildcard a pattern is a name", ".", "..", false},
        {"a final dot also matches the end", "a?.", "a", true},
        {"a final dot also matches the end", "a?.", "ab", true},
        {"a final dot also matches the end", "noext.*", "noext", true},
        {"a final dot also matches the end", "a.?", "a", true},
        {"a final dot also matches the end", "a.?", "a.b", true},
        {"a final dot also matches the end", "a.?", "a.bc", false},
        {"a dot in the middle is a dot", "a.b", "ab", false},
        {"a dot in the middle is a dot", "a.*b", "a.xb", true},
        {"names compare byte for byte", "*.TXT", "a.txt", false},
        {"names compare byte for byte", "A*", "a", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MatchesDosPattern(row.pattern, row.name), row.matches)
            << row.rule << ": \"" << row.pattern << "\" against \"" << row.name << '"';
    }
}

TEST(DosWildcard, ADoubleByteCharacterIsOneCharacter) {
    // 表 (0x95 0x5C) and ソ (0x83 0x5C); in UTF-8 表 is three bytes. "?" takes the whole
    // character, and a second byte is never taken for a character of its own.
    const struct {
        const char* pattern;
        const char* name;
        unsigned codePage;
        bool matches;
    } rows[] = {
        {"?.txt", "\x95\\.txt", platform::kCodePageShiftJis, true},
        {"??.txt", "\x95\\\x83\\.txt", platform::kCodePageShiftJis, true},
        {"?\\*", "\x95\\x", platform::kCodePageShiftJis, false},
        {"*\\", "\x95\\", platform::kCodePageShiftJis, false},
        {"\x95\\*", "\x95\\a", platform::kCodePageShiftJis, true},
        // A lead byte takes the byte after it, "*" too: no wildcard is left.
        {"\x95*", "\x95\\a", platform::kCodePageShiftJis, false},
        {"\x95*", "\x95*", platform::kCodePageShiftJis, true},
        {"?.txt", "\xE8\xA1\xA8.txt", platform::kCodePageUtf8, true},
        {"??.txt", "\xE8\xA1\xA8.txt", platform::kCodePageUtf8, true},
        {"?", "\xE8\xA1\xA8\xE8", platform::kCodePageUtf8, false},
    };
    for (const auto& row : rows) {
        const ScopedAnsiCodePage selected(row.codePage);
        EXPECT_EQ(MatchesDosPattern(row.pattern, row.name), row.matches)
            << row.codePage << ": " << row.pattern;
    }
}

}  // namespace
