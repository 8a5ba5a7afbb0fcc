#include "platform/mbstring.h"

#include "platform/code_page.h"

namespace platform {

bool MayHaveLeadBytes() {
    return ActiveAnsiCodePage() != kCodePageUtf8;
}

}  // namespace platform
