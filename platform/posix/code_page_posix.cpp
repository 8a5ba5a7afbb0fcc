#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/posix/locale_text.h"
#include "platform/utf8.h"

namespace platform {
namespace {

unsigned selectedCodePage = 0;

// The user's locale codeset, read without changing the process locale. A plain C or POSIX
// locale counts as UTF-8: its ASCII is a subset, and it is what every Linux desktop uses.
unsigned LocaleCodePage() {
    static const unsigned codePage = [] {
        locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
        if (user == static_cast<locale_t>(nullptr)) return kCodePageUtf8;
        const std::string codeset = nl_langinfo_l(CODESET, user);
        freelocale(user);
        if (codeset == "SHIFT_JIS" || codeset == "SJIS" || codeset == "CP932") {
            return kCodePageShiftJis;
        }
        return kCodePageUtf8;
    }();
    return codePage;
}

const char* IconvName(unsigned codePage) {
    return codePage == kCodePageShiftJis ? "CP932" : "UTF-8";
}

// Runs iconv over the whole input. Bytes that do not convert become `replacement` (as
// MultiByteToWideChar does without MB_ERR_INVALID_CHARS) so that nothing is silently cut.
std::string Convert(const char* from, const char* to, const char* input, std::size_t inputSize,
                    const std::string& replacement, std::size_t invalidUnitSize) {
    iconv_t converter = iconv_open(to, from);
    // iconv_open reports failure as the all-ones handle.
    if (converter == reinterpret_cast<iconv_t>(-1)) return {};  // NOLINT(performance-no-int-to-ptr)
    std::string output;
    std::vector<char> chunk(4096);
    char* in = const_cast<char*>(input);
    std::size_t inLeft = inputSize;
    while (inLeft > 0) {
        char* out = chunk.data();
        std::size_t outLeft = chunk.size();
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(chunk.data(), chunk.size() - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            output += replacement;
            const std::size_t skip = std::min(invalidUnitSize, inLeft);
            in += skip;
            inLeft -= skip;
        }
    }
    iconv_close(converter);
    return output;
}

std::size_t MeasureAnsi(const char* text, int length) {
    return length < 0 ? std::char_traits<char>::length(text) + 1 : static_cast<std::size_t>(length);
}

std::size_t MeasureWide(const OLECHAR* text, int length) {
    return length < 0 ? std::char_traits<char16_t>::length(text) + 1
                      : static_cast<std::size_t>(length);
}

// Copies a converted result the way the Win32 conversions do: a count when measuring, the
// units when they fit, 0 when the buffer is too small.
template <typename Unit>
int Deliver(const std::basic_string<Unit>& converted, Unit* out, int outCapacity) {
    const auto needed = static_cast<int>(converted.size());
    if (out == nullptr || outCapacity == 0) return needed;
    if (outCapacity < needed) return 0;
    converted.copy(out, converted.size());
    return needed;
}

}  // namespace

unsigned ActiveAnsiCodePage() {
    return selectedCodePage != 0 ? selectedCodePage : LocaleCodePage();
}

void SelectAnsiCodePage(unsigned codePage) {
    selectedCodePage = codePage;
}

int AnsiToWide(const char* text, int length, OLECHAR* out, int outCapacity) {
    if (text == nullptr || length == 0) return 0;
    // UTF-8, the everyday case, needs no converter to be loaded.
    if (ActiveAnsiCodePage() == kCodePageUtf8) {
        return Deliver(Utf16FromUtf8(text, MeasureAnsi(text, length)), out, outCapacity);
    }
    const std::string bytes = Convert(IconvName(ActiveAnsiCodePage()), "UTF-16LE", text,
                                      MeasureAnsi(text, length), std::string("\xFD\xFF", 2), 1);
    std::u16string wide(bytes.size() / 2, u'\0');
    bytes.copy(reinterpret_cast<char*>(wide.data()), wide.size() * 2);
    return Deliver(wide, out, outCapacity);
}

int WideToAnsi(const OLECHAR* text, int length, char* out, int outCapacity) {
    if (text == nullptr || length == 0) return 0;
    const std::size_t units = MeasureWide(text, length);
    if (ActiveAnsiCodePage() == kCodePageUtf8) {
        return Deliver(Utf8FromUtf16(text, units), out, outCapacity);
    }
    const std::string ansi = Convert("UTF-16LE", IconvName(ActiveAnsiCodePage()),
                                     reinterpret_cast<const char*>(text), units * 2, "?", 2);
    return Deliver(ansi, out, outCapacity);
}

std::string posix::AnsiToLocaleText(std::string_view ansiText) {
    const char* from = IconvName(ActiveAnsiCodePage());
    const char* to = IconvName(LocaleCodePage());
    if (from == to) return std::string(ansiText);
    return Convert(from, to, ansiText.data(), ansiText.size(), "?", 1);
}

}  // namespace platform
