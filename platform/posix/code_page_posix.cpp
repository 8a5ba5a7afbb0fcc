#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/mbstring.h"
#include "platform/posix/locale_text.h"
#include "platform/utf8.h"

namespace platform {
namespace {

// The bytes that start a two-byte character, as inclusive ranges.
using LeadRanges = std::initializer_list<std::pair<unsigned char, unsigned char>>;
constexpr LeadRanges kNoLeadBytes = {};
constexpr LeadRanges kShiftJisLeadBytes = {{0x81, 0x9F}, {0xE0, 0xFC}};
// EUC: two-byte characters start at 0xA1-0xFE, half-width kana at 0x8E. The prefix 0x8F of
// a three-byte character is a byte of its own; the two bytes after it are a pair again.
constexpr LeadRanges kEucLeadBytes = {{0x8E, 0x8E}, {0xA1, 0xFE}};
// GBK, GB18030, Big5 and the Korean code pages, whose second bytes include ASCII.
constexpr LeadRanges kWideLeadBytes = {{0x81, 0xFE}};
constexpr LeadRanges kJohabLeadBytes = {{0x84, 0xD3}, {0xD8, 0xDE}, {0xE0, 0xF9}};

// A code set: its Windows code-page number (0 when Windows has none), the name iconv knows
// it by, and which of its bytes are lead bytes.
struct CodeSet {
    CodeSet(unsigned number, std::string iconvName, LeadRanges leadRanges)
        : number(number), iconvName(std::move(iconvName)) {
        for (const auto& [first, last] : leadRanges) {
            for (unsigned byte = first; byte <= last; ++byte) leadBytes[byte] = true;
        }
    }
    unsigned number;
    std::string iconvName;
    std::array<bool, 256> leadBytes{};
};

// What each multibyte code set is called, in the spelling of nl_langinfo (compared without
// case, "-" or "_"), and how it is treated. The Shift_JIS family is code page 932, as
// Windows reads it: glibc's own SHIFT_JIS turns 0x5C into the yen sign, which would make
// every path separator a character.
struct NamedCodeSet {
    std::initializer_list<const char*> names;
    const char* iconvName;
    LeadRanges leadRanges;
    unsigned number;
    bool convertsByLocaleName;  // a locale of this set converts by the name it gives
};
const NamedCodeSet kNamedCodeSets[] = {
    {{"UTF8"}, "UTF-8", kNoLeadBytes, kCodePageUtf8, false},
    {{"SHIFTJIS", "SJIS", "CP932", "WINDOWS31J", "MSKANJI", "SHIFTJISX0213"},
     "CP932",
     kShiftJisLeadBytes,
     kCodePageShiftJis,
     false},
    {{"EUCJP", "EUCJPMS", "EUCJISX0213"}, "EUC-JP", kEucLeadBytes, kCodePageEucJp, true},
    {{"EUCTW"}, "EUC-TW", kEucLeadBytes, 51950, true},
    {{"GBK", "CP936", "GB2312", "EUCCN"}, "GBK", kWideLeadBytes, 936, true},
    {{"GB18030"}, "GB18030", kWideLeadBytes, 54936, true},
    {{"BIG5", "BIG5HKSCS", "CP950"}, "BIG5", kWideLeadBytes, 950, true},
    {{"EUCKR", "CP949", "UHC"}, "CP949", kWideLeadBytes, 949, true},
    {{"JOHAB"}, "JOHAB", kJohabLeadBytes, 1361, true},
};

// Single-byte code sets with a Windows number; any other single-byte set is number 0.
const std::pair<const char*, unsigned> kSingleByteNumbers[] = {
    {"ISO88591", 28591}, {"ISO88592", 28592},  {"ISO88593", 28593},  {"ISO88594", 28594},
    {"ISO88595", 28595}, {"ISO88596", 28596},  {"ISO88597", 28597},  {"ISO88598", 28598},
    {"ISO88599", 28599}, {"ISO885913", 28603}, {"ISO885915", 28605}, {"KOI8R", 20866},
    {"KOI8U", 21866},    {"CP1250", 1250},     {"CP1251", 1251},     {"CP1252", 1252},
    {"CP1253", 1253},    {"CP1254", 1254},     {"CP1255", 1255},     {"CP1256", 1256},
    {"CP1257", 1257},    {"CP1258", 1258},     {"TIS620", 874},      {"USASCII", 20127},
};

std::string Normalised(const std::string& name) {
    std::string key;
    // toupper takes an unsigned char's value: a byte above 127 as a negative char is undefined.
    for (const unsigned char byte : name) {
        if (byte != '-' && byte != '_') key += static_cast<char>(std::toupper(byte));
    }
    return key;
}

const NamedCodeSet* FindNamed(const std::string& key) {
    for (const NamedCodeSet& named : kNamedCodeSets) {
        for (const char* name : named.names) {
            if (key == name) return &named;
        }
    }
    return nullptr;
}

// The code set of a locale's LC_CTYPE as nl_langinfo names it. A plain C or POSIX locale
// (ASCII) counts as UTF-8: its ASCII is a subset, and it is what containers start in.
CodeSet CodeSetOfLocale(const std::string& codeset, std::size_t maxCharacterBytes) {
    const std::string key = Normalised(codeset);
    if (key == "ANSIX3.41968" || key.empty()) return {kCodePageUtf8, "UTF-8", kNoLeadBytes};
    if (const NamedCodeSet* named = FindNamed(key)) {
        return {named->number, named->convertsByLocaleName ? codeset : named->iconvName,
                named->leadRanges};
    }
    for (const auto& [name, number] : kSingleByteNumbers) {
        if (key == name) return {number, codeset, kNoLeadBytes};
    }
    // A multibyte set not listed above: every high byte may start a pair, which never takes a
    // pair's second byte for a separator. (TCVN's combining sequences are single bytes.)
    const bool multibyte = maxCharacterBytes > 1 && key != "TCVN57121";
    return {0, codeset, multibyte ? kWideLeadBytes : kNoLeadBytes};
}

// The user's locale, read without changing the process locale.
const CodeSet& LocaleCodeSet() {
    static const CodeSet codeSet = [] {
        locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
        if (user == static_cast<locale_t>(nullptr)) return CodeSetOfLocale("UTF-8", 6);
        const locale_t previous = uselocale(user);
        const std::size_t maxCharacterBytes = MB_CUR_MAX;
        uselocale(previous);
        const std::string codeset = nl_langinfo_l(CODESET, user);
        freelocale(user);
        return CodeSetOfLocale(codeset, maxCharacterBytes);
    }();
    return codeSet;
}

std::optional<CodeSet> selectedCodeSet;

const CodeSet& ActiveCodeSet() {
    return selectedCodeSet ? *selectedCodeSet : LocaleCodeSet();
}

// Runs iconv over the whole input. Bytes that do not convert become `replacement` (as
// MultiByteToWideChar does without MB_ERR_INVALID_CHARS) so that nothing is silently cut;
// without a replacement they fail the conversion, as they do with that flag.
bool ConvertInto(const std::string& from, const std::string& to, std::string_view input,
                 const std::string* replacement, std::size_t invalidUnitSize, std::string& output) {
    iconv_t converter = iconv_open(to.c_str(), from.c_str());
    // iconv_open reports failure as the all-ones handle.
    if (converter == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
        return false;
    }
    std::vector<char> chunk(4096);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    bool whole = true;
    while (inLeft > 0) {
        char* out = chunk.data();
        std::size_t outLeft = chunk.size();
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(chunk.data(), chunk.size() - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            if (replacement == nullptr) {
                whole = false;
                break;
            }
            output += *replacement;
            const std::size_t skip = std::min(invalidUnitSize, inLeft);
            in += skip;
            inLeft -= skip;
        }
    }
    iconv_close(converter);
    return whole;
}

std::string Convert(const std::string& from, const std::string& to, std::string_view input,
                    const std::string& replacement, std::size_t invalidUnitSize) {
    std::string output;
    if (!ConvertInto(from, to, input, &replacement, invalidUnitSize, output)) return {};
    return output;
}

WideString WideFromUtf16Le(const std::string& bytes) {
    WideString wide(bytes.size() / 2, u'\0');
    bytes.copy(reinterpret_cast<char*>(wide.data()), wide.size() * 2);
    return wide;
}

}  // namespace

unsigned ActiveAnsiCodePage() {
    return ActiveCodeSet().number;
}

unsigned SelectAnsiCodePage(unsigned codePage) {
    const unsigned replaced = selectedCodeSet ? selectedCodeSet->number : 0;
    if (codePage == 0) selectedCodeSet.reset();
    for (const NamedCodeSet& named : kNamedCodeSets) {
        if (named.number == codePage) {
            selectedCodeSet.emplace(named.number, named.iconvName, named.leadRanges);
            break;
        }
    }
    return replaced;
}

bool IsLeadByte(unsigned char byte) {
    return ActiveCodeSet().leadBytes[byte];
}

WideString WideFromAnsi(std::string_view ansi) {
    const CodeSet& codeSet = ActiveCodeSet();
    // UTF-8, the everyday case, needs no converter to be loaded.
    if (codeSet.number == kCodePageUtf8) return Utf16FromUtf8(ansi.data(), ansi.size());
    return WideFromUtf16Le(Convert(codeSet.iconvName, "UTF-16LE", ansi, {"\xFD\xFF", 2}, 1));
}

bool WideFromCodePage(unsigned codePage, std::string_view text, WideString& wide) {
    const CodeSet& active = ActiveCodeSet();
    std::string iconvName;
    if (codePage == 0 || codePage == active.number) {
        codePage = active.number;
        iconvName = active.iconvName;
    } else {
        for (const NamedCodeSet& named : kNamedCodeSets) {
            if (named.number == codePage) iconvName = named.iconvName;
        }
    }
    if (iconvName.empty()) return false;
    if (codePage == kCodePageUtf8) {
        // The decoder that reads all other UTF-8 here: a byte it replaces comes back as the
        // three bytes of U+FFFD rather than as itself.
        wide = Utf16FromUtf8(text.data(), text.size());
        return Utf8FromUtf16(wide.data(), wide.size()) == text;
    }
    std::string bytes;
    if (!ConvertInto(iconvName, "UTF-16LE", text, nullptr, 1, bytes)) return false;
    wide = WideFromUtf16Le(bytes);
    return true;
}

std::string AnsiFromWide(WideStringView wide) {
    const CodeSet& codeSet = ActiveCodeSet();
    if (codeSet.number == kCodePageUtf8) return Utf8FromUtf16(wide.data(), wide.size());
    return Convert("UTF-16LE", codeSet.iconvName,
                   {reinterpret_cast<const char*>(wide.data()), wide.size() * 2}, "?", 2);
}

// Measured as MultiByteToWideChar measures: a count when there is no buffer, the units when
// they fit, 0 when the buffer is too small.
int AnsiToWide(const char* text, int length, char16_t* out, int outCapacity) {
    if (text == nullptr || length == 0) return 0;
    const WideString wide =
        WideFromAnsi({text, length < 0 ? std::strlen(text) + 1 : static_cast<std::size_t>(length)});
    const auto needed = static_cast<int>(wide.size());
    if (out == nullptr || outCapacity == 0) return needed;
    if (outCapacity < needed) return 0;
    wide.copy(out, wide.size());
    return needed;
}

std::string posix::AnsiToLocaleText(std::string_view ansiText) {
    const std::string& from = ActiveCodeSet().iconvName;
    const std::string& to = LocaleCodeSet().iconvName;
    if (from == to) return std::string(ansiText);
    return Convert(from, to, ansiText, "?", 1);
}

}  // namespace platform
