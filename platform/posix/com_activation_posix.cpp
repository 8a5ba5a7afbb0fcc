#include "platform/posix/com_activation_posix.h"

#include <strings.h>

namespace platform::posix {

std::string FormatGuid(REFGUID guid) {
    // Written out digit by digit: printf's machinery is more code than a start should touch.
    char text[] = "{00000000-0000-0000-0000-000000000000}";
    const auto put = [&text](int at, unsigned long value, int digits) {
        for (int digit = digits - 1; digit >= 0; --digit, value >>= 4U) {
            text[at + digit] = "0123456789ABCDEF"[value & 0xFU];
        }
    };
    put(1, guid.Data1, 8);
    put(10, guid.Data2, 4);
    put(15, guid.Data3, 4);
    for (int at = 0; at < 8; ++at) put(at < 2 ? 20 + (2 * at) : 21 + (2 * at), guid.Data4[at], 2);
    return text;
}

std::string LocalModuleName(const std::string& manifestFileName) {
    const std::size_t dot = manifestFileName.rfind('.');
    if (dot != std::string::npos && strcasecmp(manifestFileName.c_str() + dot, ".dll") == 0) {
        return manifestFileName.substr(0, dot) + ".so";
    }
    return manifestFileName;
}

}  // namespace platform::posix
