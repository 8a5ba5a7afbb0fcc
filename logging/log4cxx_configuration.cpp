#include "logging/log4cxx_configuration.h"

#include <log4cxx/file.h>
#include <log4cxx/helpers/properties.h>
#include <log4cxx/helpers/transcoder.h>
#include <log4cxx/propertyconfigurator.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "logging/log4cxx_handover.h"
#ifndef LAUNCHER_LOG4CXX_WITHOUT_APPENDERS
#include "logging/process_safe_rolling_file_appender.h"
#endif
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

// The generated file is a few hundred bytes; anything far larger is not ours.
constexpr std::size_t kGeneratedFileLimit = std::size_t{64} * 1024;

std::map<std::string, std::string> ParseGeneratedProperties(const std::string& text) {
    std::istringstream lines(Utf8FromAnsi(text));
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

// False when there is no regular file of sane size to read.
bool ReadGeneratedText(const std::string& path, std::string& text) {
    return ReadTextFile(path, kGeneratedFileLimit, text) == TextFileRead::kRead;
}

// Our own appender where log4cxx's appender classes are there to build it on.
std::string RollingAppenderClass() {
#ifdef LAUNCHER_LOG4CXX_WITHOUT_APPENDERS
    return {};
#else
    ProcessSafeRollingFileAppender::registerClass();
    return kProcessSafeAppenderClass;
#endif
}

}  // namespace

void ConfigureLog4cxxFromFile(const std::string& path) {
    log4cxx::PropertyConfigurator::configure(log4cxx::File(path));
}

std::map<std::string, std::string> ReadGeneratedProperties(const std::string& path) {
    std::string text;
    return ReadGeneratedText(path, text) ? ParseGeneratedProperties(text)
                                         : std::map<std::string, std::string>();
}

void ConfigureLog4cxxFromGeneratedFile(const std::string& path) {
    // Where the file could not be replaced in one step, another start may be rewriting it in
    // place just now: a file without all its lines is read again for a short while. A file
    // that is missing or no regular file will not be there a moment later either.
    constexpr std::size_t kLines = 7;
    constexpr int kReadAttempts = 25;
    std::string text;
    if (!ReadGeneratedText(path, text)) return;
    std::map<std::string, std::string> read = ParseGeneratedProperties(text);
    for (int attempt = 1; attempt < kReadAttempts && read.size() < kLines; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (!ReadGeneratedText(path, text)) return;
        read = ParseGeneratedProperties(text);
    }
    if (read.empty()) return;
    log4cxx::helpers::Properties properties;
    for (const auto& [key, value] : PropertiesForLog4cxx(read, RollingAppenderClass())) {
        log4cxx::LogString logKey;
        log4cxx::LogString logValue;
        log4cxx::helpers::Transcoder::decodeUTF8(key, logKey);
        log4cxx::helpers::Transcoder::decodeUTF8(value, logValue);
        properties.setProperty(logKey, logValue);
    }
    log4cxx::PropertyConfigurator::configure(properties);
}
