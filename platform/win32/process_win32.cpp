#include <windows.h>

#include "platform/process.h"

namespace platform {

std::uint32_t ExecutableFilePath(char* buffer, std::uint32_t size) {
    return GetModuleFileNameA(nullptr, buffer, size);
}

const char* ProcessCommandLine() {
    return GetCommandLineA();
}

int StartupShowCode() {
    constexpr int kShowDefault = SW_SHOWDEFAULT;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : kShowDefault;
}

}  // namespace platform
