// Test double of log4cxx's configuration result.
#pragma once

namespace log4cxx::spi {
enum ConfigurationStatus { NotConfigured, Configured };
}  // namespace log4cxx::spi
