#include "launcher/platform_launch_services.h"

#include "launcher/fatal_error.h"
#include "logging/init_logging.h"
#include "platform/com.h"

void PlatformLaunchServices::InitLogging(const std::string& programName,
                                         const ProductVersion& version) {
    ::InitLogging(programName, version.first, version.second, version.third, version.fourth);
}

HRESULT PlatformLaunchServices::ComInitialize() {
    return platform::ComInitialize();
}

HRESULT PlatformLaunchServices::ComCreateInstance(REFCLSID classId, IUnknown* outer,
                                                  DWORD classContext, REFIID interfaceId,
                                                  void** object) {
    return platform::ComCreateInstance(activation_, classId, outer, classContext, interfaceId,
                                       object);
}

void PlatformLaunchServices::ShowFatalError(unsigned messageId) {
    ::ShowFatalError(messageId);
}

void PlatformLaunchServices::ReportActivationFailure(const std::string& programName,
                                                     HRESULT result) {
    platform::ReportActivationFailure(activation_, programName, result);
}

void PlatformLaunchServices::ComUninitialize() {
    platform::ComUninitialize();
}
