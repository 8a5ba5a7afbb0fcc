// The user's shared settings file, read once and checked before log4cxx gets its properties.
#pragma once

#include <map>
#include <string>

struct SharedSettingsRead {
    // Whether the file may go to log4cxx: a regular file of sane size, readable without
    // waiting, with no ${...} reference that would bring log4cxx down.
    bool accepted = false;
    // Its entries, decoded to UTF-8 from the encoding it was saved in (settings_encoding.h);
    // empty when it is not accepted.
    std::map<std::string, std::string> properties;
    // Why it is not accepted, in a few words.
    std::string reason;
    // When the file holds bytes not valid in the encoding it was taken to be in, which that
    // was: it was then read in the ANSI code page.
    std::string invalid;
};

SharedSettingsRead ReadSharedSettings(const std::string& path);
