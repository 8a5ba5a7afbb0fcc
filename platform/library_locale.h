// The C library's character-type locale, which libraries that convert text through it
// (log4cxx's file names and default encoding on Linux) must read as the ANSI code page.
#pragma once

namespace platform {

// Sets the process's character-type locale from the user's environment, and where its
// codeset is not the ANSI code page (a plain C or POSIX locale, which the ANSI code page
// takes as UTF-8) to the UTF-8 one. Nothing to do on Windows, where log4cxx works in UTF-8
// and hands file names to the system in UTF-16.
void MatchLibraryLocaleToAnsiCodePage();

}  // namespace platform
