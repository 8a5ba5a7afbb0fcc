// The system's own words for an error code, for lines a person reads.
#pragma once

#include <string>

namespace platform {

// The message text of a Win32 error or HRESULT in the ANSI code page, without its line
// break; the code in hexadecimal where the system has no text for it.
std::string SystemMessage(unsigned long code);

}  // namespace platform
