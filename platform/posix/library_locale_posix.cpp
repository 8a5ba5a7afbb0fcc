#include <langinfo.h>
#include <clocale>

#include <string>

#include "platform/code_page.h"
#include "platform/library_locale.h"

namespace platform {
namespace {

bool CodesetIsUtf8() {
    const std::string codeset = nl_langinfo(CODESET);
    return codeset == "UTF-8" || codeset == "utf8";
}

}  // namespace

void MatchLibraryLocaleToAnsiCodePage() {
    std::setlocale(LC_CTYPE, "");
    if (ActiveAnsiCodePage() != kCodePageUtf8 || CodesetIsUtf8()) return;
    // glibc has had the built-in C.UTF-8 since 2.35; older systems may know it as C.utf8.
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) std::setlocale(LC_CTYPE, "C.utf8");
}

}  // namespace platform
