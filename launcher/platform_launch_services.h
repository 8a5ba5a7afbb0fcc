#pragma once

#include "launcher/launch_sequence.h"

// The launch services of a real process: the platform layer, the logging bootstrap and the
// fatal-error box.
class PlatformLaunchServices final : public LaunchServices {
  public:
    std::uint32_t ExecutableFilePath(char* buffer, std::uint32_t size) override;
    void InitLogging(const std::string& programName, const ProductVersion& version) override;
    const OLECHAR* CommandLine() override;
    HRESULT ComInitialize() override;
    HRESULT ComCreateInstance(REFCLSID classId, IUnknown* outer, DWORD classContext,
                              REFIID interfaceId, void** object) override;
    void ShowFatalError(unsigned messageId) override;
    void ReportActivationFailure(HRESULT result) override;
    void ComUninitialize() override;
};
