// How the bytes of a settings file become text: in the encoding it was saved in, whatever the
// code page of the system that reads it.
#pragma once

#include <string>
#include <string_view>

struct SettingsText {
    std::string utf8;  // the text in UTF-8, without a byte-order mark
    // Empty; or, where the bytes are not valid in the encoding they were taken to be in, which
    // that was, in a few words. `utf8` then holds their reading in the ANSI code page.
    std::string invalid;
};

// A byte-order mark decides (UTF-8; UTF-16 LE or BE). Text without one that is valid UTF-8
// and holds bytes beyond ASCII is UTF-8; any other is in the ANSI code page, or in code page
// 932 where the ANSI code page is UTF-8 itself, since 932 is what the product's settings are
// written in.
SettingsText DecodeSettingsText(std::string_view bytes);
