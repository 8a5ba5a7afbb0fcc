// Handing a configuration to log4cxx.
#pragma once

#include <map>
#include <string>

#include "logging/log_properties.h"

// A properties text already decoded to UTF-8 (see settings_encoding.h) as log4cxx's parser
// reads it: keys and values in UTF-8.
std::map<std::string, std::string> ParseUtf8SettingsText(const std::string& utf8Text);

// Properties, keys and values in UTF-8, handed over as they are: the user's own settings,
// already read, decoded and checked (see shared_settings.h), so that Japanese folder names in
// them reach log4cxx intact. log4cxx is never given a path to open itself: what sits there
// might be a FIFO by then.
void ConfigureLog4cxx(const std::map<std::string, std::string>& utf8Properties);

// Entries in the ANSI code page decoded for log4cxx: keys and values in UTF-8.
std::map<std::string, std::string> DecodeProperties(const PropertyEntries& entries);

// The generated configuration, already decoded (see log_properties.h). log4cxx reads a
// properties file as ISO-8859-1, which would garble a Japanese log folder, so it never reads
// the file itself; each appender writes UTF-8 through our process-safe rolling appender.
// `programName` (ANSI) leads the lines that say why records could not be written.
void ConfigureLog4cxxFromGenerated(std::map<std::string, std::string> properties,
                                   const std::string& programName);
