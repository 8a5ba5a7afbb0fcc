#include "platform/posix/file_find_wildcard_posix.h"

#include <vector>

#include "platform/code_page.h"
#include "platform/mbstring.h"

namespace platform::posix {
namespace {

// A pattern's characters after the translation that Windows makes before it matches: the
// names are those of the file system's own matcher (FsRtlIsNameInExpression).
enum class Token { kLiteral, kStar, kDosStar, kDosQuestionMark, kDosDot };

struct PatternCharacter {
    Token token;
    std::string_view text;  // the character's bytes, for a literal
};

// The characters of a text as Windows' matching sees them, each as its bytes: a double-byte
// character of 932, or a whole UTF-8 sequence, which is one UTF-16 unit to Windows.
std::vector<std::string_view> MatchedCharacters(std::string_view text) {
    const bool utf8 = ActiveAnsiCodePage() == kCodePageUtf8;
    std::vector<std::string_view> characters;
    for (const std::string_view character : Characters(text)) {
        const bool continuation = (static_cast<unsigned char>(character[0]) & 0xC0) == 0x80;
        // The characters follow one another in the text, so a sequence grows by its next byte.
        if (utf8 && continuation && !characters.empty() &&
            static_cast<unsigned char>(characters.back()[0]) >= 0xC0) {
            characters.back() = {characters.back().data(), characters.back().size() + 1};
        } else {
            characters.push_back(character);
        }
    }
    return characters;
}

// "?" is always the DOS question mark; "*" before a dot is the DOS star; a dot before "*", "?"
// or the end is the DOS dot. Everything else stands for itself.
std::vector<PatternCharacter> Translate(std::string_view pattern) {
    const std::vector<std::string_view> characters = MatchedCharacters(pattern);
    std::vector<PatternCharacter> translated;
    for (std::size_t at = 0; at < characters.size(); ++at) {
        const std::string_view next = at + 1 < characters.size() ? characters[at + 1] : "";
        Token token = Token::kLiteral;
        if (characters[at] == "?") {
            token = Token::kDosQuestionMark;
        } else if (characters[at] == "*") {
            token = next == "." ? Token::kDosStar : Token::kStar;
        } else if (characters[at] == "." && (next == "*" || next == "?" || next.empty())) {
            token = Token::kDosDot;
        }
        translated.push_back({token, characters[at]});
    }
    return translated;
}

}  // namespace

bool HasWildcard(std::string_view name) {
    // Characters, not bytes: after a lead byte of 932 even "*" is a second byte.
    for (const std::string_view character : MatchedCharacters(name)) {
        if (character == "*" || character == "?") return true;
    }
    return false;
}

bool MatchesDosPattern(std::string_view pattern, std::string_view name) {
    // Without a wildcard no DOS rule applies: the pattern is a name and matches only itself.
    if (!HasWildcard(pattern)) return pattern == name;
    const std::vector<PatternCharacter> tokens = Translate(pattern);
    const std::vector<std::string_view> chars = MatchedCharacters(name);
    const std::size_t p = tokens.size();
    const std::size_t n = chars.size();
    std::size_t lastDot = n;  // n: the name has no dot
    for (std::size_t at = 0; at < n; ++at) {
        if (chars[at] == ".") lastDot = at;
    }
    // Windows drops a final dot from every name but the two directory entries, whose dots
    // are all they are: in those a "?" meets only dots and takes none of them.
    const bool finalDotEndsName = name != "." && name != "..";

    // next[j]: the tokens after the current one match the characters from j on. Rows are
    // filled from the end of the pattern, each from the one after it, so time stays within
    // (p + 1) * (n + 1) steps whatever the pattern: no backtracking.
    std::vector<char> next(n + 1, 0);
    std::vector<char> row(n + 1, 0);
    next[n] = 1;
    for (std::size_t i = p; i-- > 0;) {
        bool anyLater = false;        // some position in [j, n] matches the rest
        bool anyUpToLastDot = false;  // some position in [j, lastDot + 1] does
        for (std::size_t j = n + 1; j-- > 0;) {
            anyLater = anyLater || next[j] != 0;
            if (j == lastDot + 1) anyUpToLastDot = false;
            anyUpToLastDot = anyUpToLastDot || next[j] != 0;
            const bool atEnd = j == n;
            bool result = false;
            switch (tokens[i].token) {
                case Token::kLiteral:
                    result = !atEnd && chars[j] == tokens[i].text && next[j + 1] != 0;
                    break;
                case Token::kStar:
                    result = anyLater;
                    break;
                case Token::kDosStar:
                    // Up to and including the last dot; past it, or without one, to the end.
                    result = lastDot < n && j <= lastDot ? anyUpToLastDot : anyLater;
                    break;
                case Token::kDosQuestionMark:
                    if (atEnd) {
                        result = next[n] != 0;
                    } else if (chars[j] == ".") {
                        // Matches nothing before a dot; a final dot may end the name.
                        result = next[j] != 0 || (finalDotEndsName && j + 1 == n && next[n] != 0);
                    } else {
                        result = next[j + 1] != 0;
                    }
                    break;
                case Token::kDosDot:
                    result = atEnd ? next[n] != 0 : chars[j] == "." && next[j + 1] != 0;
                    break;
            }
            row[j] = result ? 1 : 0;
        }
        next.swap(row);
    }
    return next[0] != 0;
}

}  // namespace platform::posix
