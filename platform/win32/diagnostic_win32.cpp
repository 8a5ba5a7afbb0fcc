#include <windows.h>

#include "platform/diagnostic.h"

namespace platform {

void ReportDiagnostic(const std::string& ansiLine) {
    OutputDebugStringA((ansiLine + "\n").c_str());
}

}  // namespace platform
