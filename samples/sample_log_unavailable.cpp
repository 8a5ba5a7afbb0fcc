#include "samples/sample_log.h"

namespace sample {

// Builds without a log4cxx for their system (the Windows test build on Linux machines) have
// nothing to log through.
void LogRunLine(const std::string& /*utf8Line*/) {}

}  // namespace sample
