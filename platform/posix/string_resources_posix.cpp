#include "platform/posix/embedded_resources.h"
#include "platform/string_resources.h"

namespace platform {

using ExecutableStrings = std::span<const posix::EmbeddedString>;

ModuleHandle ExecutableModule() {
    static const ExecutableStrings table = posix::EmbeddedStringTable();
    return &table;
}

WideText FindStringEntry(ModuleHandle module, unsigned id) {
    if (module == nullptr) return {};
    for (const posix::EmbeddedString& entry : *static_cast<const ExecutableStrings*>(module)) {
        if (entry.id == id && !entry.text.empty()) {
            return {entry.text.data(), static_cast<int>(entry.text.size())};
        }
    }
    return {};
}

}  // namespace platform
