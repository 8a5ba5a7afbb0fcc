// The path splitter written here, the same on both targets.
#include <cstring>
#include <string_view>

#include "platform/mbstring.h"
#include "platform/path.h"

namespace platform {

void CopySplitComponent(std::string_view component, char* out, std::size_t capacity) {
    if (out == nullptr) return;
    const std::size_t length = WholeCharactersWithin(component, capacity - 1);
    std::memcpy(out, component.data(), length);
    out[length] = '\0';
}

void SplitPathWrittenHere(const char* path, char* drive, char* dir, char* fname, char* ext,
                          PathStyle style) {
    const std::string_view text(path);
    // A drive exists in Windows-style text only: "C:" is an ordinary Linux name.
    const bool hasDrive = style == PathStyle::kWindows && text.size() >= 2 && text[1] == ':';
    const std::size_t dirBegin = hasDrive ? 2 : 0;
    CopySplitComponent(text.substr(0, dirBegin), drive, kMaxDrive);

    // The last separator and the last dot, never the second byte of a double-byte character.
    std::size_t nameBegin = dirBegin;
    std::size_t lastDot = std::string_view::npos;
    for (const std::string_view character : Characters(text.substr(dirBegin))) {
        const auto at = static_cast<std::size_t>(character.data() - text.data());
        if (IsPathSeparator(character[0], style)) nameBegin = at + 1;
        if (character[0] == '.') lastDot = at;
    }
    const std::size_t extBegin =
        lastDot != std::string_view::npos && lastDot >= nameBegin ? lastDot : text.size();
    CopySplitComponent(text.substr(dirBegin, nameBegin - dirBegin), dir, kMaxDir);
    CopySplitComponent(text.substr(nameBegin, extBegin - nameBegin), fname, kMaxFname);
    CopySplitComponent(text.substr(extBegin), ext, kMaxExt);
}

}  // namespace platform
