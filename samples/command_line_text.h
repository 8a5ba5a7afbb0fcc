// Text helpers of the sample run object, kept apart so that tests can check them.
#pragma once

#include <string>

#include "platform/com_abi.h"

namespace sample {

// UTF-16 (a BSTR) to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf8FromUtf16(const OLECHAR* text);

// The N of an argument --exit-code=N in the command line, 0 when there is none or N is not
// a number that fits.
LONG RequestedExitCode(const std::string& commandLine);

}  // namespace sample
