// Handing a configuration to log4cxx.
#pragma once

#include <map>
#include <string>

// A properties text in the ANSI code page as log4cxx's parser reads it, except that it is
// decoded first: keys and values in UTF-8.
std::map<std::string, std::string> ParseSettingsText(const std::string& ansiText);

// The user's own settings file: read here, decoded from the ANSI code page and handed over
// as properties, so that Japanese folder names in it reach log4cxx intact. A file that
// cannot be read goes to log4cxx's file configurator, which reports it.
void ConfigureLog4cxxFromFile(const std::string& path);

// The properties file this program wrote, decoded from the ANSI code page: its
// "key = value" lines, the writer's escapes undone, keys and values in UTF-8.
std::map<std::string, std::string> ReadGeneratedProperties(const std::string& path);

// log4cxx reads a properties file as ISO-8859-1, which would garble a Japanese log folder,
// so the generated file is read back here, decoded from the ANSI code page and handed over
// as properties, each appender writing UTF-8. A file that cannot be read goes to the file
// configurator, which reports it.
void ConfigureLog4cxxFromGeneratedFile(const std::string& path);
