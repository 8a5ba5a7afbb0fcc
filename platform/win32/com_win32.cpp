#include "platform/com.h"

#include "platform/win32/activation_failure_win32.h"

namespace platform {

HRESULT ComInitialize() {
    return CoInitialize(nullptr);
}

ComCreation ComCreateInstance(const ActivationContext& context, REFCLSID classId, IUnknown* outer,
                              DWORD classContext, REFIID interfaceId, void** object) {
    const HRESULT result = CoCreateInstance(classId, outer, classContext, interfaceId, object);
    if (SUCCEEDED(result) && *object != nullptr) return {result, {}};
    // Told now, while the files are as activation found them.
    return {result, win32::ActivationFailureReason(context, classId, SUCCEEDED(result))};
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

}  // namespace platform
