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

bool ReadSharedSettings(const std::string& path, std::map<std::string, std::string>& properties,
                        std::string& reason, std::string& invalid) {
    invalid.clear();
    std::string text;
    switch (ReadTextFile(path, kSharedSettingsLimit, text)) {
        case TextFileRead::kUnreadable:
            reason = "not a regular file that can be read";
            return false;
        case TextFileRead::kTooLarge:
            reason = "larger than 1 MiB";
            return false;
        case TextFileRead::kRead:
            break;
    }
    SettingsText utf8 = DecodeSettingsText(text);
    invalid = std::move(utf8.invalid);
    // Checked on exactly what log4cxx will substitute in.
    std::map<std::string, std::string> decoded = ParseUtf8SettingsText(utf8.utf8);
    const ReferenceCheck check =
        CheckReferences(std::vector<Property>(decoded.begin(), decoded.end()), EnvironmentValue);
    if (check.fault == ReferenceFault::kNone) {
        properties = std::move(decoded);
        return true;
    }
    reason = DescribeReferenceFault(check);
    return false;
}
