// The per-program log4cxx configuration: one rolling appender, level Info, a daily log file
// named after the program, its version and the day. It is built once in memory; the file is
// written from it and log4cxx is given the same entries.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Keys and values in the ANSI code page, in the order of the file's lines.
using PropertyEntries = std::vector<std::pair<std::string, std::string>>;

// ".1.0.0" for 1, 0, 0, 0; the fourth number only when it is not 0.
std::string VersionSuffix(std::int32_t first, std::int32_t second, std::int32_t third,
                          std::int32_t fourth);

// Text as a properties value that log4cxx reads back unchanged: every backslash doubled
// except the second byte of a double-byte character, line breaks written as escapes.
std::string EscapePropertyValue(const std::string& text);

// The entries of the generated configuration, values as log4cxx is to read them.
PropertyEntries LogPropertyEntries(const std::string& programName, const std::string& logFolder,
                                   const std::string& versionSuffix, const std::string& dateStamp);

// The file's text: a "key = value" line for each entry, the value escaped, each line ending
// in "\n".
std::string PropertiesFileText(const PropertyEntries& entries);

struct GeneratedConfiguration {
    std::string path;  // the file, whether or not it could be written
    // What log4cxx is to be given, keys and values in UTF-8: the entries built, or, where the
    // file could not be written, what the file there says. Empty when there is nothing.
    std::map<std::string, std::string> properties;
    // Empty; or, where the file there was read and holds bytes not valid in the encoding it
    // was taken to be in, which that was (see settings_encoding.h).
    std::string invalid;
};

// Writes the file for today into the log root, making the log root and the program's log
// folder first, unless it holds exactly that text already.
GeneratedConfiguration WriteLogProperties(const std::string& programName,
                                          const std::string& logRoot, std::int32_t first,
                                          std::int32_t second, std::int32_t third,
                                          std::int32_t fourth);
