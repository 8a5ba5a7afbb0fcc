// Test double of log4cxx::helpers::Transcoder: log strings are UTF-8 already.
#pragma once

#include <log4cxx/logstring.h>

namespace log4cxx::helpers {

class Transcoder {
  public:
    static void decodeUTF8(const std::string& src, LogString& dst) { dst.append(src); }
};

}  // namespace log4cxx::helpers
