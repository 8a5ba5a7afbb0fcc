#include "logging/shared_settings.h"

#include <cstdlib>
#include <utility>
#include <vector>

#include "logging/log4cxx_configuration.h"
#include "logging/reference_check.h"
#include "logging/settings_encoding.h"
#include "logging/text_file.h"

namespace {

// A hand-written settings file is a few kilobytes.
constexpr std::size_t kSharedSettingsLimit = std::size_t{1024} * 1024;

// What log4cxx finds for a variable in the environment.
std::string EnvironmentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : "";
}

}  // namespace

SharedSettingsRead ReadSharedSettings(const std::string& path) {
    SharedSettingsRead read;
    std::string text;
    switch (ReadTextFile(path, kSharedSettingsLimit, text)) {
        case TextFileRead::kUnreadable:
            read.reason = "not a regular file that can be read";
            return read;
        case TextFileRead::kTooLarge:
            read.reason = "larger than 1 MiB";
            return read;
        case TextFileRead::kRead:
            break;
    }
    SettingsText utf8 = DecodeSettingsText(text);
    read.invalid = std::move(utf8.invalid);
    // Checked on exactly what log4cxx will substitute in.
    std::map<std::string, std::string> decoded = ParseUtf8SettingsText(utf8.utf8);
    platform::Result<ReferenceFault> check =
        CheckReferences(std::vector<Property>(decoded.begin(), decoded.end()), EnvironmentValue);
    read.accepted = check.outcome == ReferenceFault::kNone;
    if (read.accepted) {
        read.properties = std::move(decoded);
    } else {
        read.reason = std::move(check.reason);
    }
    return read;
}
