#include "platform/code_page.h"
#include "platform/mbstring.h"

namespace platform {

bool IsLeadByte(unsigned char byte) {
    if (ActiveAnsiCodePage() != kCodePageShiftJis) return false;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace platform
