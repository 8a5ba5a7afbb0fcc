// Handing a configuration to log4cxx.
#pragma once

#include <map>
#include <string>

// A properties text in the ANSI code page as log4cxx's parser reads it, except that it is
// decoded first: keys and values in UTF-8.
std::map<std::string, std::string> ParseSettingsText(const std::string& ansiText);

// The user's own settings, already read, decoded and checked (see shared_settings.h), handed
// over as properties, so that Japanese folder names in them reach log4cxx intact. log4cxx is
// never given a path to open itself: what sits there might be a FIFO by then.
void ConfigureLog4cxxFromSettings(const std::map<std::string, std::string>& properties);

// The properties file this program wrote, decoded from the ANSI code page: its
// "key = value" lines, the writer's escapes undone, keys and values in UTF-8.
std::map<std::string, std::string> ReadGeneratedProperties(const std::string& path);

// log4cxx reads a properties file as ISO-8859-1, which would garble a Japanese log folder,
// so the generated file is read back here, decoded from the ANSI code page and handed over
// as properties, each appender writing UTF-8 through our process-safe rolling appender. A
// file that cannot be read (missing, not a regular file, far too large) leaves log4cxx
// unconfigured.
void ConfigureLog4cxxFromGeneratedFile(const std::string& path);
