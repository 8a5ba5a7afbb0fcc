#include <langinfo.h>
#include <clocale>

#include <string>

#include "platform/code_page.h"
#include "platform/library_locale.h"

namespace platform {

void MatchLibraryLocaleToAnsiCodePage() {
    std::setlocale(LC_CTYPE, "");
    const std::string codeset = nl_langinfo(CODESET);
    if (ActiveAnsiCodePage() != kCodePageUtf8 || codeset == "UTF-8" || codeset == "utf8") return;
    // glibc has had the built-in C.UTF-8 since 2.35; older systems may know it as C.utf8.
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) std::setlocale(LC_CTYPE, "C.utf8");
}

}  // namespace platform
