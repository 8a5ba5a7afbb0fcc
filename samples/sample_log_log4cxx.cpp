#include <log4cxx/logger.h>

#include "samples/sample_log.h"

namespace sample {

void LogRunLine(const std::string& utf8Line) {
    static const log4cxx::LoggerPtr logger = log4cxx::Logger::getLogger("OvTaxLink.AppRun");
    log4cxx::LogString message;
    log4cxx::helpers::Transcoder::decodeUTF8(utf8Line, message);
    LOG4CXX_INFO(logger, message);
}

}  // namespace sample
