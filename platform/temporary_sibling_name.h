// The name a file is written under beside its place before it is moved there: the file's own
// name, then "." + twelve random characters of [0-9a-z] + ".tmp". Both systems use the same
// form, so that a leftover is told from anything a user keeps beside the file
// ("launcher.ini.backup") by its name alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

constexpr std::size_t kTemporaryRandomLength = 12;
constexpr std::string_view kTemporaryAlphabet = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kTemporaryEnding = ".tmp";

// What follows the file's name, one character for each random number.
inline std::string TemporarySiblingSuffix(const std::uint32_t (&random)[kTemporaryRandomLength]) {
    std::string suffix = ".";
    for (const std::uint32_t number : random) {
        suffix += kTemporaryAlphabet[number % kTemporaryAlphabet.size()];
    }
    suffix += kTemporaryEnding;
    return suffix;
}

// True when `tail`, what follows the file's name, is exactly of that form; in the system's
// own characters, which agree with ASCII for every character of the form.
template <typename Char>
bool IsTemporarySiblingSuffix(std::basic_string_view<Char> tail) {
    if (tail.size() != 1 + kTemporaryRandomLength + kTemporaryEnding.size() || tail[0] != '.') {
        return false;
    }
    for (std::size_t at = 1; at <= kTemporaryRandomLength; ++at) {
        const Char character = tail[at];
        if (!((character >= '0' && character <= '9') || (character >= 'a' && character <= 'z'))) {
            return false;
        }
    }
    for (std::size_t at = 0; at < kTemporaryEnding.size(); ++at) {
        if (tail[1 + kTemporaryRandomLength + at] != static_cast<Char>(kTemporaryEnding[at])) {
            return false;
        }
    }
    return true;
}

}  // namespace platform
