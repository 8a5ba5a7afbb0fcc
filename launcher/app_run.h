// The run object's contract: its class, its interface, and the one call the launcher makes.
#pragma once

#include "platform/com_abi.h"

inline constexpr CLSID CLSID_AppRun = {
    0x1368DB73, 0x5337, 0x4934, {0xBD, 0xD1, 0x5B, 0xD2, 0x51, 0x84, 0x3A, 0xFE}};
inline constexpr IID IID_IAppRun = {
    0x52A29741, 0xB636, 0x4E65, {0x9D, 0xB8, 0xD0, 0x7A, 0xA2, 0xB8, 0xB6, 0xDA}};

// IUnknown's three slots, then Run. The result is opaque to the launcher: it becomes the
// process's exit code unchanged.
struct IAppRun : IUnknown {
    virtual LONG STDMETHODCALLTYPE Run(BSTR commandLine, LONG showCode) = 0;

  protected:
    ~IAppRun() = default;
};
