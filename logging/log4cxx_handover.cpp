#include "logging/log4cxx_handover.h"

namespace {

// log4cxx looks a variable up in the environment first, then in the properties. No
// environment variable has an empty name, so "${}" always finds the property of that name,
// which holds "$": "${}{HOME}" comes out as "${HOME}", and nothing is substituted twice.
const char* const kDollarKey = "";

std::string KeptLiteral(std::string value) {
    for (auto at = value.find("${"); at != std::string::npos; at = value.find("${", at + 4)) {
        value.insert(at + 1, "{}");
    }
    return value;
}

}  // namespace

std::map<std::string, std::string> PropertiesForLog4cxx(
    const std::map<std::string, std::string>& generated, const std::string& rollingAppenderClass,
    const std::string& programName) {
    std::map<std::string, std::string> handed;
    bool substitutes = programName.find("${") != std::string::npos;
    for (const auto& [key, value] : generated) {
        const bool rolling =
            !rollingAppenderClass.empty() && value == "org.apache.log4j.RollingFileAppender";
        handed[key] = rolling ? rollingAppenderClass : KeptLiteral(value);
        if (rolling) handed[key + ".ProgramName"] = KeptLiteral(programName);
        substitutes = substitutes || value.find("${") != std::string::npos;
    }
    if (substitutes) handed.emplace(kDollarKey, std::string(1, '$'));
    return handed;
}
