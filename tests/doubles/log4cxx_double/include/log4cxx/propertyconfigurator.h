// Test double of log4cxx::PropertyConfigurator: records each configuration it is handed, so
// that end-to-end tests can check what the logging bootstrap chose.
#pragma once

#include <log4cxx/file.h>
#include <log4cxx/helpers/properties.h>
#include <log4cxx/spi/configurator.h>

namespace log4cxx {

class PropertyConfigurator {
  public:
    static spi::ConfigurationStatus configure(const File& configFilename);
    static spi::ConfigurationStatus configure(helpers::Properties& properties);
};

}  // namespace log4cxx
