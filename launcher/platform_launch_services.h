#pragma once

#include <utility>

#include "launcher/launch_sequence.h"

// The launch services of a real process: the platform layer, the logging bootstrap and the
// fatal-error box.
class PlatformLaunchServices final : public LaunchServices {
  public:
    explicit PlatformLaunchServices(platform::ActivationContext activation)
        : activation_(std::move(activation)) {}

    void InitLogging(const std::string& programName, const ProductVersion& version) override;
    HRESULT ComInitialize() override;
    HRESULT ComCreateInstance(REFCLSID classId, IUnknown* outer, DWORD classContext,
                              REFIID interfaceId, void** object) override;
    void ShowFatalError(unsigned messageId) override;
    void ReportActivationFailure(const std::string& programName, HRESULT result) override;
    void ComUninitialize() override;

  private:
    platform::ActivationContext activation_;
};
