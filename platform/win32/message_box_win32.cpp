#include <windows.h>

#include "platform/message_box.h"

namespace platform {

void ShowMessageBox(const char* ansiText, const char* ansiCaption, unsigned style) {
    MessageBoxA(GetActiveWindow(), ansiText, ansiCaption, style);
}

}  // namespace platform
