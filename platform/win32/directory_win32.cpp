#include <windows.h>

#include "platform/directory.h"

namespace platform {

bool MakeDirectory(const char* path) {
    return CreateDirectoryA(path, nullptr) != FALSE;
}

}  // namespace platform
