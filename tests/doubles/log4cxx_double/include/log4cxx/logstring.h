// Test double of log4cxx (see ../../README.md): text is UTF-8, as in a log4cxx built with
// UTF-8 log strings.
#pragma once

#include <string>

namespace log4cxx {
using logchar = char;
using LogString = std::string;
}  // namespace log4cxx
