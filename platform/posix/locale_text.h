#pragma once

#include <string>
#include <string_view>

namespace platform::posix {

// ANSI code-page text re-encoded for the terminal: the locale's own encoding.
std::string AnsiToLocaleText(std::string_view ansiText);

}  // namespace platform::posix
