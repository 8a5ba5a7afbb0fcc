// What the generated file's entries become before log4cxx gets them; the file on disk keeps
// its own bytes.
#pragma once

#include <map>
#include <string>

// The class name under which log4cxx knows our process-safe rolling appender.
inline constexpr const char* kProcessSafeAppenderClass = "ProcessSafeRollingFileAppender";

// Values with every "${" kept literal (log4cxx would substitute a variable there, so a
// folder or program named "a${HOME}b" would send the log elsewhere), and log4cxx's rolling
// file appender replaced by `rollingAppenderClass` when that is not empty, told the program's
// name (UTF-8) for the lines it writes when records cannot be.
std::map<std::string, std::string> PropertiesForLog4cxx(
    const std::map<std::string, std::string>& generated, const std::string& rollingAppenderClass,
    const std::string& programName = {});
