#include "logging/log4cxx_configuration.h"

#include <log4cxx/file.h>
#include <log4cxx/helpers/properties.h>
#include <log4cxx/helpers/transcoder.h>
#include <log4cxx/propertyconfigurator.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "logging/text_file.h"
#include "platform/code_page.h"
#include "platform/utf8.h"

namespace {

std::string Utf8FromAnsi(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int length = static_cast<int>(ansi.size());
    const int units = platform::AnsiToWide(ansi.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::basic_string<OLECHAR> wide(static_cast<std::size_t>(units), 0);
    platform::AnsiToWide(ansi.data(), length, wide.data(), units);
    return platform::Utf8FromUtf16(wide.data(), wide.size());
}

// Undoes the writer's escapes. In UTF-8 no byte of a multibyte character is a backslash, so
// after decoding every backslash is the writer's own.
std::string Unescape(const std::string& value) {
    std::string text;
    for (std::size_t at = 0; at < value.size(); ++at) {
        if (value[at] != '\\' || at + 1 == value.size()) {
            text += value[at];
            continue;
        }
        const char escaped = value[++at];
        text += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped == 't' ? '\t' : escaped;
    }
    return text;
}

}  // namespace

void ConfigureLog4cxxFromFile(const std::string& path) {
    log4cxx::PropertyConfigurator::configure(log4cxx::File(path));
}

std::map<std::string, std::string> ReadGeneratedProperties(const std::string& path) {
    std::istringstream lines(Utf8FromAnsi(ReadTextFile(path)));

    std::map<std::string, std::string> properties;
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t separator = line.find(" = ");
        if (separator == std::string::npos) continue;
        properties[line.substr(0, separator)] = Unescape(line.substr(separator + 3));
    }
    return properties;
}

void ConfigureLog4cxxFromGeneratedFile(const std::string& path) {
    // Where the file could not be replaced in one step, another start may be rewriting it in
    // place just now: a file without all its lines is read again for a short while.
    constexpr std::size_t kLines = 7;
    constexpr int kReadAttempts = 25;
    std::map<std::string, std::string> read = ReadGeneratedProperties(path);
    for (int attempt = 1; attempt < kReadAttempts && read.size() < kLines; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        read = ReadGeneratedProperties(path);
    }
    if (read.empty()) {
        ConfigureLog4cxxFromFile(path);
        return;
    }
    log4cxx::helpers::Properties properties;
    for (const auto& [key, value] : read) {
        log4cxx::LogString logKey;
        log4cxx::LogString logValue;
        log4cxx::helpers::Transcoder::decodeUTF8(key, logKey);
        log4cxx::helpers::Transcoder::decodeUTF8(value, logValue);
        properties.setProperty(logKey, logValue);
    }
    log4cxx::PropertyConfigurator::configure(properties);
}
