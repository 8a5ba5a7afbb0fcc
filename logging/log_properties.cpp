#include "logging/log_properties.h"

#include <chrono>
#include <clocale>
#include <cstdio>

#include "date/format_date.h"
#include "date/idate.h"
#include "fsutil/directory_tree.h"
#include "logging/retry_within.h"
#include "logging/text_file.h"
#include "platform/file_replace.h"
#include "platform/mbstring.h"
#include "platform/path.h"

namespace {

constexpr std::chrono::milliseconds kReplaceBudget{50};

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

}  // namespace

std::string VersionSuffix(std::int32_t first, std::int32_t second, std::int32_t third,
                          std::int32_t fourth) {
    std::string suffix;
    for (const std::int32_t number : {first, second, third}) {
        suffix += '.';
        suffix += std::to_string(number);
    }
    if (fourth != 0) {
        suffix += '.';
        suffix += std::to_string(fourth);
    }
    return suffix;
}

std::string EscapePropertyValue(const std::string& text) {
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

std::string LogPropertiesText(const std::string& programName, const std::string& logFolder,
                              const std::string& versionSuffix, const std::string& dateStamp) {
    std::string text =
        "log4j.rootLogger = Info, ovAppender\n"
        "log4j.appender.ovAppender = org.apache.log4j.RollingFileAppender\n"
        "log4j.appender.ovAppender.MaxFileSize = 5MB\n"
        "log4j.appender.ovAppender.MaxBackupIndex = 1\n"
        "log4j.appender.ovAppender.File = ";
    text += EscapePropertyValue(logFolder + programName);
    text += versionSuffix;
    text += "Log_";
    text += dateStamp;
    text +=
        ".txt\n"
        "log4j.appender.ovAppender.layout = org.apache.log4j.PatternLayout\n"
        "log4j.appender.ovAppender.layout.ConversionPattern = %d{yyyy-MM-dd HH:mm:ss} [%5p] "
        "%l %M - %m%n\n";
    return text;
}

std::string WriteLogProperties(const std::string& programName, const std::string& logRoot,
                               std::int32_t first, std::int32_t second, std::int32_t third,
                               std::int32_t fourth) {
    std::setlocale(LC_ALL, "");

    std::string propertiesPath = logRoot + platform::kPathSeparator + programName + ".ini";
    const std::string logFolder =
        logRoot + platform::kPathSeparator + programName + platform::kPathSeparator;
    CreateDirectoryTree(logFolder.c_str());

    IDate today(0);
    today.SetToday();
    std::string dateStamp;
    FormatDate(today, DF_YEAR | DF_MONTH | DF_DAY, dateStamp);

    const std::string text = LogPropertiesText(
        programName, logFolder, VersionSuffix(first, second, third, fourth), dateStamp);

    // Every start of the same day finds the file already holding exactly these bytes; it is
    // left as it is, which changes nothing but its time stamp and spares simultaneous starts
    // the moment in which it is being replaced. One byte more than expected is enough to
    // tell, whatever size the file has.
    std::string existing;
    if (ReadTextFile(propertiesPath, text.size(), existing) == TextFileRead::kRead &&
        existing == text) {
        return propertiesPath;
    }

    // Written beside the file and moved over it in one step, so that a start running at the
    // same moment never reads it half written. Where the move is refused, the file is
    // written in place instead.
    std::string temporaryPath;
    if (!WriteTemporarySibling(propertiesPath, text, temporaryPath)) {
        RewriteTextFile(propertiesPath, text);
    } else if (!ReplaceWithRetries(temporaryPath, propertiesPath)) {
        std::remove(temporaryPath.c_str());
        RewriteTextFile(propertiesPath, text);
    }
    return propertiesPath;
}
