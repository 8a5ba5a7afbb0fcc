// The rolling file appender that the generated configuration hands to log4cxx: the options
// of log4cxx's own RollingFileAppender (File, MaxFileSize, MaxBackupIndex, Encoding), written
// through a SharedRollingFile so that every process of a program can log into one daily file
// at once without losing or tearing a record. Records are written at once, never buffered.
#pragma once

#include <log4cxx/appenderskeleton.h>
#include <log4cxx/helpers/charsetencoder.h>

#include <memory>

#include "logging/shared_rolling_file.h"

// log4cxx's class-registration macros name "helpers::" (and, from 1.8 on, "LogString") as
// seen from inside log4cxx: the class lives in a namespace of its own that names both so, and
// only the class itself reaches the includers.
namespace process_safe_appender {

namespace helpers = log4cxx::helpers;
using log4cxx::LogString;

class ProcessSafeRollingFileAppender : public log4cxx::AppenderSkeleton {
  public:
    DECLARE_LOG4CXX_OBJECT(ProcessSafeRollingFileAppender)
    BEGIN_LOG4CXX_CAST_MAP()
    LOG4CXX_CAST_ENTRY(ProcessSafeRollingFileAppender)
    LOG4CXX_CAST_ENTRY_CHAIN(AppenderSkeleton)
    END_LOG4CXX_CAST_MAP()

    ProcessSafeRollingFileAppender();

    void setOption(const log4cxx::LogString& option, const log4cxx::LogString& value) override;
    void activateOptions(log4cxx::helpers::Pool& pool) override;
    void close() override;
    bool requiresLayout() const override { return true; }

  protected:
    void append(const log4cxx::spi::LoggingEventPtr& event, log4cxx::helpers::Pool& pool) override;

  private:
    void Encode(const log4cxx::LogString& text, std::string& bytes);

    log4cxx::LogString fileName_;
    // Leads each line that says why records were not written.
    log4cxx::LogString programName_;
    long maxFileSize_ = 10L * 1024 * 1024;
    int maxBackupIndex_ = 1;
    log4cxx::helpers::CharsetEncoderPtr encoder_;
    std::unique_ptr<SharedRollingFile> file_;
    log4cxx::LogString text_;
    std::string bytes_;
};

}  // namespace process_safe_appender

using process_safe_appender::ProcessSafeRollingFileAppender;
