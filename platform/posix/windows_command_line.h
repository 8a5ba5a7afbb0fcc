// Joins arguments into one command line that a Windows program (CommandLineToArgvW, the C
// runtime's argument parser) splits back into the same arguments.
#pragma once

#include <string>

namespace platform::posix {

std::string QuoteWindowsArgument(const std::string& argument);

std::string JoinWindowsCommandLine(int argc, const char* const* argv);

// Keeps the process's command line for ProcessCommandLine; the entry calls it first.
void RecordCommandLine(int argc, const char* const* argv);

}  // namespace platform::posix
