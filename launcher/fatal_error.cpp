#include "launcher/fatal_error.h"

#include "launcher/module_record.h"
#include "platform/code_page.h"
#include "platform/message_box.h"
#include "platform/string_resources.h"

namespace {

// Fixed texts of the box, Shift_JIS on the target system; written as UTF-16 here and
// converted like the table's entries, so that the box reads the same in any code page.
constexpr std::u16string_view kFallbackMessage = u"致命的なエラーが発生しました。";
constexpr std::u16string_view kClosingSentence = u"\n処理を継続することができません。";

}  // namespace

std::string LoadResourceString(unsigned messageId) {
    // The first module with a non-empty entry gives the text.
    platform::WideText entry;
    TheModuleRecord().FindResourceModule([&entry, messageId](platform::ModuleHandle candidate) {
        entry = platform::FindStringEntry(candidate, messageId);
        return entry.length != 0;
    });
    return platform::AnsiFromWide(
        platform::WideStringView(entry.text, static_cast<std::size_t>(entry.length)));
}

std::string FatalErrorText(unsigned messageId) {
    std::string text = LoadResourceString(messageId);
    if (text.empty()) text = platform::AnsiFromWide(kFallbackMessage);
    text += platform::AnsiFromWide(kClosingSentence);
    return text;
}

void ShowFatalError(unsigned messageId) {
    const std::string text = FatalErrorText(messageId);
    platform::ShowMessageBox(text.c_str(), nullptr, platform::kMessageBoxErrorIcon);
}
