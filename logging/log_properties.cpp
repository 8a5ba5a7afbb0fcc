#include "logging/log_properties.h"

#include <chrono>
#include <clocale>
#include <cstdio>
#include <iterator>
#include <utility>

#include "date/format_date.h"
#include "fsutil/directory_tree.h"
#include "logging/log4cxx_configuration.h"
#include "logging/retry_within.h"
#include "logging/settings_encoding.h"
#include "logging/text_file.h"
#include "platform/file_replace.h"
#include "platform/mbstring.h"
#include "platform/path.h"

namespace {

constexpr std::chrono::milliseconds kReplaceBudget{50};
constexpr std::chrono::milliseconds kRereadBudget{50};
// A temporary sibling this young may be another start's, about to be moved.
constexpr std::chrono::seconds kLeftoverAge{60};
// The levels that a start may have to make below the documents folder: Orvane, SystemLog and
// the program's log folder.
constexpr int kFolderLevels = 3;

// Far more than the generated file holds; a file of another content is read up to here.
constexpr std::size_t kReadBackLimit = std::size_t{64} * 1024;

// Moves the finished file over the old one. Windows refuses while another start has the old
// one open for its brief read, so only that refusal is tried again for a short while before
// the caller falls back to writing in place.
bool ReplaceWithRetries(const std::string& source, const std::string& target) {
    platform::ReplaceOutcome outcome = platform::ReplaceOutcome::kFailed;
    RetryWithin(kReplaceBudget, [&] {
        outcome = platform::ReplaceFile(source, target);
        return outcome == platform::ReplaceOutcome::kRefusedForNow;
    });
    return outcome == platform::ReplaceOutcome::kReplaced;
}

// Written beside the file and moved over it in one step, so that a start running at the same
// moment never reads it half written. Where the move is refused, the file is written in place
// instead. False when neither worked.
bool WriteWhole(const std::string& path, const std::string& text) {
    std::string temporaryPath;
    if (WriteTemporarySibling(path, text, temporaryPath)) {
        if (ReplaceWithRetries(temporaryPath, path)) return true;
        std::remove(temporaryPath.c_str());
    }
    return RewriteTextFile(path, text);
}

// What a settings file says, and why its text was read in the ANSI code page, when it was.
struct SettingsRead {
    std::map<std::string, std::string> properties;
    std::string invalid;
};

// The file could not be written, so log4cxx gets what the one there says, read by log4cxx's
// own rules. Another start may be writing it in place just now: a file that is the beginning
// of ours is read again for a short while. A file that is missing or no regular file will not
// be there a moment later either. Read in the encoding it was saved in, which need not be
// ours: `invalid` then says so, as in GeneratedConfiguration.
SettingsRead WhatTheFileSays(const std::string& path, const std::string& text,
                             const PropertyEntries& entries) {
    std::string existing;
    TextFileRead read = TextFileRead::kUnreadable;
    RetryWithin(kRereadBudget, [&] {
        read = ReadTextFile(path, kReadBackLimit, existing);
        return read == TextFileRead::kRead && existing.size() < text.size() &&
               text.compare(0, existing.size(), existing) == 0;
    });
    if (read != TextFileRead::kRead) return {};
    if (existing == text) return {DecodeProperties(entries), {}};
    SettingsText decoded = DecodeSettingsText(existing);
    return {ParseUtf8SettingsText(decoded.utf8), std::move(decoded.invalid)};
}

}  // namespace

std::string VersionSuffix(std::int32_t first, std::int32_t second, std::int32_t third,
                          std::int32_t fourth) {
    std::string suffix;
    for (const std::int32_t number : {first, second, third}) suffix += '.' + std::to_string(number);
    if (fourth != 0) suffix += '.' + std::to_string(fourth);
    return suffix;
}

std::string EscapePropertyValue(const std::string& text) {
    // Most values hold nothing to escape, which spares the walk over their characters.
    if (text.find_first_of("\\\n\r") == std::string::npos) return text;
    std::string escaped;
    escaped.reserve(text.size() + 16);
    // Walk whole characters: the second byte of a double-byte character is never an escape.
    for (const std::string_view character : platform::Characters(text)) {
        if (character == "\\") {
            escaped += "\\\\";
        } else if (character == "\n") {
            escaped += "\\n";
        } else if (character == "\r") {
            escaped += "\\r";
        } else {
            escaped += character;
        }
    }
    return escaped;
}

