#pragma once

#include <objbase.h>
#include <windows.h>

namespace platform {

// The system finds the classes through the process's default activation context, which it
// built from the executable's manifest before the entry ran: nothing to carry.
struct ActivationContext {};

}  // namespace platform
