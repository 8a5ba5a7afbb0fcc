#include "platform/posix/windows_command_line.h"

#include "platform/process.h"

namespace platform::posix {
namespace {

std::string& RecordedCommandLine() {
    static std::string commandLine;
    return commandLine;
}

}  // namespace

std::string QuoteWindowsArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        return argument;
    }
    // Backslashes are literal unless they precede a quote: those before a quote, and those
    // before the closing quote, are doubled.
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char byte : argument) {
        if (byte == '\\') {
            ++backslashes;
            continue;
        }
        if (byte == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += byte;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string JoinWindowsCommandLine(int argc, const char* const* argv) {
    std::string commandLine;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) commandLine += ' ';
        commandLine += QuoteWindowsArgument(argv[i]);
    }
    return commandLine;
}

void RecordCommandLine(int argc, const char* const* argv) {
    RecordedCommandLine() = JoinWindowsCommandLine(argc, argv);
}

}  // namespace platform::posix

namespace platform {

const char* ProcessCommandLine() {
    return posix::RecordedCommandLine().c_str();
}

}  // namespace platform
