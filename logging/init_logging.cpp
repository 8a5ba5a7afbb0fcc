#include "logging/init_logging.h"

// log4cxx is not configured yet: the bootstrap that chooses and writes its configuration
// lands with the date and file-system libraries it is built on. Until then every start goes
// straight on to the run object, as it does when the set-up meets a failure.
void InitLogging(const std::string& /*programName*/, int /*first*/, int /*second*/, int /*third*/,
                 int /*fourth*/) {}
