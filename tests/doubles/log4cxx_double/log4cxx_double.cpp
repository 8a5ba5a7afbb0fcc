#include <cstdio>
#include <cstdlib>

#include <log4cxx/helpers/properties.h>
#include <log4cxx/propertyconfigurator.h>

namespace log4cxx {
namespace {

// Appends one record to the file that LOG4CXX_DOUBLE_RECORD names; records nothing when the
// variable is not set. The file is opened for each record so that nothing is lost when the
// process ends without running destructors.
void Record(const std::string& text) {
    const char* path = std::getenv("LOG4CXX_DOUBLE_RECORD");
    if (path == nullptr || *path == '\0') return;
    std::FILE* record = std::fopen(path, "ab");
    if (record == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), record);
    std::fclose(record);
}

}  // namespace

LogString helpers::Properties::setProperty(const LogString& key, const LogString& value) {
    LogString previous = getProperty(key);
    entries_[key] = value;
    return previous;
}

LogString helpers::Properties::getProperty(const LogString& key) const {
    const auto found = entries_.find(key);
    return found != entries_.end() ? found->second : LogString();
}

spi::ConfigurationStatus PropertyConfigurator::configure(const File& configFilename) {
    Record("configure file\n" + configFilename.narrowPath() + "\n");
    return spi::Configured;
}

spi::ConfigurationStatus PropertyConfigurator::configure(helpers::Properties& properties) {
    std::string text = "configure properties\n";
    for (const auto& [key, value] : properties.entries()) text += key + "=" + value + "\n";
    Record(text);
    return spi::Configured;
}

}  // namespace log4cxx
