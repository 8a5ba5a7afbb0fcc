#include "launcher/fatal_error.h"

#include <cstring>

#include "launcher/module_record.h"
#include "platform/code_page.h"
#include "platform/message_box.h"
#include "platform/string_resources.h"

namespace {

// Fixed texts of the box, Shift_JIS on the target system; written as UTF-16 here and
// converted like the table's entries, so that the box reads the same in any code page.
constexpr std::u16string_view kFallbackMessage = u"致命的なエラーが発生しました。";
constexpr std::u16string_view kClosingSentence = u"\n処理を継続することができません。";

std::uint16_t ReadUnit(const std::uint8_t* at) {
    std::uint16_t unit = 0;
    std::memcpy(&unit, at, sizeof unit);
    return unit;
}

// Whether the module's string block holds a non-empty entry for the ID: the entries before
// it are stepped over by their length fields, never beyond the block.
bool HasStringEntry(platform::ModuleHandle module, unsigned id) {
    const platform::ResourceBytes block =
        platform::FindStringBlock(module, id / 16 + 1, platform::kLanguageNeutral);
    if (block.data == nullptr) return false;
    std::size_t offset = 0;
    for (unsigned entry = 0; entry < id % 16; ++entry) {
        if (offset + 2 > block.size) return false;
        offset += 2 + 2u * ReadUnit(block.data + offset);
    }
    return offset + 2 <= block.size && ReadUnit(block.data + offset) != 0;
}

std::string ToAnsi(std::u16string_view text) {
    return platform::AnsiFromWide(platform::WideString(text.begin(), text.end()));
}

}  // namespace

std::string LoadResourceString(unsigned messageId) {
    const platform::ModuleHandle module =
        TheModuleRecord().FindResourceModule([messageId](platform::ModuleHandle candidate) {
            return HasStringEntry(candidate, messageId);
        });
    if (module == nullptr) return {};
    const platform::WideText entry = platform::LoadStringEntry(module, messageId);
    return platform::AnsiFromWide(
        platform::WideStringView(entry.text, static_cast<std::size_t>(entry.length)));
}

std::string FatalErrorText(unsigned messageId) {
    std::string text = LoadResourceString(messageId);
    if (text.empty()) text = ToAnsi(kFallbackMessage);
    text += ToAnsi(kClosingSentence);
    return text;
}

void ShowFatalError(unsigned messageId) {
    const std::string text = FatalErrorText(messageId);
    platform::ShowMessageBox(text.c_str(), nullptr, platform::kMessageBoxErrorIcon);
}
