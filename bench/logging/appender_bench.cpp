// 10,000 records through one rolling file appender, configured as the generated file
// configures it: ours ("ours"), ours into a log that cannot be opened ("unopenable": FILE names
// one that cannot be), or log4cxx's own RollingFileAppender ("log4cxx"); or 10,000 looks at
// an open log file ("look"), what our appender pays when it looks at its file, so that figures
// from two machines can be compared.
// usage: appender_bench ours|unopenable|log4cxx|look FILE
// Prints the wall time of the records (or looks) alone; appenders.py counts their
// instructions.
#include <log4cxx/helpers/properties.h>
#include <log4cxx/logger.h>
#include <log4cxx/propertyconfigurator.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "logging/log4cxx_handover.h"
#include "logging/process_safe_rolling_file_appender.h"
#include "platform/shared_append_file.h"

constexpr int kRecords = 10000;

// Named on its own so that callgrind can count this call alone.
extern "C" __attribute__((noinline)) void LogTenThousandRecords(const log4cxx::LoggerPtr& logger) {
    for (int number = 0; number < kRecords; ++number) {
        LOG4CXX_INFO(logger,
                     "AppRun: show=10 cmdline=C:\\Program Files\\TaxLink\\launcher.exe " << number);
    }
}

namespace {

int TimeLooks(const char* path) {
    platform::SharedAppendFile file;
    if (file.Open(path).outcome != platform::SharedAppendFile::OpenOutcome::kOpened) return 1;
    platform::SharedAppendFile::State state;
    const auto start = std::chrono::steady_clock::now();
    for (int number = 0; number < kRecords; ++number) {
        if (!file.Query(state)) return 1;
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    std::printf("look %d looks %.3f ms\n", kRecords, elapsed.count());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "look") == 0) return TimeLooks(argv[2]);
    const bool ours =
        argc == 3 && (std::strcmp(argv[1], "ours") == 0 || std::strcmp(argv[1], "unopenable") == 0);
    if (argc != 3 || (!ours && std::strcmp(argv[1], "log4cxx") != 0)) {
        std::fprintf(stderr, "usage: appender_bench ours|unopenable|log4cxx|look FILE\n");
        return 2;
    }
    if (ours) ProcessSafeRollingFileAppender::registerClass();
    log4cxx::helpers::Properties properties;
    properties.setProperty(LOG4CXX_STR("log4j.rootLogger"), LOG4CXX_STR("Info, ovAppender"));
    properties.setProperty(
        LOG4CXX_STR("log4j.appender.ovAppender"),
        ours ? kProcessSafeAppenderClass : "org.apache.log4j.RollingFileAppender");
    properties.setProperty(LOG4CXX_STR("log4j.appender.ovAppender.MaxFileSize"),
                           LOG4CXX_STR("5MB"));
    properties.setProperty(LOG4CXX_STR("log4j.appender.ovAppender.MaxBackupIndex"),
                           LOG4CXX_STR("1"));
    properties.setProperty(LOG4CXX_STR("log4j.appender.ovAppender.File"), argv[2]);
    properties.setProperty(LOG4CXX_STR("log4j.appender.ovAppender.layout"),
                           LOG4CXX_STR("org.apache.log4j.PatternLayout"));
    properties.setProperty(LOG4CXX_STR("log4j.appender.ovAppender.layout.ConversionPattern"),
                           LOG4CXX_STR("%d{yyyy-MM-dd HH:mm:ss} [%5p] %l %M - %m%n"));
    log4cxx::PropertyConfigurator::configure(properties);

    const auto logger = log4cxx::Logger::getLogger("OvTaxLink.AppRun");
    const auto start = std::chrono::steady_clock::now();
    LogTenThousandRecords(logger);
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    std::printf("%s %d records %.3f ms\n", argv[1], kRecords, elapsed.count());
    return 0;
}
