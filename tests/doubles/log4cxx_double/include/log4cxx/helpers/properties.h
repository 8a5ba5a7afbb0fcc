// Test double of log4cxx::helpers::Properties: an ordered map of keys to values.
#pragma once

#include <log4cxx/logstring.h>

#include <map>

namespace log4cxx::helpers {

class Properties {
  public:
    // The value the key had before, empty when it had none.
    LogString setProperty(const LogString& key, const LogString& value);
    LogString getProperty(const LogString& key) const;
    const std::map<LogString, LogString>& entries() const { return entries_; }

  private:
    std::map<LogString, LogString> entries_;
};

}  // namespace log4cxx::helpers
