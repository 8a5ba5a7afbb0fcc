#include "platform/posix/windows_command_line.h"

#include "platform/code_page.h"
#include "platform/mbstring.h"
#include "platform/process.h"

namespace platform::posix {
namespace {

std::string& RecordedCommandLine() {
    static std::string commandLine;
    return commandLine;
}

// Calls `visit` with each character of ANSI text: one byte, or a lead byte with its second
// byte, which Windows reads as one character even when it is 0x5C, the backslash.
template <typename Visit>
void ForEachCharacter(const std::string& text, Visit visit) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) {
            visit(std::string_view(text).substr(at++, 2));
        } else {
            visit(std::string_view(text).substr(at, 1));
        }
    }
}

bool NeedsQuotes(const std::string& text, std::string_view specials) {
    bool needed = text.empty();
    ForEachCharacter(text, [&](std::string_view character) {
        needed = needed || (character.size() == 1 && specials.find(character[0]) != specials.npos);
    });
    return needed;
}

}  // namespace

std::string QuoteWindowsArgument(const std::string& argument) {
    if (!NeedsQuotes(argument, " \t\n\v\"")) return argument;
    // Backslashes are literal unless they precede a quote: those before a quote, and those
    // before the closing quote, are doubled.
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    ForEachCharacter(argument, [&](std::string_view character) {
        if (character == "\\") {
            ++backslashes;
            return;
        }
        quoted.append(character == "\"" ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += character;
    });
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string QuoteWindowsProgramName(const std::string& programName) {
    std::string name;
    ForEachCharacter(programName, [&](std::string_view character) {
        if (character != "\"") name += character;
    });
    // Quoted when it has blanks, as a later argument would be, or nothing at all, so that the
    // head ends where it should; even a final backslash stays a backslash there.
    return NeedsQuotes(name, " \t\n\v") ? "\"" + name + "\"" : name;
}

std::string JoinWindowsCommandLine(int argc, const char* const* argv) {
    std::string commandLine;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) {
            commandLine += ' ';
            commandLine += QuoteWindowsArgument(argv[i]);
        } else {
            commandLine += QuoteWindowsProgramName(argv[i]);
        }
    }
    return commandLine;
}

void RecordCommandLine(int argc, const char* const* argv) {
    RecordedCommandLine() = JoinWindowsCommandLine(argc, argv);
}

}  // namespace platform::posix

namespace platform {

const OLECHAR* ProcessCommandLine() {
    const std::string& ansi = posix::RecordedCommandLine();
    static const WideString wide = WideFromAnsi(ansi);
    // Text that does not convert at all leaves nothing to hand over.
    return wide.empty() && !ansi.empty() ? nullptr : wide.c_str();
}

}  // namespace platform
