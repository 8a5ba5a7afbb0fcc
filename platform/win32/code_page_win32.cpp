#include <mbctype.h>

#include "platform/code_page.h"

namespace platform {
namespace {

// 0: the thread's own ANSI code page. Anything else was chosen with SelectAnsiCodePage.
unsigned selectedCodePage = 0;

UINT ConversionCodePage() {
    return selectedCodePage != 0 ? selectedCodePage : CP_THREAD_ACP;
}

}  // namespace

unsigned ActiveAnsiCodePage() {
    if (selectedCodePage != 0) return selectedCodePage;
    // What CP_THREAD_ACP stands for: the ANSI code page of the thread's locale.
    DWORD codePage = 0;
    if (GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPSTR>(&codePage), sizeof codePage / sizeof(char)) == 0) {
        return GetACP();
    }
    return codePage;
}

void SelectAnsiCodePage(unsigned codePage) {
    selectedCodePage = codePage;
    // The C runtime's multibyte functions (_ismbblead, _splitpath) follow the same choice.
    // It has no multibyte tables for UTF-8 and keeps its previous ones then.
    _setmbcp(codePage == 0 ? _MB_CP_ANSI : static_cast<int>(codePage));
}

int AnsiToWide(const char* text, int length, OLECHAR* out, int outCapacity) {
    if (text == nullptr || length == 0) return 0;
    return MultiByteToWideChar(ConversionCodePage(), 0, text, length, out,
                               out != nullptr ? outCapacity : 0);
}

int WideToAnsi(const OLECHAR* text, int length, char* out, int outCapacity) {
    if (text == nullptr || length == 0) return 0;
    return WideCharToMultiByte(ConversionCodePage(), 0, text, length, out,
                               out != nullptr ? outCapacity : 0, nullptr, nullptr);
}

}  // namespace platform
