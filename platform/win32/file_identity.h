// Whether two handles name one file.
#pragma once

#include <windows.h>

namespace platform {

bool SameFile(HANDLE first, HANDLE second);

}  // namespace platform
