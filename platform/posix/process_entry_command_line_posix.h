// Joins arguments into one command line that a Windows program (CommandLineToArgvW, the C
// runtime's argument parser) splits back into the same arguments.
#pragma once

#include <optional>
#include <string>

#include "platform/code_page.h"

namespace platform::posix {

// The program name at the head, which Windows reads by a rule of its own: up to the closing
// quote when it starts with one, else up to the first space or tab, with no escapes at all.
// No Windows file name holds a double quote, and none can be written in a quoted head, so
// double quotes are left out of it.
std::string QuoteWindowsProgramName(const std::string& programName);

std::string JoinWindowsCommandLine(int argc, const char* const* argv);

// The joined arguments in UTF-16, converted from the locale's code set, as the run object gets
// them; nothing when the text does not convert at all.
std::optional<WideString> WideCommandLine(int argc, const char* const* argv);

}  // namespace platform::posix
