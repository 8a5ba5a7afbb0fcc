#include "platform/posix/process_entry_command_line_posix.h"

#include "platform/code_page.h"
#include "platform/mbstring.h"

namespace platform::posix {
namespace {

// Characters, not bytes: Windows reads a lead byte and its second byte as one character even
// when that byte is 0x5C, the backslash.
bool NeedsQuotes(const std::string& text, std::string_view specials) {
    bool needed = text.empty();
    for (const std::string_view character : Characters(text)) {
        needed = needed || (character.size() == 1 && specials.find(character[0]) != specials.npos);
    }
    return needed;
}

// An argument after the program name: backslashes count only before a quote.
std::string QuoteWindowsArgument(const std::string& argument) {
    if (!NeedsQuotes(argument, " \t\n\v\"")) return argument;
    // Backslashes are literal unless they precede a quote: those before a quote, and those
    // before the closing quote, are doubled.
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const std::string_view character : Characters(argument)) {
        if (character == "\\") {
            ++backslashes;
            continue;
        }
        quoted.append(character == "\"" ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += character;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

}  // namespace

std::string QuoteWindowsProgramName(const std::string& programName) {
    std::string name;
    for (const std::string_view character : Characters(programName)) {
        if (character != "\"") name += character;
    }
    // Quoted when it has blanks, as a later argument would be, or nothing at all, so that the
    // head ends where it should; even a final backslash stays a backslash there.
    return NeedsQuotes(name, " \t\n\v") ? "\"" + name + "\"" : name;
}

std::string JoinWindowsCommandLine(int argc, const char* const* argv) {
    std::string commandLine = argc > 0 ? QuoteWindowsProgramName(argv[0]) : std::string();
    for (int i = 1; i < argc; ++i) commandLine += ' ' + QuoteWindowsArgument(argv[i]);
    return commandLine;
}

std::optional<WideString> WideCommandLine(int argc, const char* const* argv) {
    const std::string ansi = JoinWindowsCommandLine(argc, argv);
    WideString wide = WideFromAnsi(ansi);
    // Text that does not convert at all leaves nothing to hand over.
    if (wide.empty() && !ansi.empty()) return std::nullopt;
    return wide;
}

}  // namespace platform::posix
