#include "logging/log4cxx_configuration.h"

#include <log4cxx/helpers/bytearrayinputstream.h>
#include <log4cxx/helpers/properties.h>
#include <log4cxx/helpers/transcoder.h>
#include <log4cxx/propertyconfigurator.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

#include "logging/log4cxx_handover.h"
#include "logging/process_safe_rolling_file_appender.h"
#include "platform/code_page.h"
#include "platform/library_locale.h"
#include "platform/utf8.h"

namespace {

// For bytes and for log4cxx's characters alike.
template <typename Text>
bool IsAscii(const Text& text) {
    return std::all_of(text.begin(), text.end(), [](auto character) {
        return static_cast<std::make_unsigned_t<decltype(character)>>(character) < 0x80;
    });
}

std::string Utf8FromAnsi(const std::string& ansi) {
    // ASCII in UTF-8 is its own decoding, and every key and most values are ASCII.
    if (platform::ActiveAnsiCodePage() == platform::kCodePageUtf8 && IsAscii(ansi)) return ansi;
    const platform::WideString wide = platform::WideFromAnsi(ansi);
    return platform::Utf8FromUtf16(wide.data(), wide.size());
}

log4cxx::LogString LogText(const std::string& utf8) {
    // ASCII is the same character in every LogString, and log4cxx's decoder costs a call for
    // each character: only the rest goes through it.
    if (IsAscii(utf8)) return {utf8.begin(), utf8.end()};
    log4cxx::LogString text;
    log4cxx::helpers::Transcoder::decodeUTF8(utf8, text);
    return text;
}

// log4cxx's parser reads one character per byte (ISO-8859-1); fed UTF-8, it leaves each byte
// of a multibyte character as a character of its own, which this takes back as that byte.
std::string BytesFromLatin1(const log4cxx::LogString& text) {
    // ASCII characters are their own bytes, and every key and most values are ASCII.
    if (IsAscii(text)) return {text.begin(), text.end()};
    std::string bytes;
    for (auto at = text.cbegin(); at != text.cend();) {
        bytes += static_cast<char>(log4cxx::helpers::Transcoder::decode(text, at));
    }
    return bytes;
}

// Log files are UTF-8 whatever the locale: set in what is handed over, never in the file.
void WriteLogFilesInUtf8(std::map<std::string, std::string>& properties) {
    const std::string appenderPrefix = "log4j.appender.";
    // Adding to a map keeps the walk's place; a key added here names no appender.
    for (const auto& [key, value] : properties) {
        if (key.rfind(appenderPrefix, 0) == 0 &&
            key.find('.', appenderPrefix.size()) == std::string::npos) {
            properties.emplace(key + ".Encoding", "UTF-8");
        }
    }
}

}  // namespace

std::map<std::string, std::string> ParseUtf8SettingsText(const std::string& utf8Text) {
    // Decoded before, so that a second byte 0x5C of a double-byte character is never taken
    // for an escape; the syntax is all ASCII, which no byte of a UTF-8 multibyte character is.
    log4cxx::helpers::Properties parsed;
    parsed.load(std::make_shared<log4cxx::helpers::ByteArrayInputStream>(
        std::vector<unsigned char>(utf8Text.begin(), utf8Text.end())));
    std::map<std::string, std::string> properties;
    for (const log4cxx::LogString& key : parsed.propertyNames()) {
        properties[BytesFromLatin1(key)] = BytesFromLatin1(parsed.getProperty(key));
    }
    return properties;
}

void ConfigureLog4cxx(const std::map<std::string, std::string>& utf8Properties) {
    // The file names log4cxx opens go through the C library's locale on Linux.
    platform::MatchLibraryLocaleToAnsiCodePage();
    log4cxx::helpers::Properties properties;
    for (const auto& [key, value] : utf8Properties) {
        properties.setProperty(LogText(key), LogText(value));
    }
    log4cxx::PropertyConfigurator::configure(properties);
}

std::map<std::string, std::string> DecodeProperties(const PropertyEntries& entries) {
    std::map<std::string, std::string> decoded;
    for (const auto& [key, value] : entries) decoded[Utf8FromAnsi(key)] = Utf8FromAnsi(value);
    return decoded;
}

void ConfigureLog4cxxFromGenerated(std::map<std::string, std::string> properties,
                                   const std::string& programName) {
    WriteLogFilesInUtf8(properties);
    ProcessSafeRollingFileAppender::registerClass();
    ConfigureLog4cxx(
        PropertiesForLog4cxx(properties, kProcessSafeAppenderClass, Utf8FromAnsi(programName)));
}
