// Why Windows created no run object, told after the fact from what the manifest names.
#pragma once

#include <string>

#include "platform/com.h"

namespace platform::win32 {

// "looked for <file>: <why>": the file that the manifest names for the class, in the
// executable's folder, and whether it is missing or there but cannot be loaded (no Windows
// library, another architecture, a library it depends on missing). `created` says that the
// creation reported success without an object.
std::string ActivationFailureReason(const ActivationContext& context, REFCLSID classId,
                                    bool created);

}  // namespace platform::win32
