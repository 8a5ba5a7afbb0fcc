#include "platform/com.h"

namespace platform {

HRESULT ComInitialize() {
    return CoInitialize(nullptr);
}

HRESULT ComCreateInstance(ActivationContext& /*context*/, REFCLSID classId, IUnknown* outer,
                          DWORD classContext, REFIID interfaceId, void** object) {
    return CoCreateInstance(classId, outer, classContext, interfaceId, object);
}

void ComUninitialize() {
    CoUninitialize();
}

BSTR AllocBstr(const OLECHAR* text, UINT length) {
    return SysAllocStringLen(text, length);
}

void FreeBstr(BSTR text) {
    SysFreeString(text);
}

// Windows records activation problems itself (the application event log, sxstrace), so the
// launcher adds nothing of its own.
void ReportActivationFailure(const ActivationContext& /*context*/,
                             const std::string& /*programName*/, HRESULT /*result*/) {}

}  // namespace platform
