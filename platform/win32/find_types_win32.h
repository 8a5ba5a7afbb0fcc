#pragma once

#include <windows.h>

namespace platform {

using SearchHandle = HANDLE;
inline SearchHandle InvalidSearchHandle() {
    return INVALID_HANDLE_VALUE;
}

}  // namespace platform
