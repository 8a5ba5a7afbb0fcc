#include "launcher/launch_sequence.h"

#include <array>
#include <string>

#include "launcher/message_ids.h"
#include "launcher/product_version.h"
#include "platform/path.h"

namespace {

constexpr std::uint32_t kModulePathSize = platform::kMaxPath;

// Owns a BSTR holding the command line, without its terminator. Text that could not be had
// or a BSTR that could not be allocated is an out-of-memory failure.
class CommandLineBstr {
  public:
    explicit CommandLineBstr(const OLECHAR* text) {
        if (text != nullptr) {
            text_ = platform::AllocBstr(text,
                                        static_cast<UINT>(std::char_traits<OLECHAR>::length(text)));
        }
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

int RunLauncher(LaunchServices& services, int showCode) {
    std::array<char, kModulePathSize> modulePath{};
    std::string programName;
    if (services.ExecutableFilePath(modulePath.data(), kModulePathSize) != 0) {
        programName = ProgramNameFromPath(modulePath.data());
    }

    services.InitLogging(programName, kProductVersion);

    const OLECHAR* commandLine = services.CommandLine();

    if (FAILED(services.ComInitialize())) return kExitComUnavailable;

    IAppRun* runObject = nullptr;
    const HRESULT created =
        services.ComCreateInstance(CLSID_AppRun, nullptr, kRunObjectClassContext, IID_IAppRun,
                                   reinterpret_cast<void**>(&runObject));
    int result = kExitRunObjectNotCreated;
    // A server that reports success without an object has not created one either.
    if (FAILED(created) || runObject == nullptr) {
        services.ShowFatalError(kMessageRunObjectNotCreated);
        services.ReportActivationFailure(FAILED(created) ? created : E_POINTER);
    } else {
        const CommandLineBstr bstr(commandLine);
        result = runObject->Run(bstr.get(), showCode);
    }

    if (runObject != nullptr) runObject->Release();
    services.ComUninitialize();
    return result;
}
