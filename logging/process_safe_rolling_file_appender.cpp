#include "logging/process_safe_rolling_file_appender.h"

#include <log4cxx/helpers/bytebuffer.h>
#include <log4cxx/helpers/loglog.h>
#include <log4cxx/helpers/optionconverter.h>
#include <log4cxx/helpers/stringhelper.h>
#include <log4cxx/helpers/transcoder.h>
#include <log4cxx/layout.h>

#include "platform/code_page.h"
#include "platform/diagnostic.h"
#include "platform/utf8.h"

using log4cxx::LogString;
using log4cxx::helpers::CharsetEncoder;
using log4cxx::helpers::LogLog;
using log4cxx::helpers::OptionConverter;
using log4cxx::helpers::StringHelper;

IMPLEMENT_LOG4CXX_OBJECT(ProcessSafeRollingFileAppender)

ProcessSafeRollingFileAppender::ProcessSafeRollingFileAppender()
    : encoder_(CharsetEncoder::getUTF8Encoder()) {}

void ProcessSafeRollingFileAppender::setOption(const LogString& option, const LogString& value) {
    if (StringHelper::equalsIgnoreCase(option, LOG4CXX_STR("FILE"), LOG4CXX_STR("file"))) {
        fileName_ = StringHelper::trim(value);
    } else if (StringHelper::equalsIgnoreCase(option, LOG4CXX_STR("MAXFILESIZE"),
                                              LOG4CXX_STR("maxfilesize"))) {
        maxFileSize_ = OptionConverter::toFileSize(value, maxFileSize_);
    } else if (StringHelper::equalsIgnoreCase(option, LOG4CXX_STR("MAXBACKUPINDEX"),
                                              LOG4CXX_STR("maxbackupindex"))) {
        maxBackupIndex_ = OptionConverter::toInt(value, maxBackupIndex_);
    } else if (StringHelper::equalsIgnoreCase(option, LOG4CXX_STR("ENCODING"),
                                              LOG4CXX_STR("encoding"))) {
        encoder_ = CharsetEncoder::getEncoder(value);
    } else if (StringHelper::equalsIgnoreCase(option, LOG4CXX_STR("PROGRAMNAME"),
                                              LOG4CXX_STR("programname"))) {
        programName_ = value;
    } else {
        // Append, BufferedIO and the like are not options here: a file that several
        // processes share is only ever appended to, one whole record at a time.
        AppenderSkeleton::setOption(option, value);
    }
}

void ProcessSafeRollingFileAppender::activateOptions(log4cxx::helpers::Pool& /*pool*/) {
    if (fileName_.empty()) {
        LogLog::error(LOG4CXX_STR("File option not set for appender [") + getName() +
                      LOG4CXX_STR("]."));
        return;
    }
    std::string path;
    log4cxx::helpers::Transcoder::encodeUTF8(fileName_, path);
    std::string program;
    log4cxx::helpers::Transcoder::encodeUTF8(programName_, program);
    // The lines are rare, so their text is made only when one is said.
    auto report = [program](const std::string& utf8Line) {
        const std::string line = program + ": " + utf8Line;
        const std::u16string wide = platform::Utf16FromUtf8(line.data(), line.size());
        platform::ReportDiagnostic(platform::AnsiFromWide(wide));
    };
    file_ = std::make_unique<SharedRollingFile>(path, maxFileSize_, maxBackupIndex_,
                                                SharedRollingFile::SteadyClock(), report);
    file_->Open();
}

void ProcessSafeRollingFileAppender::close() {
    file_.reset();
}

void ProcessSafeRollingFileAppender::append(const log4cxx::spi::LoggingEventPtr& event,
                                            log4cxx::helpers::Pool& pool) {
    const log4cxx::LayoutPtr layout = getLayout();
    if (file_ == nullptr || layout == nullptr || file_->IsTurnedOff()) return;
    // The buffers are kept from record to record (AppenderSkeleton appends one at a time).
    text_.clear();
    layout->format(text_, event, pool);
    Encode(text_, bytes_);
    file_->Append(bytes_);
}

void ProcessSafeRollingFileAppender::Encode(const LogString& text, std::string& bytes) {
    bytes.clear();
    char chunk[1024];
    log4cxx::helpers::ByteBuffer buffer(chunk, sizeof chunk);
    for (auto at = text.cbegin(); at != text.cend();) {
        const auto before = at;
        CharsetEncoder::encode(encoder_, text, at, buffer);
        buffer.flip();
        bytes.append(buffer.data(), buffer.limit());
        buffer.clear();
        if (at == before) break;  // an encoder that cannot go on
    }
}
