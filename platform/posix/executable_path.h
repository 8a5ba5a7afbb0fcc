#pragma once

#include <string>

namespace platform::posix {

// The running executable's absolute path, of any length; empty when the system cannot say.
std::string ExecutablePath();

// Its folder, without a trailing separator.
std::string ExecutableFolder();

}  // namespace platform::posix
