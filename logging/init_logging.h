// The logging bootstrap: points log4cxx at the shared settings file or at a freshly written
// per-program properties file before anything else runs.
#pragma once

#include <string>

void InitLogging(const std::string& programName, int first, int second, int third, int fourth);
