#pragma once

#include <string>

namespace sample {

// Logs the run object's line at level Info through the process's log4cxx configuration.
void LogRunLine(const std::string& utf8Line);

}  // namespace sample
