// COM types and services: the real ones on Windows, a small compatible layer elsewhere.
#pragma once

#include <string>

#ifdef _WIN32
#include "platform/win32/com_types_win32.h"
#else
#include "platform/posix/com_types_posix.h"
#endif

namespace platform {

// Joins the calling thread to a single-threaded apartment (CoInitialize).
HRESULT ComInitialize();

// CoCreateInstance: the class is found through the executable's manifest.
HRESULT ComCreateInstance(ActivationContext& context, REFCLSID classId, IUnknown* outer,
                          DWORD classContext, REFIID interfaceId, void** object);

void ComUninitialize();

// BSTR allocation: length-prefixed UTF-16 with a terminator after the text.
BSTR AllocBstr(const OLECHAR* text, UINT length);
void FreeBstr(BSTR text);

// Where activation fails for a reason the user cannot see otherwise, says so on standard error,
// in a line headed by the program's name. Windows reports activation problems through its own
// event log, so there it does nothing.
void ReportActivationFailure(const ActivationContext& context, const std::string& programName,
                             HRESULT result);

}  // namespace platform
