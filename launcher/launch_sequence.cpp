#include "launcher/launch_sequence.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "launcher/message_ids.h"
#include "platform/com.h"

std::string ProgramNameFromPath(const char* modulePath, platform::PathStyle style) {
    std::array<char, platform::kMaxFname> name{};
    platform::SplitPath(modulePath, nullptr, nullptr, name.data(), nullptr, style);
    return name.data();
}

int RunLauncher(LaunchServices& services, const platform::ProcessStart& start) {
    const std::string programName = ProgramNameFromPath(start.executablePath.c_str());
    services.InitLogging(programName, kProductVersion);

    if (FAILED(services.ComInitialize())) return kExitComUnavailable;

    IAppRun* runObject = nullptr;
    platform::ComCreation created =
        services.ComCreateInstance(CLSID_AppRun, nullptr, kRunObjectClassContext, IID_IAppRun,
                                   reinterpret_cast<void**>(&runObject));
    int result = kExitRunObjectNotCreated;
    // A server that reports success without an object has not created one either.
    if (FAILED(created.outcome) || runObject == nullptr) {
        if (!FAILED(created.outcome)) created.outcome = E_POINTER;
        // Said before the box, so that it can be read while the box waits.
        services.ReportActivationFailure(programName, created);
        services.ShowFatalError(kMessageRunObjectNotCreated);
    } else {
        // The command line without its terminator. Text that could not be had or a BSTR that
        // could not be allocated is an out-of-memory failure.
        const std::optional<platform::WideString>& text = start.commandLine;
        const std::unique_ptr<OLECHAR, decltype(&platform::FreeBstr)> bstr(
            text ? platform::AllocBstr(text->c_str(), static_cast<std::uint32_t>(text->size()))
                 : nullptr,
            &platform::FreeBstr);
        if (bstr == nullptr) throw CommandLineConversionError{E_OUTOFMEMORY};
        result = runObject->Run(bstr.get(), start.showCode);
    }

    if (runObject != nullptr) runObject->Release();
    services.ComUninitialize();
    return result;
}
