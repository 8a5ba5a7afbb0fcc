// The user's shared settings file, checked before log4cxx reads it as it stands.
#pragma once

#include <string>

// True when the file may go to log4cxx: a regular file of sane size, readable without
// waiting, with no ${...} reference that would bring log4cxx down. Otherwise `reason` says
// why not, in a few words.
bool SharedSettingsAreSound(const std::string& path, std::string& reason);
