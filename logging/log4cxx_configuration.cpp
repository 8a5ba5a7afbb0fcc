#include "logging/log4cxx_configuration.h"

#include <log4cxx/helpers/bytearrayinputstream.h>
#include <log4cxx/helpers/properties.h>
#include <log4cxx/helpers/transcoder.h>
#include <log4cxx/propertyconfigurator.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <vector>

#include "logging/log4cxx_handover.h"
#include "logging/process_safe_rolling_file_appender.h"
#include "logging/retry_within.h"
#include "logging/text_file.h"
#include "platform/code_page.h"
#include "platform/library_locale.h"
#include "platform/utf8.h"

namespace {

std::string Utf8FromAnsi(const std::string& ansi) {
    const platform::WideString wide = platform::WideFromAnsi(ansi);
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

log4cxx::LogString LogText(const std::string& utf8) {
    log4cxx::LogString text;
    log4cxx::helpers::Transcoder::decodeUTF8(utf8, text);
    return text;
}

// log4cxx's parser reads one character per byte (ISO-8859-1); fed UTF-8, it leaves each byte
// of a multibyte character as a character of its own, which this takes back as that byte.
std::string BytesFromLatin1(const log4cxx::LogString& text) {
    std::string bytes;
    for (auto at = text.cbegin(); at != text.cend();) {
        bytes += static_cast<char>(log4cxx::helpers::Transcoder::decode(text, at));
    }
    return bytes;
}

// The file names log4cxx opens go through the C library's locale on Linux.
void HandOver(const std::map<std::string, std::string>& utf8Properties) {
    platform::MatchLibraryLocaleToAnsiCodePage();
    log4cxx::helpers::Properties properties;
    for (const auto& [key, value] : utf8Properties) {
        properties.setProperty(LogText(key), LogText(value));
    }
    log4cxx::PropertyConfigurator::configure(properties);
}

// Log files are UTF-8 whatever the locale: set in what is handed over, never in the file.
void WriteLogFilesInUtf8(std::map<std::string, std::string>& properties) {
    const std::string appenderPrefix = "log4j.appender.";
    std::vector<std::string> appenders;
    for (const auto& entry : properties) {
        const std::string& key = entry.first;
        if (key.rfind(appenderPrefix, 0) == 0 &&
            key.find('.', appenderPrefix.size()) == std::string::npos) {
            appenders.push_back(key);
        }
    }
    for (const std::string& appender : appenders) {
        properties.emplace(appender + ".Encoding", "UTF-8");
    }
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

}  // namespace

std::map<std::string, std::string> ParseSettingsText(const std::string& ansiText) {
    // Decoded first, so that a second byte 0x5C of a double-byte character is never taken
    // for an escape; the syntax is all ASCII, which no byte of a UTF-8 multibyte character is.
    const std::string utf8 = Utf8FromAnsi(ansiText);
    log4cxx::helpers::Properties parsed;
    parsed.load(std::make_shared<log4cxx::helpers::ByteArrayInputStream>(
        std::vector<unsigned char>(utf8.begin(), utf8.end())));
    std::map<std::string, std::string> properties;
    for (const log4cxx::LogString& key : parsed.propertyNames()) {
        properties[BytesFromLatin1(key)] = BytesFromLatin1(parsed.getProperty(key));
    }
    return properties;
}

void ConfigureLog4cxxFromSettings(const std::map<std::string, std::string>& properties) {
    HandOver(properties);
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
    constexpr std::chrono::milliseconds kRereadBudget{50};
    std::string text;
    std::map<std::string, std::string> read;
    bool readable = false;
    RetryWithin(kRereadBudget, [&] {
        readable = ReadGeneratedText(path, text);
        if (readable) read = ParseGeneratedProperties(text);
        return readable && read.size() < kLines;
    });
    if (!readable || read.empty()) return;
    WriteLogFilesInUtf8(read);
    ProcessSafeRollingFileAppender::registerClass();
    HandOver(PropertiesForLog4cxx(read, kProcessSafeAppenderClass));
}
