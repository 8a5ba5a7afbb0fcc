// The one failure the launcher shows the user: a modal error box with a message from the
// executable's string table and a fixed closing sentence.
#pragma once

#include <string>

// The string-table entry in the ANSI code page; empty when no module has it.
std::string LoadResourceString(unsigned messageId);

// The full text of the box for a message ID: the entry or the fallback, then the closing
// sentence.
std::string FatalErrorText(unsigned messageId);

// Shows the box and returns once the user has closed it.
void ShowFatalError(unsigned messageId);
