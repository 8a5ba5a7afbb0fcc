// Test double of log4cxx::File: keeps the narrow path exactly as it was given.
#pragma once

#include <string>

namespace log4cxx {

class File {
  public:
    File() = default;
    File(const std::string& path) : path_(path) {}  // NOLINT(google-explicit-constructor)
    File(const char* path) : path_(path) {}         // NOLINT(google-explicit-constructor)

    const std::string& narrowPath() const { return path_; }

  private:
    std::string path_;
};

}  // namespace log4cxx
