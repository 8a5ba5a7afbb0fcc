// COM services: the real ones on Windows, a small compatible layer elsewhere. They speak the
// COM binary interface, so only code that talks COM includes this header.
#pragma once

#include <cstdint>
#include <string>

#include "platform/activation_context.h"
#include "platform/com_abi.h"
#include "platform/result.h"

namespace platform {

// Joins the calling thread to a single-threaded apartment (CoInitialize).
HRESULT ComInitialize();

// What a creation gave: its result code and, where it gave no object, what was looked for and
// why, for a person to read ("looked for <file>: <why>", ANSI text). The reason is empty when
// an object was created.
using ComCreation = Result<HRESULT>;

// CoCreateInstance: the class is found through the executable's manifest.
ComCreation ComCreateInstance(const ActivationContext& context, REFCLSID classId, IUnknown* outer,
                              DWORD classContext, REFIID interfaceId, void** object);

void ComUninitialize();

// BSTR allocation: length-prefixed UTF-16 with a terminator after the text.
BSTR AllocBstr(const char16_t* text, std::uint32_t length);
void FreeBstr(BSTR text);

// Says why the run object was not created, in one line headed by the program's name, through
// ReportDiagnostic: "<program>: activation failed (0x8007007E): looked for <file>: <why>",
// on Windows followed by "; the system's message for 0x8007007E: <its text>".
void ReportActivationFailure(const std::string& programName, const ComCreation& failure);

}  // namespace platform
