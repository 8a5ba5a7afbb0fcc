// Builds one folder tree with the platform's own services and searches it with IFileFind and
// FileExists: names with and without extensions, leading and repeated dots, spaces, second
// bytes 0x5C, a read-only file, "." and ".." levels, a root search, the DOS wildcard rules and
// malformed multibyte patterns. Every answer goes to the file named by the second argument,
// with paths relative to the root folder (the first argument), so that the Linux build and the
// Windows build, each on a tree of its own, write the same bytes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "fsutil/directory_tree.h"
#include "fsutil/ifile_find.h"
#include "platform/code_page.h"
#include "platform/last_error.h"
#include "platform/mbstring.h"
#include "platform/path.h"
#include "support/scoped_code_page.h"

namespace {

// Read-only, hidden and directory: the attributes that both systems derive alike. Windows
// marks a plain file "archive" (0x20) where the Linux layer says "normal" (0x80).
constexpr std::uint32_t kComparedAttributes = 0x13;

// The tree, each entry written with "/" as its separator; a trailing "/" makes a folder.
const char* const kEntries[] = {
    "tree/",
    "tree/a.txt",
    "tree/b.txt",
    "tree/noext",
    "tree/archive.tar.gz",
    "tree/.profile",
    "tree/..dots",
    "tree/...three",
    "tree/a..b",
    "tree/two words.txt",
    "tree/dir.ext/",
    "tree/sub/",
    "tree/sub/inner.txt",
    "tree/\x95\\/",              // 表, a folder
    "tree/\x95\\/\x83\\.log",    // ソ.log inside it
    "tree/\x83\\",               // ソ, no extension
    "tree/\x95\\\x83\\.tar.gz",  // 表ソ.tar.gz
    "tree/readonly.txt",
};

// The patterns, relative to the root and written with "/".
const char* const kQueries[] = {
    // Names with and without extensions, leading and repeated dots.
    "tree/*",
    "tree/*.*",
    "tree/*.",
    "tree/*.*.*",
    "tree/*.txt",
    "tree/*.gz",
    "tree/*.tar",
    "tree/.*",
    "tree/..*",
    "tree/*..*",
    "tree/a.*",
    "tree/noext.*",
    "tree/*s",
    "tree/* *",
    // "?" in every position.
    "tree/?.txt",
    "tree/a?.txt",
    "tree/??.txt",
    "tree/a?",
    "tree/noex?",
    "tree/noext?",
    "tree/noext??",
    "tree/?oext",
    "tree/a?b",
    "tree/a??b",
    "tree/*.?",
    "tree/*.??",
    "tree/*.???",
    "tree/a.?",
    "tree/?",
    // Literal names, also with trailing dots and spaces.
    "tree/a.txt",
    "tree/noext",
    "tree/dir.ext",
    "tree/missing.txt",
    "tree/a.txt.",
    "tree/a.txt ",
    "tree/noext.",
    "tree/readonly.txt",
    // "." and ".." levels and folders.
    "tree/sub/.",
    "tree/sub/..",
    "tree/sub/./inner.txt",
    "tree/missing/../a.txt",
    "tree/sub/../*.gz",
    "tree/sub/",
    "tree/sub/*",
    "tree/sub/*.*",
    "tree/missing/*",
    "tree/missing/a.txt",
    "tree/s*/inner.txt",
    "tree/s?b/*",
    "tree/a.txt/x",
    // Double-byte names whose second bytes are 0x5C, and malformed multibyte patterns.
    "tree/\x95\\",
    "tree/\x95\\/*",
    "tree/\x95\\/?.log",
    "tree/\x83\\",
    "tree/?",
    "tree/\x95\\*",
    "tree/*\x83\\",
    "tree/??.tar.gz",
    "tree/\x95?.tar.gz",
    "tree/noext\x81",
    "tree/*\x81",
    "tree/\x81*",
    "tree/\x95",
    "tree/\x83\\*.log",
};

// The differences that remain, each with its reason: the query's answers are written, marked,
// and left out of the comparison. Where Wine's kernel32 parts from Windows' documented DOS
// rules, the Linux layer follows Windows.
constexpr const char* kTrailingDropped =
    "Windows drops trailing dots and spaces from a literal name; on Linux they are part of it";
constexpr const char* kWineQuestionMark =
    "Wine's ? always takes one character, a dot too; the DOS question mark of Windows takes none "
    "before a dot or at the end of the name, and never a dot";
constexpr const char* kWineDotQuestionMark =
    "Wine reads .? as a dot and one character; the DOS dot and question marks of Windows also "
    "match the end of a name, so names without an extension match too";
const std::pair<const char*, const char*> kKnownDifferences[] = {
    {"tree/a.txt.", kTrailingDropped},
    {"tree/a.txt ", kTrailingDropped},
    {"tree/noext.", kTrailingDropped},
    {"tree/*.",
     "Wine drops the final dot of a pattern before matching, so *. lists every name; Windows "
     "keeps it as the DOS dot: names without an extension"},
    {"tree/*..*",
     "Wine's matcher passes over every dot and star at the end of a pattern; Windows reads the "
     "second dot as the DOS dot, which needs a dot or the end of the name there"},
    {"tree/*s",
     "Windows and Wine also match the generated 8.3 short name (that of a Japanese name may end "
     "in S); a Linux name has none"},
    {"tree/?", kWineQuestionMark},
    {"tree/a?.txt", kWineQuestionMark},
    {"tree/??.txt", kWineQuestionMark},
    {"tree/noext?", kWineQuestionMark},
    {"tree/noext??", kWineQuestionMark},
    {"tree/a??b", kWineQuestionMark},
    {"tree/*.?", kWineDotQuestionMark},
    {"tree/*.??", kWineDotQuestionMark},
    {"tree/*.???", kWineDotQuestionMark},
    {"tree/a.txt/x",
     "a file named as a folder: Wine answers 123 (invalid name); the Linux layer answers 3 "
     "(path not found), as for every level that is no folder"},
};

class Report {
  public:
    Report(std::FILE* out, std::string root) : out_(out), root_(std::move(root)) {}

