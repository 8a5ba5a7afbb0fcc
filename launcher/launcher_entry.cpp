#include <utility>

#include "launcher/fatal_error.h"
#include "launcher/launch_sequence.h"
#include "logging/init_logging.h"
#include "platform/com.h"
#include "platform/process_entry.h"

namespace {

// The launch services of a real process: the platform layer, the logging bootstrap and the
// fatal-error box.
class PlatformLaunchServices final : public LaunchServices {
  public:
    explicit PlatformLaunchServices(platform::ActivationContext activation)
        : activation_(std::move(activation)) {}

    void InitLogging(const std::string& programName, const ProductVersion& version) override {
        ::InitLogging(programName, version.first, version.second, version.third, version.fourth);
    }
    HRESULT ComInitialize() override { return platform::ComInitialize(); }
    platform::ComCreation ComCreateInstance(REFCLSID classId, IUnknown* outer, DWORD classContext,
                                            REFIID interfaceId, void** object) override {
        return platform::ComCreateInstance(activation_, classId, outer, classContext, interfaceId,
                                           object);
    }
    void ShowFatalError(unsigned messageId) override { ::ShowFatalError(messageId); }
    void ReportActivationFailure(const std::string& programName,
                                 const platform::ComCreation& failure) override {
        platform::ReportActivationFailure(programName, failure);
    }
    void ComUninitialize() override { platform::ComUninitialize(); }

  private:
    platform::ActivationContext activation_;
};

}  // namespace

int LauncherEntry(const platform::ProcessStart& start) {
    PlatformLaunchServices services(start.activation);
    return RunLauncher(services, start);
}
