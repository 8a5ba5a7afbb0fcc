// The platform's process entry (WinMain, or main elsewhere) gathers what the process was
// started with once and hands it to this function, which the launcher executable defines; its
// result is the exit code.
#pragma once

#include <optional>
#include <string>

#include "platform/activation_context.h"
#include "platform/code_page.h"

namespace platform {

struct ProcessStart {
    // Full path of the running executable in the ANSI code page, shorter than kMaxPath; empty
    // when it cannot be had or does not fit, since a cut path would name another program.
    std::string executablePath;
    // The whole command line in UTF-16, the executable's own path at its head; nothing when it
    // cannot be converted.
    std::optional<WideString> commandLine;
    int showCode = 0;
    // Where the run object's class is found.
    ActivationContext activation;
};

}  // namespace platform

int LauncherEntry(const platform::ProcessStart& start);
