// Multibyte text in the ANSI code page: which bytes start a double-byte character, and the one
// walk over such text that every caller uses.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

#include "platform/code_page.h"

namespace platform {

// _ismbblead for the active code page: 0x81-0x9F and 0xE0-0xFC in 932; never in UTF-8.
bool IsLeadByte(unsigned char byte);

// False where no byte ever starts a double-byte character (UTF-8, what Linux runs in): a walk
// then takes each byte as a character of its own without asking about every one.
inline bool MayHaveLeadBytes() {
    return ActiveAnsiCodePage() != kCodePageUtf8;
}

// The one step of every walk over such text. Bytes of the character that begins at `at`: 2 for
// a lead byte with a byte after it, 1 otherwise (a lead byte at the end stands alone, as the C
// runtime reads it). So a second byte, which may be 0x5C, is never looked at on its own.
inline std::size_t CharacterLength(std::string_view text, std::size_t at) {
    return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// The characters of `text`, each as a view of its bytes, stepped by CharacterLength:
//     for (std::string_view character : Characters(text)) ...
// A character's offset in the text is character.data() - text.data().
class Characters {
  public:
    class iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string_view*;
        using reference = std::string_view;

        iterator(std::string_view text, std::size_t at, bool multibyte)
            : text_(text), at_(at), multibyte_(multibyte) {}
        std::string_view operator*() const { return text_.substr(at_, Length()); }
        iterator& operator++() {
            at_ += Length();
            return *this;
        }
        bool operator==(const iterator& other) const { return at_ == other.at_; }

      private:
        std::size_t Length() const { return multibyte_ ? CharacterLength(text_, at_) : 1; }

        std::string_view text_;
        std::size_t at_;
        bool multibyte_;
    };

    explicit Characters(std::string_view text) : text_(text), multibyte_(MayHaveLeadBytes()) {}
    iterator begin() const { return {text_, 0, multibyte_}; }
    iterator end() const { return {text_, text_.size(), multibyte_}; }

  private:
    std::string_view text_;
    bool multibyte_;
};

// How many bytes of `text`, at most `limit`, _mbsnbcpy copies: whole characters only, so a
// character that would cross the limit and a lead byte with nothing after it are left out.
inline std::size_t WholeCharactersWithin(std::string_view text, std::size_t limit) {
    if (!MayHaveLeadBytes()) return text.size() < limit ? text.size() : limit;
    std::size_t length = 0;
    for (const std::string_view character : Characters(text)) {
        const bool whole =
            character.size() > 1 || !IsLeadByte(static_cast<unsigned char>(character[0]));
        if (!whole || length + character.size() > limit) break;
        length += character.size();
    }
    return length;
}

}  // namespace platform
