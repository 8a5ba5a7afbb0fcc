// The DOS wildcard matcher of the Linux search, over any pattern and any name.
#include <cstring>
#include <memory>
#include <string_view>

#include "fuzz_support.h"
#include "platform/posix/file_find_wildcard_posix.h"

namespace {

// Each text in an allocation of exactly its size, so that a read past its end is caught.
std::unique_ptr<char[]> Exact(std::string_view text) {
    auto copy = std::make_unique<char[]>(text.size());
    std::memcpy(copy.get(), text.data(), text.size());
    return copy;
}

}  // namespace

// The first byte picks the code page; the rest is the pattern, a NUL, then the name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    platform::SelectAnsiCodePage((data[0] & 1) != 0 ? platform::kCodePageShiftJis
                                                    : platform::kCodePageUtf8);
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t split = input.find('\0');
    if (split == std::string_view::npos) return 0;
    const std::string_view patternText = input.substr(0, split);
    const std::string_view nameText = input.substr(split + 1);
    const auto patternCopy = Exact(patternText);
    const auto nameCopy = Exact(nameText);
    const std::string_view pattern(patternCopy.get(), patternText.size());
    const std::string_view name(nameCopy.get(), nameText.size());

    using platform::posix::MatchesDosPattern;
    const bool matched = MatchesDosPattern(pattern, name);
    // "*" and "*.*" match every name; every pattern matches its own text.
    FUZZ_CHECK(MatchesDosPattern("*", name));
    FUZZ_CHECK(MatchesDosPattern("*.*", name));
    FUZZ_CHECK(MatchesDosPattern(pattern, pattern));
    // A pattern without wildcards matches only itself.
    if (!platform::posix::HasWildcard(pattern)) FUZZ_CHECK(matched == (pattern == name));
    return 0;
}
