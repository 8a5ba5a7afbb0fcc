#include "launcher/launch_sequence.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "launcher/message_ids.h"
#include "launcher/product_version.h"
#include "platform/com.h"
#include "platform/path.h"

namespace {

// Owns a BSTR holding the command line, without its terminator. Text that could not be had
// or a BSTR that could not be allocated is an out-of-memory failure.
class CommandLineBstr {
  public:
    explicit CommandLineBstr(const std::optional<platform::WideString>& text) {
        if (text)
            text_ = platform::AllocBstr(text->c_str(), static_cast<std::uint32_t>(text->size()));
        if (text_ == nullptr) throw CommandLineConversionError{E_OUTOFMEMORY};
    }
    ~CommandLineBstr() { platform::FreeBstr(text_); }
    CommandLineBstr(const CommandLineBstr&) = delete;
    CommandLineBstr& operator=(const CommandLineBstr&) = delete;

    BSTR get() const { return text_; }

  private:
    BSTR text_ = nullptr;
};

}  // namespace

std::string ProgramNameFromPath(const char* modulePath, platform::PathStyle style) {
    std::array<char, platform::kMaxDrive> drive{};
    std::array<char, platform::kMaxDir> dir{};
    std::array<char, platform::kMaxFname> name{};
    std::array<char, platform::kMaxExt> ext{};
    platform::SplitPath(modulePath, drive.data(), dir.data(), name.data(), ext.data(), style);
    return name.data();
}

int RunLauncher(LaunchServices& services, const platform::ProcessStart& start) {
    const std::string programName = ProgramNameFromPath(start.executablePath.c_str());
    services.InitLogging(programName, kProductVersion);

    if (FAILED(services.ComInitialize())) return kExitComUnavailable;

    IAppRun* runObject = nullptr;
    const HRESULT created =
        services.ComCreateInstance(CLSID_AppRun, nullptr, kRunObjectClassContext, IID_IAppRun,
                                   reinterpret_cast<void**>(&runObject));
    int result = kExitRunObjectNotCreated;
    // A server that reports success without an object has not created one either.
    if (FAILED(created) || runObject == nullptr) {
        services.ShowFatalError(kMessageRunObjectNotCreated);
        services.ReportActivationFailure(programName, FAILED(created) ? created : E_POINTER);
    } else {
        const CommandLineBstr bstr(start.commandLine);
        result = runObject->Run(bstr.get(), start.showCode);
    }

    if (runObject != nullptr) runObject->Release();
    services.ComUninitialize();
    return result;
}
