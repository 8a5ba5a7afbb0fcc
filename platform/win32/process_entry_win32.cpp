#include <windows.h>

#include <array>
#include <cwchar>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/process_entry.h"

// The GUI entry: no console, the show code as the starter gave it. The argument tail is not
// used; the launcher hands on the whole command line instead, as the system holds it in UTF-16,
// so that characters outside the ANSI code page survive.
int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*arguments*/,
                   int showCode) {
    platform::ProcessStart start;
    std::array<char, platform::kMaxPath> path{};
    if (platform::ExecutableFilePath(path.data(), platform::kMaxPath) != 0) {
        start.executablePath = path.data();
    }
    const wchar_t* commandLine = GetCommandLineW();
    start.commandLine = platform::WideString(commandLine, commandLine + std::wcslen(commandLine));
    start.showCode = showCode;
    start.activation.classes = platform::ManifestClassTable();
    return LauncherEntry(start);
}
