#include <map>

#include "platform/posix/embedded_resources.h"
#include "platform/string_resources.h"

namespace platform {
namespace {

// The executable's table as the build compiled it in: one text for each ID.
using StringTable = std::map<unsigned, std::u16string_view>;

StringTable& ExecutableTable() {
    static StringTable table;
    return table;
}

}  // namespace

bool posix::RegisterExecutableStrings(const EmbeddedString* strings, std::size_t count) {
    StringTable& table = ExecutableTable();
    for (std::size_t i = 0; i < count; ++i) table[strings[i].id] = strings[i].text;
    return true;
}

ModuleHandle ExecutableModule() {
    return &ExecutableTable();
}

WideText FindStringEntry(ModuleHandle module, unsigned id) {
    const auto* table = static_cast<const StringTable*>(module);
    if (table == nullptr) return {};
    const auto found = table->find(id);
    if (found == table->end() || found->second.empty()) return {};
    return {found->second.data(), static_cast<int>(found->second.size())};
}

}  // namespace platform
