#include "launcher/platform_launch_services.h"

#include "launcher/fatal_error.h"
#include "logging/init_logging.h"
#include "platform/process.h"

std::uint32_t PlatformLaunchServices::ExecutableFilePath(char* buffer, std::uint32_t size) {
    return platform::ExecutableFilePath(buffer, size);
}

void PlatformLaunchServices::InitLogging(const std::string& programName,
                                         const ProductVersion& version) {
    ::InitLogging(programName, version.first, version.second, version.third, version.fourth);
}

const OLECHAR* PlatformLaunchServices::CommandLine() {
    return platform::ProcessCommandLine();
}

HRESULT PlatformLaunchServices::ComInitialize() {
    return platform::ComInitialize();
}

HRESULT PlatformLaunchServices::ComCreateInstance(REFCLSID classId, IUnknown* outer,
                                                  DWORD classContext, REFIID interfaceId,
                                                  void** object) {
    return platform::ComCreateInstance(classId, outer, classContext, interfaceId, object);
}

void PlatformLaunchServices::ShowFatalError(unsigned messageId) {
    ::ShowFatalError(messageId);
}

void PlatformLaunchServices::ReportActivationFailure(HRESULT result) {
    platform::ReportActivationFailure(result);
}

void PlatformLaunchServices::ComUninitialize() {
    platform::ComUninitialize();
}
