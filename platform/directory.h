// Directory creation, as CreateDirectoryA with default security attributes.
#pragma once

namespace platform {

// True when the directory was created; otherwise false with the reason in the last-error
// code (183 when the name exists already, 3 when a level above it is missing, 5 when denied).
bool MakeDirectory(const char* path);

}  // namespace platform
