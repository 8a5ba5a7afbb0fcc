#include <windows.h>

#include "platform/code_page.h"

// After the standard headers: mbctype.h defines macros (_M1, _S1, ...) that the C++ library's
// own templates use as names.
#include <mbctype.h>

namespace platform {
namespace {

// 0: the system's ANSI code page. Anything else was chosen with SelectAnsiCodePage.
unsigned selectedCodePage = 0;

// CP_ACP, the code page the text is in: the thread's (CP_THREAD_ACP) follows the user's
// format setting, so English formats on a Japanese system would read Shift_JIS as 1252.
UINT ConversionCodePage() {
    return selectedCodePage != 0 ? selectedCodePage : CP_ACP;
}

// UTF-16 text in our own type, which has the system's layout.
static_assert(sizeof(char16_t) == sizeof(wchar_t));

int WideToAnsi(const char16_t* text, int length, char* out, int outCapacity) {
    // No best fit: it would spell U+00A5 (yen) as a backslash and é as e, so that a name
    // became another name or another folder. A character the code page lacks becomes "?",
    // which no file name holds. (UTF-8 and a few other code pages take no flags, and need
    // none.)
    const auto convert = [&](DWORD flags) {
        return WideCharToMultiByte(ConversionCodePage(), flags,
                                   reinterpret_cast<const wchar_t*>(text), length, out,
                                   out != nullptr ? outCapacity : 0, nullptr, nullptr);
    };
    const int converted = convert(WC_NO_BEST_FIT_CHARS);
    return converted == 0 && GetLastError() == ERROR_INVALID_FLAGS ? convert(0) : converted;
}

// The whole text through one of the measured conversions: measured first, then converted.
template <typename To, typename From, typename Convert>
std::basic_string<To> Converted(std::basic_string_view<From> text, Convert convert) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int needed = convert(text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::basic_string<To> out(static_cast<std::size_t>(needed), To{});
    const int written = convert(text.data(), length, out.data(), needed);
    out.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return out;
}

}  // namespace

unsigned ActiveAnsiCodePage() {
    return selectedCodePage != 0 ? selectedCodePage : GetACP();
}

unsigned SelectAnsiCodePage(unsigned codePage) {
    const unsigned replaced = selectedCodePage;
    selectedCodePage = codePage;
    // The C runtime's multibyte functions (_ismbblead, _splitpath) follow the same choice.
    // It has no multibyte tables for UTF-8 and keeps its previous ones then.
    _setmbcp(codePage == 0 ? _MB_CP_ANSI : static_cast<int>(codePage));
    return replaced;
}

int AnsiToWide(const char* text, int length, char16_t* out, int outCapacity) {
    if (text == nullptr || length == 0) return 0;
    return MultiByteToWideChar(ConversionCodePage(), 0, text, length,
                               reinterpret_cast<wchar_t*>(out), out != nullptr ? outCapacity : 0);
}

WideString WideFromAnsi(std::string_view ansi) {
    return Converted<char16_t>(ansi, AnsiToWide);
}

std::string AnsiFromWide(WideStringView wide) {
    return Converted<char>(wide, WideToAnsi);
}

bool WideFromCodePage(unsigned codePage, std::string_view text, WideString& wide) {
    const UINT from = codePage != 0 ? codePage : ConversionCodePage();
    wide = Converted<char16_t>(
        text, [from](const char* bytes, int length, char16_t* out, int outCapacity) {
            return MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, bytes, length,
                                       reinterpret_cast<wchar_t*>(out), outCapacity);
        });
    // Empty text converts to nothing; any other text converts to something or fails.
    return !wide.empty() || text.empty();
}

}  // namespace platform
