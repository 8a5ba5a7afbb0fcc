// COM services: the real ones on Windows, a small compatible layer elsewhere. They speak the
// COM binary interface, so only code that talks COM includes this header.
#pragma once

#include <cstdint>
#include <string>

#include "platform/activation_context.h"
#include "platform/com_abi.h"

namespace platform {

// Joins the calling thread to a single-threaded apartment (CoInitialize).
HRESULT ComInitialize();

// CoCreateInstance: the class is found through the executable's manifest.
HRESULT ComCreateInstance(ActivationContext& context, REFCLSID classId, IUnknown* outer,
                          DWORD classContext, REFIID interfaceId, void** object);

void ComUninitialize();

// BSTR allocation: length-prefixed UTF-16 with a terminator after the text.
BSTR AllocBstr(const char16_t* text, std::uint32_t length);
void FreeBstr(BSTR text);

// Where activation fails for a reason the user cannot see otherwise, says so on standard error,
// in a line headed by the program's name. Windows reports activation problems through its own
// event log, so there it does nothing.
void ReportActivationFailure(const ActivationContext& context, const std::string& programName,
                             HRESULT result);

}  // namespace platform
