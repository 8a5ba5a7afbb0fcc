// The logging bootstrap: points log4cxx at the shared settings file or at a freshly written
// per-program properties file before anything else runs.
#pragma once

#include <string>

#include "platform/path.h"

// The folder every program keeps its log configuration and logs in, below the documents
// folder. A documents folder at the root of a drive or share (H:\) ends in its separator
// already and gets no second one.
std::string LogRoot(const std::string& documentsFolder,
                    platform::PathStyle style = platform::kNativePathStyle);

// Failures met as result codes are ignored: the launcher goes on whatever happens here.
// Without a documents folder nothing is read or written and log4cxx stays unconfigured.
// Exceptions (out of memory, log4cxx's own) are not caught.
void InitLogging(const std::string& programName, int first, int second, int third, int fourth);
