// Where a person finds why something quietly did not happen.
#pragma once

#include <string>

namespace platform {

// One line of ANSI text, without its line break: on standard error on Linux (in the locale's
// encoding); on Windows to the debugger's output (OutputDebugStringA), since a program
// started from the desktop has no standard error and the text is no message for a box.
void ReportDiagnostic(const std::string& ansiLine);

}  // namespace platform
