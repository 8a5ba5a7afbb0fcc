// Handing a configuration to log4cxx.
#pragma once

#include <map>
#include <string>

// The user's own settings file, read by log4cxx's file configurator as it stands.
void ConfigureLog4cxxFromFile(const std::string& path);

// The properties file this program wrote, decoded from the ANSI code page: its
// "key = value" lines, the writer's escapes undone, keys and values in UTF-8.
std::map<std::string, std::string> ReadGeneratedProperties(const std::string& path);

// log4cxx reads a properties file as ISO-8859-1, which would garble a Japanese log folder,
// so the generated file is read back here, decoded from the ANSI code page and handed over
// as properties. A file that cannot be read (missing, not a regular file, far too large)
// leaves log4cxx unconfigured.
void ConfigureLog4cxxFromGeneratedFile(const std::string& path);
