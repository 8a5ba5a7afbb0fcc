#include "samples/command_line_text.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "platform/utf8.h"

namespace sample {
std::string Utf8FromUtf16(const OLECHAR* text) {
    if (text == nullptr) return {};
    std::size_t length = 0;
    while (text[length] != 0) ++length;
    // OLECHAR is UTF-16 on both systems (wchar_t on Windows).
    return platform::Utf8FromUtf16(reinterpret_cast<const char16_t*>(text), length);
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
