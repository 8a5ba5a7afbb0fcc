#include "logging/init_logging.h"

#include <cstdint>
#include <map>
#include <utility>

#include "fsutil/directory_tree.h"
#include "logging/log4cxx_configuration.h"
#include "logging/log_properties.h"
#include "logging/shared_settings.h"
#include "platform/diagnostic.h"
#include "platform/documents_folder.h"

namespace {

// The file was read after all, as it would be without a rule for its encoding; the user learns
// why its text may not be what it meant.
void ReportReadInAnsiCodePage(const std::string& programName, const std::string& path,
                              const std::string& invalid) {
    if (invalid.empty()) return;
    platform::ReportDiagnostic(programName + ": settings read in the ANSI code page: " + path +
                               ": " + invalid);
}

}  // namespace

std::string LogRoot(const std::string& documentsFolder, platform::PathStyle style) {
    const char sep = platform::PreferredSeparator(style);
    std::string root = documentsFolder;
    const auto last = static_cast<std::int32_t>(root.size()) - 1;
    if (last < 0 || FindLastSeparator(root, style) != last) root += sep;
    return root + "Orvane" + sep + "SystemLog";
}

void InitLogging(const std::string& programName, int first, int second, int third, int fourth) {
    const platform::DocumentsFolderLookup documents = platform::DocumentsFolder();
    if (documents.path.empty()) {
        // No stand-in root: anyone may make folders at the root of a drive, and a settings
        // file planted there would send this user's records wherever its author chose.
        platform::ReportDiagnostic(programName + ": logging not configured: " + documents.reason);
        return;
    }
    // A fallback sends the records to another root than the day's other starts: say so.
    if (!documents.reason.empty())
        platform::ReportDiagnostic(programName + ": " + documents.reason);

    const std::string logRoot = LogRoot(documents.path);
    const std::string sharedSettings = logRoot + platform::kPathSeparator + "OvDefault.ini";
    if (FileExists(sharedSettings.c_str()) != 0) {
        const SharedSettingsRead read = ReadSharedSettings(sharedSettings);
        ReportReadInAnsiCodePage(programName, sharedSettings, read.invalid);
        if (read.accepted) {
            ConfigureLog4cxx(read.properties);
        } else {
            // log4cxx stays unconfigured and the start goes on; the user learns why.
            platform::ReportDiagnostic(programName + ": logging not configured: " + sharedSettings +
                                       ": " + read.reason);
        }
        return;
    }
    GeneratedConfiguration generated =
        WriteLogProperties(programName, logRoot, first, second, third, fourth);
    ReportReadInAnsiCodePage(programName, generated.path, generated.invalid);
    if (!generated.properties.empty()) {
        ConfigureLog4cxxFromGenerated(std::move(generated.properties), programName);
    }
}
