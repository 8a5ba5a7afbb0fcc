// The ANSI code page of the process and conversions between it and UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace platform {

constexpr unsigned kCodePageShiftJis = 932;
constexpr unsigned kCodePageEucJp = 20932;
constexpr unsigned kCodePageUtf8 = 65001;

// The code page that byte strings are in: the system's ANSI code page on Windows (GetACP, the
// code page of GetCommandLineA, SHGetFolderPathA and MessageBoxA; not the thread's, which
// follows the user's format setting and may differ from it); elsewhere
// the code set of the user's locale (nl_langinfo(CODESET)) by its Windows number, the
// Shift_JIS family as 932, EUC-JP as 20932, and 0 for a code set that Windows does not number.
unsigned ActiveAnsiCodePage();

// Makes the conversions and double-byte rules of another code page apply (as _setmbcp does),
// so that 932's lead bytes can be exercised anywhere. 0 returns to the system's own code page;
// a code page this system does not know leaves the choice as it was. Returns the choice it
// replaced (0 for the system's own), so that the caller can put it back.
unsigned SelectAnsiCodePage(unsigned codePage);

// MultiByteToWideChar with the ANSI code page. A length of -1 converts up to and including
// the terminator. With no output buffer, returns the count needed. 0 on failure.
int AnsiToWide(const char* text, int length, char16_t* out, int outCapacity);

// UTF-16 text, as COM and the Windows services take it.
using WideString = std::u16string;
using WideStringView = std::u16string_view;

// The whole text converted. Empty for empty text and where the conversion fails; characters
// the target cannot hold are replaced, never dropped, and never by a look-alike (no best fit).
WideString WideFromAnsi(std::string_view ansi);
std::string AnsiFromWide(WideStringView wide);

// Text of a given code page (0: the ANSI code page) converted whole, or false where it holds a
// byte that the code page does not define or a character cut off at its end, as
// MultiByteToWideChar with MB_ERR_INVALID_CHARS; `wide` is then unspecified. 932 converts as
// Windows converts it on every system, whatever the locale.
bool WideFromCodePage(unsigned codePage, std::string_view text, WideString& wide);

}  // namespace platform
