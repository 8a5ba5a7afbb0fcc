// The user's shared settings file, read once and checked before log4cxx gets its properties.
#pragma once

#include <map>
#include <string>

// True when the file may go to log4cxx: a regular file of sane size, readable without
// waiting, with no ${...} reference that would bring log4cxx down; `properties` then holds
// its entries, decoded to UTF-8 from the encoding it was saved in (settings_encoding.h).
// Otherwise `reason` says why not, in a few words. Either way `invalid` says, when the file
// holds bytes not valid in the encoding it was taken to be in, which that was: it was then
// read in the ANSI code page.
bool ReadSharedSettings(const std::string& path, std::map<std::string, std::string>& properties,
                        std::string& reason, std::string& invalid);
