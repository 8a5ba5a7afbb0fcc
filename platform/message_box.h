// Modal message boxes.
#pragma once

namespace platform {

constexpr unsigned kMessageBoxErrorIcon = 0x10;  // MB_ICONERROR with MB_OK

// MessageBoxA owned by the thread's active window (none if there is none); returns when the
// user has closed it. A null caption gives the platform's default error caption.
void ShowMessageBox(const char* ansiText, const char* ansiCaption, unsigned style);

}  // namespace platform
