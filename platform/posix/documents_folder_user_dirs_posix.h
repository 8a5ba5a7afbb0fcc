// The XDG user-dirs file (~/.config/user-dirs.dirs), as xdg-user-dirs writes it.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The file is a few hundred bytes; reading stops at this bound.
constexpr std::size_t kUserDirsLimit = std::size_t{64} * 1024;

// XDG_DOCUMENTS_DIR from the file's text: a quoted absolute path or "$HOME/...", the last
// valid line winning, trailing slashes dropped; empty when there is none or when it names
// the home folder itself (the user turned the folder off).
std::string DocumentsFromUserDirsText(const std::string& text, const std::string& home);

}  // namespace platform
