// Whole text files, through the C++ streams in text mode (CR LF on Windows, LF elsewhere).
#pragma once

#include <string>

// The whole file, line ends as text mode gives them; empty when it cannot be read.
std::string ReadTextFile(const std::string& path);

// Writes the whole text, replacing what the file held; false when any of it failed.
bool WriteTextFile(const std::string& path, const std::string& text);
