// String-table resources: blocks of 16 length-prefixed UTF-16 entries, block number id / 16 + 1.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/com.h"

namespace platform {

#ifdef _WIN32
using ModuleHandle = HMODULE;
#else
using ModuleHandle = const void*;
#endif

constexpr std::uint16_t kLanguageNeutral = 0;

// The executable's own module, the last place where strings are looked up.
ModuleHandle ExecutableModule();

struct ResourceBytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// The raw string-table block of that number, or empty. Language 0 (neutral) falls back to
// whatever language the module has, as the Windows resource loader does.
ResourceBytes FindStringBlock(ModuleHandle module, unsigned blockNumber, std::uint16_t language);

struct WideText {
    const OLECHAR* text = nullptr;
    int length = 0;
};

// The entry with the default language lookup (as LoadStringW with no buffer): points into the
// resource, not terminated; length 0 when absent.
WideText LoadStringEntry(ModuleHandle module, unsigned id);

}  // namespace platform
