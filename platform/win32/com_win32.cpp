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

BSTR AllocBstr(const char16_t* text, std::uint32_t length) {
    static_assert(sizeof(OLECHAR) == sizeof(char16_t));
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text), length);
}

void FreeBstr(BSTR text) {
    SysFreeString(text);
}

// Windows records activation problems itself (the application event log, sxstrace), so the
// launcher adds nothing of its own.
void ReportActivationFailure(const ActivationContext& /*context*/,
                             const std::string& /*programName*/, HRESULT /*result*/) {}

}  // namespace platform
