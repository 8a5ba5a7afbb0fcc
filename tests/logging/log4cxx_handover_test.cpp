// The properties handed to log4cxx, checked against log4cxx's own substitution.
#include "logging/log4cxx_handover.h"

#include <gtest/gtest.h>
#include <log4cxx/helpers/optionconverter.h>
#include <log4cxx/helpers/properties.h>
#include <log4cxx/helpers/transcoder.h>

namespace {

using log4cxx::helpers::Transcoder;

TEST(PropertiesForLog4cxx, Log4cxxSubstitutionGivesBackEveryValueLiterally) {
    const std::map<std::string, std::string> generated = {
        {"log4j.appender.ovAppender.File", "/home/u/a${HOME}b/a${HOME}b.1.0.0Log_20260101.txt"},
        {"odd", "$${HOME}}${${}$"},
        {"log4j.appender.ovAppender.layout.ConversionPattern", "%d{yyyy} %m%n"},
        {"plain", "no dollar at all"},
    };
    const auto handed = PropertiesForLog4cxx(generated, "");
    log4cxx::helpers::Properties properties;
    for (const auto& [key, value] : handed) {
        log4cxx::LogString logKey;
        log4cxx::LogString logValue;
        Transcoder::decodeUTF8(key, logKey);
        Transcoder::decodeUTF8(value, logValue);
        properties.setProperty(logKey, logValue);
    }
    for (const auto& [key, value] : generated) {
        log4cxx::LogString logValue;
        Transcoder::decodeUTF8(handed.at(key), logValue);
        std::string substituted;
        Transcoder::encodeUTF8(log4cxx::helpers::OptionConverter::substVars(logValue, properties),
                               substituted);
        EXPECT_EQ(substituted, value) << key;
    }
}

TEST(PropertiesForLog4cxx, OnlyLog4cxxsRollingAppenderIsReplaced) {
    const std::map<std::string, std::string> generated = {
        {"log4j.appender.ovAppender", "org.apache.log4j.RollingFileAppender"},
        {"log4j.appender.other", "org.apache.log4j.FileAppender"},
    };
    const auto handed = PropertiesForLog4cxx(generated, "OurAppender", "taxlink");
    EXPECT_EQ(handed.at("log4j.appender.ovAppender"), "OurAppender");
    EXPECT_EQ(handed.at("log4j.appender.ovAppender.ProgramName"), "taxlink");
    EXPECT_EQ(handed.at("log4j.appender.other"), "org.apache.log4j.FileAppender");
    EXPECT_EQ(PropertiesForLog4cxx(generated, "").at("log4j.appender.ovAppender"),
              "org.apache.log4j.RollingFileAppender");
    EXPECT_EQ(handed.size(), 3u) << "nothing added where nothing needs keeping literal";
}

}  // namespace