    // The root replaced by "<root>" and the native separators written as "/"; a second byte
    // 0x5C stays. Control and non-ASCII bytes as %XX.
    std::string Relative(const std::string& path) const {
        std::string text = path;
        if (text.compare(0, root_.size(), root_) == 0) text = "<root>" + text.substr(root_.size());
        std::string shown;
        for (std::size_t at = 0; at < text.size(); at += platform::CharacterLength(text, at)) {
            const std::size_t width = platform::CharacterLength(text, at);
            for (std::size_t byte = at; byte < at + width; ++byte) {
                const auto value = static_cast<unsigned char>(text[byte]);
                if (byte == at &&
                    platform::IsPathSeparator(text[byte], platform::kNativePathStyle)) {
                    shown += '/';
                } else if (value >= 0x20 && value < 0x7F && value != '%') {
                    shown += text[byte];
                } else {
                    char hex[4];
                    std::snprintf(hex, sizeof hex, "%%%02X", value);
                    shown += hex;
                }
            }
        }
        return shown;
    }

    void Line(const std::string& text) { std::fprintf(out_, "%s\n", text.c_str()); }

  private:
    std::FILE* out_;
    std::string root_;
};

std::string Native(const std::string& root, const std::string& relative) {
    std::string path = root + platform::kPathSeparator;
    for (const char byte : relative) path += byte == '/' ? platform::kPathSeparator : byte;
    return path;
}

bool BuildTree(const std::string& root) {
    for (const std::string entry : kEntries) {
        if (entry.back() == '/') {
            if (CreateOneDirectory(Native(root, entry.substr(0, entry.size() - 1)).c_str()) == 0) {
                return false;
            }
            continue;
        }
        std::FILE* file = std::fopen(Native(root, entry).c_str(), "wb");
        if (file == nullptr) return false;
        std::fclose(file);
    }
    // Only the owner's write permission goes: Windows knows no other.
    std::error_code error;
    std::filesystem::permissions(Native(root, "tree/readonly.txt"),
                                 std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove, error);
    return !error;
}

const char* KnownDifference(const std::string& query) {
    for (const auto& [pattern, reason] : kKnownDifferences) {
        if (query == pattern) return reason;
    }
    return nullptr;
}

void Search(Report& report, const std::string& root, const std::string& query) {
    const char* difference = KnownDifference(query);
    const std::string mark = difference != nullptr ? "known " : "";
    report.Line(mark + "find " + report.Relative(query));
    IFileFind finder;
    if (finder.FindFirst(Native(root, query).c_str(), 0) == 0) {
        report.Line(mark + " none, error " + std::to_string(platform::GetLastErrorCode()));
        return;
    }
    // The order of the entries is the file system's: compare them as a set.
    std::set<std::string> entries;
    int more = 1;
    while (more != 0) {
        more = finder.FindNext();
        char attributes[16];
        std::uint32_t bits = 0;
        for (std::uint32_t bit = 1; bit <= kComparedAttributes; bit <<= 1) {
            if ((bit & kComparedAttributes) != 0 && finder.HasAttributes(bit) != 0) bits |= bit;
        }
        std::snprintf(attributes, sizeof attributes, "%02X", static_cast<unsigned>(bits));
        entries.insert(mark + " " + report.Relative(finder.GetPath()) + " [" + attributes +
                       "] dot " + std::to_string(finder.IsDotEntry()));
    }
    for (const std::string& entry : entries) report.Line(entry);
    report.Line(mark + " folder " + report.Relative(finder.GetFolder()) + ", exists " +
                std::to_string(FileExists(Native(root, query).c_str())));
    if (difference != nullptr) report.Line(mark + " because " + difference);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: search_corpus EMPTY_FOLDER OUTPUT\n");
        return 2;
    }
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    const std::string root = argv[1];
    if (!BuildTree(root)) {
        std::fprintf(stderr, "search_corpus: cannot build the tree in %s\n", argv[1]);
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr) return 1;
    Report report(out, root);
    for (const char* query : kQueries) Search(report, root, query);

    // The root of the file system: a rooted path whatever the drive.
    const std::size_t first =
        root.find(platform::kPathSeparator, root.find(platform::kPathSeparator) + 1);
    const std::string topLevel = root.substr(0, first);
    IFileFind finder;
    const int found = finder.FindFirst(topLevel.c_str(), 0);
    finder.FindNext();
    const std::string path = finder.GetPath();
    const std::size_t drive = path.size() > 1 && path[1] == ':' ? 2 : 0;
    report.Line("root search " + std::to_string(found) + " path " +
                report.Relative(path.substr(drive)) + " name " + finder.GetName());
    return std::fclose(out) == 0 ? 0 : 1;
}
