#include "logging/init_logging.h"

#include <array>
#include <cstdio>
#include <map>

#include "fsutil/directory_tree.h"
#include "logging/documents_folder.h"
#include "logging/log4cxx_configuration.h"
#include "logging/log_properties.h"
#include "logging/shared_settings.h"
#include "platform/path.h"
#include "platform/shell_folder.h"

std::string LogRoot(const std::string& documentsFolder) {
    constexpr char sep = platform::kPathSeparator;
    return documentsFolder + sep + "Orvane" + sep + "SystemLog";
}

void InitLogging(const std::string& programName, int first, int second, int third, int fourth) {
    std::array<char, platform::kMaxPath> documents{};
    GetDocumentsFolder(documents.data(), platform::kFolderPersonal, true);

    const std::string logRoot = LogRoot(documents.data());
    const std::string sharedSettings = logRoot + platform::kPathSeparator + "OvDefault.ini";
    if (FileExists(sharedSettings.c_str()) != 0) {
        std::map<std::string, std::string> properties;
        std::string reason;
        if (ReadSharedSettings(sharedSettings, properties, reason)) {
            ConfigureLog4cxxFromSettings(properties);
        } else {
            // log4cxx stays unconfigured and the start goes on; the user learns why.
            std::fprintf(stderr, "%s: logging not configured: %s: %s\n", programName.c_str(),
                         sharedSettings.c_str(), reason.c_str());
        }
        return;
    }
    CreateDirectoryTree(logRoot.c_str());
    const std::string generated =
        WriteLogProperties(programName, logRoot, first, second, third, fourth);
    ConfigureLog4cxxFromGeneratedFile(generated);
}
