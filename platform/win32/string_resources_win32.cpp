#include <windows.h>

#include "platform/string_resources.h"

namespace platform {

ModuleHandle ExecutableModule() {
    return GetModuleHandleA(nullptr);
}

ResourceBytes FindStringBlock(ModuleHandle module, unsigned blockNumber, std::uint16_t language) {
    HRSRC found = FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA(blockNumber), language);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

WideText LoadStringEntry(ModuleHandle module, unsigned id) {
    // With no buffer, LoadStringW hands out a pointer into the resource itself.
    const WCHAR* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return {text, length};
}

}  // namespace platform
