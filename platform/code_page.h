// The ANSI code page of the process and conversions between it and UTF-16.
#pragma once

#include "platform/com.h"

namespace platform {

constexpr unsigned kCodePageShiftJis = 932;
constexpr unsigned kCodePageEucJp = 20932;
constexpr unsigned kCodePageUtf8 = 65001;

// The code page that byte strings are in: the thread's ANSI code page on Windows; elsewhere
// the code set of the user's locale (nl_langinfo(CODESET)) by its Windows number, the
// Shift_JIS family as 932, EUC-JP as 20932, and 0 for a code set that Windows does not number.
unsigned ActiveAnsiCodePage();

// Makes the conversions and double-byte rules of another code page apply (as _setmbcp does),
// so that 932's lead bytes can be exercised anywhere. 0 returns to the system's own code page;
// a code page this system does not know leaves the choice as it was.
void SelectAnsiCodePage(unsigned codePage);

// MultiByteToWideChar with the thread's ANSI code page. A length of -1 converts up to and
// including the terminator. With no output buffer, returns the count needed. 0 on failure.
int AnsiToWide(const char* text, int length, OLECHAR* out, int outCapacity);

// WideCharToMultiByte into the thread's ANSI code page, with the same conventions.
int WideToAnsi(const OLECHAR* text, int length, char* out, int outCapacity);

}  // namespace platform
