#include "platform/mbstring.h"

// After the standard headers: mbctype.h defines macros (_M1, _S1, ...) that the C++ library's
// own templates use as names.
#include <mbctype.h>

namespace platform {

bool IsLeadByte(unsigned char byte) {
    // The C runtime has no multibyte tables for UTF-8, whose bytes are never lead bytes of a
    // double-byte character.
    if (!MayHaveLeadBytes()) return false;
    return _ismbblead(byte) != 0;
}

}  // namespace platform
