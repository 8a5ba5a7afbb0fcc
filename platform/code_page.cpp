// The string-returning conversions, built on the measured pair of each target.
#include "platform/code_page.h"

namespace platform {
namespace {

template <typename To, typename From, typename Convert>
std::basic_string<To> Converted(std::basic_string_view<From> text, Convert convert) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int needed = convert(text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::basic_string<To> out(static_cast<std::size_t>(needed), To{});
    const int written = convert(text.data(), length, out.data(), needed);
    out.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return out;
}

}  // namespace

WideString WideFromAnsi(std::string_view ansi) {
    return Converted<char16_t>(ansi, AnsiToWide);
}

std::string AnsiFromWide(WideStringView wide) {
    return Converted<char>(wide, WideToAnsi);
}

}  // namespace platform
