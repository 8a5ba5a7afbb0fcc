#include <cstring>
#include <map>
#include <string>

#include "platform/posix/embedded_resources.h"
#include "platform/string_resources.h"

namespace platform {
namespace {

struct StringTable {
    std::uint16_t language = 0;
    // Blocks in the resource format: 16 entries, each a 16-bit length then that many units.
    std::map<unsigned, std::u16string> blocks;
};

StringTable& ExecutableTable() {
    static StringTable table;
    return table;
}

std::u16string BuildBlock(unsigned blockNumber, const posix::EmbeddedString* strings,
                          std::size_t count) {
    std::u16string block;
    for (unsigned entry = 0; entry < 16; ++entry) {
        const unsigned id = (blockNumber - 1) * 16 + entry;
        std::u16string_view text;
        for (std::size_t i = 0; i < count; ++i) {
            if (strings[i].id == id) text = strings[i].text;
        }
        block.push_back(static_cast<char16_t>(text.size()));
        block.append(text);
    }
    return block;
}

std::uint16_t ReadUnit(const std::uint8_t* at) {
    std::uint16_t unit = 0;
    std::memcpy(&unit, at, sizeof unit);
    return unit;
}

}  // namespace

bool posix::RegisterExecutableStrings(const EmbeddedString* strings, std::size_t count,
                                      std::uint16_t language) {
    StringTable& table = ExecutableTable();
    table.language = language;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned blockNumber = strings[i].id / 16 + 1;
        table.blocks[blockNumber] = BuildBlock(blockNumber, strings, count);
    }
    return true;
}

ModuleHandle ExecutableModule() {
    return &ExecutableTable();
}

ResourceBytes FindStringBlock(ModuleHandle module, unsigned blockNumber, std::uint16_t language) {
    const auto* table = static_cast<const StringTable*>(module);
    if (table == nullptr || (language != kLanguageNeutral && language != table->language)) {
        return {};
    }
    const auto found = table->blocks.find(blockNumber);
    if (found == table->blocks.end()) return {};
    return {reinterpret_cast<const std::uint8_t*>(found->second.data()),
            found->second.size() * sizeof(char16_t)};
}

WideText LoadStringEntry(ModuleHandle module, unsigned id) {
    const ResourceBytes block = FindStringBlock(module, id / 16 + 1, kLanguageNeutral);
    std::size_t offset = 0;
    for (unsigned entry = 0; block.data != nullptr && offset + 2 <= block.size; ++entry) {
        const std::uint16_t length = ReadUnit(block.data + offset);
        if (entry == id % 16) {
            if (offset + 2 + std::size_t{2} * length > block.size || length == 0) return {};
            // The bytes are those of the block's own char16_t units.
            return {reinterpret_cast<const OLECHAR*>(block.data + offset + 2), length};
        }
        offset += 2 + std::size_t{2} * length;
    }
    return {};
}

}  // namespace platform
