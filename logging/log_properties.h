// The per-program log4cxx properties file: one rolling appender, level Info, a daily log
// file named after the program, its version and the day.
#pragma once

#include <cstdint>
#include <string>

// ".1.0.0" for 1, 0, 0, 0; the fourth number only when it is not 0.
std::string VersionSuffix(std::int32_t first, std::int32_t second, std::int32_t third,
                          std::int32_t fourth);

// Text as a properties value that log4cxx reads back unchanged: every backslash doubled
// except the second byte of a double-byte character, line breaks written as escapes.
std::string EscapePropertyValue(const std::string& text);

// The seven lines of the file, each ending in "\n".
std::string LogPropertiesText(const std::string& programName, const std::string& logFolder,
                              const std::string& versionSuffix, const std::string& dateStamp);

// Writes the file for today into the log root and returns its path, whether or not it
// could be written; creates the program's log folder first.
std::string WriteLogProperties(const std::string& programName, const std::string& logRoot,
                               std::int32_t first, std::int32_t second, std::int32_t third,
                               std::int32_t fourth);
