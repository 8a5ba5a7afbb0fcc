#include <cstdio>

#include "platform/diagnostic.h"
#include "platform/posix/locale_text.h"

namespace platform {

void ReportDiagnostic(const std::string& ansiLine) {
    std::fprintf(stderr, "%s\n", posix::AnsiToLocaleText(ansiLine).c_str());
}

}  // namespace platform
