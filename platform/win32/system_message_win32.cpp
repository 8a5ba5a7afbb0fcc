#include <windows.h>

#include <cstdio>

#include "platform/win32/system_message.h"

namespace platform {

std::string SystemMessage(unsigned long code) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    if (!message.empty()) return message;
    char number[16];
    std::snprintf(number, sizeof number, "error 0x%08lX", code);
    return number;
}

}  // namespace platform