PropertyEntries LogPropertyEntries(const std::string& programName, const std::string& logFolder,
                                   const std::string& versionSuffix, const std::string& dateStamp) {
    // The seven entries in their order; the one value that is not fixed is the day's log file.
    constexpr std::pair<const char*, const char*> kEntries[] = {
        {"log4j.rootLogger", "Info, ovAppender"},
        {"log4j.appender.ovAppender", "org.apache.log4j.RollingFileAppender"},
        {"log4j.appender.ovAppender.MaxFileSize", "5MB"},
        {"log4j.appender.ovAppender.MaxBackupIndex", "1"},
        {"log4j.appender.ovAppender.File", nullptr},
        {"log4j.appender.ovAppender.layout", "org.apache.log4j.PatternLayout"},
        {"log4j.appender.ovAppender.layout.ConversionPattern",
         "%d{yyyy-MM-dd HH:mm:ss} [%5p] %l %M - %m%n"},
    };
    const std::string logFile =
        logFolder + programName + versionSuffix + "Log_" + dateStamp + ".txt";
    PropertyEntries entries(std::size(kEntries));
    for (std::size_t at = 0; at < entries.size(); ++at) {
        entries[at].first = kEntries[at].first;
        entries[at].second = kEntries[at].second != nullptr ? kEntries[at].second : logFile;
    }
    return entries;
}

std::string PropertiesFileText(const PropertyEntries& entries) {
    std::string text;
    for (const auto& [key, value] : entries) {
        text.append(key).append(" = ").append(EscapePropertyValue(value)) += '\n';
    }
    return text;
}

GeneratedConfiguration WriteLogProperties(const std::string& programName,
                                          const std::string& logRoot, std::int32_t first,
                                          std::int32_t second, std::int32_t third,
                                          std::int32_t fourth) {
    // The C library's locale becomes the user's, every category, and stays so for the rest of
    // the process on purpose: log4cxx, configured next, and the code that runs after it in this
    // process convert text through it (on Linux, the log file's name too), and the "C" locale
    // a process starts in knows nothing beyond ASCII.
    std::setlocale(LC_ALL, "");

    GeneratedConfiguration configuration;
    configuration.path = logRoot + platform::kPathSeparator + programName + ".ini";
    const std::string logFolder =
        logRoot + platform::kPathSeparator + programName + platform::kPathSeparator;

    IDate today(0);
    today.SetToday();
    std::string dateStamp;
    FormatDate(today, DF_YEAR | DF_MONTH | DF_DAY, dateStamp);

    const PropertyEntries entries = LogPropertyEntries(
        programName, logFolder, VersionSuffix(first, second, third, fourth), dateStamp);
    const std::string text = PropertiesFileText(entries);

    // Every start of the same day finds the file already holding exactly these bytes; it is
    // left as it is, which changes nothing but its time stamp and spares simultaneous starts
    // the moment in which it is being replaced. One byte more than expected is enough to
    // tell, whatever size the file has. No folder needs making then: the log root holds the
    // file, and the appender makes a log folder that a user removed.
    std::string existing;
    const bool unchanged =
        ReadTextFile(configuration.path, text.size(), existing) == TextFileRead::kRead &&
        existing == text;
    if (!unchanged) {
        // The log root with it, when missing; with single separators, as the folder is meant.
        // A call stops where a level it meant to make was made meanwhile, as it is when other
        // starts make the same folders at this moment: each further call goes on from there,
        // so that the file can be written and no start goes without its configuration.
        const std::string folderName = logFolder.substr(0, logFolder.size() - 1);
        for (int call = 0; call < kFolderLevels && FileExists(folderName.c_str()) == 0; ++call) {
            CreateDirectoryTree(logFolder.c_str());
        }
        // The first start of the day also clears what earlier writes left beside the file: a
        // sibling that a scanner held past the move's budget, or one of a start ended midway.
        platform::RemoveTemporarySiblingsOlderThan(configuration.path, kLeftoverAge);
    }
    if (unchanged || WriteWhole(configuration.path, text)) {
        configuration.properties = DecodeProperties(entries);
    } else {
        SettingsRead read = WhatTheFileSays(configuration.path, text, entries);
        configuration.properties = std::move(read.properties);
        configuration.invalid = std::move(read.invalid);
    }
    return configuration;
}
