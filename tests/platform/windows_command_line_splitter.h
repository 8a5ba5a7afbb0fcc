// How a Windows program splits the command line it is handed (CommandLineToArgvW), to check
// what the Linux layer writes. The Windows run of the tests holds it against the real one.
#pragma once

#include <string>
#include <vector>

// The program name at the head ends at the closing quote when it starts with one, else at the
// first space or tab; it has no escapes. Later arguments: 2n backslashes before a quote give n
// and toggle quoting, 2n+1 give n and a literal quote, other backslashes are literal.
inline std::vector<std::u16string> SplitWindowsCommandLine(const std::u16string& line) {
    std::vector<std::u16string> arguments;
    std::size_t at = 0;
    std::u16string head;
    if (at < line.size() && line[at] == u'"') {
        for (++at; at < line.size() && line[at] != u'"'; ++at) head += line[at];
        if (at < line.size()) ++at;
    } else {
        for (; at < line.size() && line[at] != u' ' && line[at] != u'\t'; ++at) head += line[at];
    }
    arguments.push_back(head);
    while (true) {
        while (at < line.size() && (line[at] == u' ' || line[at] == u'\t')) ++at;
        if (at >= line.size()) return arguments;
        std::u16string argument;
        bool quoted = false;
        while (at < line.size() && (quoted || (line[at] != u' ' && line[at] != u'\t'))) {
            std::size_t backslashes = 0;
            while (at < line.size() && line[at] == u'\\') {
                ++backslashes;
                ++at;
            }
            if (at < line.size() && line[at] == u'"') {
                argument.append(backslashes / 2, u'\\');
                if (backslashes % 2 == 1) {
                    argument += u'"';
                } else if (quoted && at + 1 < line.size() && line[at + 1] == u'"') {
                    argument += u'"';  // "" inside quotes is a literal quote
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                argument.append(backslashes, u'\\');
                if (at < line.size() && (quoted || (line[at] != u' ' && line[at] != u'\t'))) {
                    argument += line[at++];
                }
            }
        }
        arguments.push_back(argument);
    }
}
