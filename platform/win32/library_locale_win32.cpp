#include "platform/library_locale.h"

namespace platform {

void MatchLibraryLocaleToAnsiCodePage() {}

}  // namespace platform
