// The logging bootstrap: points log4cxx at the shared settings file or at a freshly written
// per-program properties file before anything else runs.
#pragma once

#include <string>

// The folder every program keeps its log configuration and logs in.
std::string LogRoot(const std::string& documentsFolder);

// Failures met as result codes are ignored: the launcher goes on whatever happens here.
// Exceptions (out of memory, log4cxx's own) are not caught.
void InitLogging(const std::string& programName, int first, int second, int third, int fourth);
