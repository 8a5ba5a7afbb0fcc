#include "launcher/launch_sequence.h"

#include <array>

#include "launcher/message_ids.h"
#include "launcher/product_version.h"
#include "platform/code_page.h"
#include "platform/path.h"

namespace {

constexpr std::uint32_t kModulePathSize = platform::kMaxPath;

// Owns a BSTR made from ANSI text: measured over the whole terminated text, allocated
// without the terminator, converted, and rejected when the conversion's count differs.
class CommandLineBstr {
  public:
    explicit CommandLineBstr(const char* ansiText) {
        const int measured = platform::AnsiToWide(ansiText, -1, nullptr, 0);
        if (measured > 0) {
            text_ = platform::AllocBstr(nullptr, static_cast<UINT>(measured - 1));
            if (text_ != nullptr &&
                platform::AnsiToWide(ansiText, -1, text_, measured) != measured) {
                platform::FreeBstr(text_);
                text_ = nullptr;
            }
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

    const char* commandLine = services.CommandLine();

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
