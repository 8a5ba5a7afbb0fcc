#include "samples/command_line_text.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace sample {
namespace {

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string Utf8FromUtf16(const OLECHAR* text) {
    std::string out;
    if (text == nullptr) return out;
    for (const OLECHAR* at = text; *at != 0; ++at) {
        char32_t code = static_cast<char16_t>(*at);
        if (IsHighSurrogate(code) && IsLowSurrogate(static_cast<char16_t>(at[1]))) {
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<char16_t>(at[1]) - 0xDC00);
            ++at;
        } else if (IsHighSurrogate(code) || IsLowSurrogate(code)) {
            code = 0xFFFD;
        }
        AppendUtf8(out, code);
    }
    return out;
}

LONG RequestedExitCode(const std::string& commandLine) {
    static const std::string kOption = "--exit-code=";
    for (std::size_t at = commandLine.find(kOption); at != std::string::npos;
         at = commandLine.find(kOption, at + 1)) {
        // Only a whole argument counts, not text inside another one.
        if (at > 0 && commandLine[at - 1] != ' ' && commandLine[at - 1] != '\t' &&
            commandLine[at - 1] != '"') {
            continue;
        }
        const char* digits = commandLine.c_str() + at + kOption.size();
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(digits, &end, 10);
        if (end == digits || errno == ERANGE || value < std::numeric_limits<LONG>::min() ||
            value > std::numeric_limits<LONG>::max()) {
            return 0;
        }
        return static_cast<LONG>(value);
    }
    return 0;
}

}  // namespace sample
