#include <windows.h>

#include <cstdint>
#include <cstring>

#include "platform/string_resources.h"

namespace platform {
namespace {

std::uint16_t ReadUnit(const std::uint8_t* at) {
    std::uint16_t unit = 0;
    std::memcpy(&unit, at, sizeof unit);
    return unit;
}

// Whether the module's block of `id` (16 entries, each a 16-bit length and that many units;
// block number id / 16 + 1), found with the language-neutral lookup, holds a non-empty entry
// for it: the entries before it are stepped over by their lengths, never beyond the block.
bool HasStringEntry(HMODULE module, unsigned id) {
    HRSRC found = FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA(id / 16 + 1),
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    if (found == nullptr) return false;
    HGLOBAL loaded = LoadResource(module, found);
    const auto* block =
        static_cast<const std::uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (block == nullptr) return false;
    const std::size_t size = SizeofResource(module, found);
    std::size_t offset = 0;
    for (unsigned entry = 0; entry < id % 16; ++entry) {
        if (offset + 2 > size) return false;
        offset += 2 + 2u * ReadUnit(block + offset);
    }
    return offset + 2 <= size && ReadUnit(block + offset) != 0;
}

}  // namespace

ModuleHandle ExecutableModule() {
    return GetModuleHandleA(nullptr);
}

WideText FindStringEntry(ModuleHandle module, unsigned id) {
    // A module handle is the system's HMODULE, kept in a type of our own.
    const auto system = static_cast<HMODULE>(const_cast<void*>(module));
    if (!HasStringEntry(system, id)) return {};
    // The module that has it is read again with the default lookup. With no buffer,
    // LoadStringW hands out a pointer into the resource itself.
    const WCHAR* text = nullptr;
    const int length = LoadStringW(system, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return {reinterpret_cast<const char16_t*>(text), length};
}

}  // namespace platform
