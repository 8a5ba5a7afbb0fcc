// String-table resources: the executable's texts by numeric ID, as UTF-16.
#pragma once

namespace platform {

// A module that holds string tables (on Windows its HMODULE).
using ModuleHandle = const void*;

// The executable's own module, the last place where strings are looked up.
ModuleHandle ExecutableModule();

struct WideText {
    const char16_t* text = nullptr;
    int length = 0;
};

// The module's string-table entry `id`: points into the module's own data, not terminated.
// Length 0 when the module has no such entry or the entry is empty, so that a caller goes on
// to the next module.
WideText FindStringEntry(ModuleHandle module, unsigned id);

}  // namespace platform
