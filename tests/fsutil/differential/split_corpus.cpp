// Runs the path splitter and the multibyte helpers over a fixed generated corpus of paths in
// code page 932 and writes every result to the file named by the first argument. Built for
// Linux and for Windows, the two outputs must be identical byte for byte.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fsutil/directory_tree.h"
#include "fsutil/isplit_path.h"
#include "platform/code_page.h"
#include "platform/mbstring.h"
#include "platform/path.h"
#include "support/scoped_code_page.h"

namespace {

constexpr int kPaths = 6000;

// xorshift32: the same sequence from every compiler and library.
class Generator {
  public:
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::uint32_t Below(std::uint32_t bound) { return Next() % bound; }

  private:
    std::uint32_t state_ = 0x5EED932u;
};

// One well-formed code-page-932 character, often one whose second byte is the backslash.
std::string DoubleByteCharacter(Generator& random) {
    static const unsigned char kLeads[] = {0x81, 0x82, 0x83, 0x88, 0x89, 0x94,
                                           0x95, 0x9F, 0xE0, 0xE9, 0xEA, 0xFB};
    const unsigned char lead = kLeads[random.Below(sizeof kLeads)];
    unsigned char trail = 0x5C;
    switch (random.Below(4)) {
        case 0:
            trail = static_cast<unsigned char>(0x40 + random.Below(0x3F));  // 0x40-0x7E
            break;
        case 1:
            trail = static_cast<unsigned char>(0x80 + random.Below(0x7D));  // 0x80-0xFC
            break;
        case 2:
            trail = random.Below(2) == 0 ? 0x7C : 0x60;  // '|' or '`', ASCII as second bytes
            break;
        default:
            break;  // 0x5C
    }
    return std::string{static_cast<char>(lead), static_cast<char>(trail)};
}

std::string Component(Generator& random) {
    static const char* const kWords[] = {
        "Data", "logs", "a",   "Orvane", "tax link",           "x.y", "archive.tar.gz", ".profile",
        "..",   ".",    "...", "a.",     "LONGNAME_0123456789"};
    std::string component;
    const std::uint32_t pieces = 1 + random.Below(3);
    for (std::uint32_t i = 0; i < pieces; ++i) {
        switch (random.Below(5)) {
            case 0:
            case 1:
                component += kWords[random.Below(sizeof kWords / sizeof kWords[0])];
                break;
            case 2:
            case 3:
                component += DoubleByteCharacter(random);
                break;
            default:
                component += random.Below(2) == 0 ? "." : ":";
                break;
        }
    }
    return component;
}

std::string Separator(Generator& random) {
    switch (random.Below(6)) {
        case 0:
            return "/";
        case 1:
            return "\\\\";
        default:
            return "\\";
    }
}

std::string MakePath(Generator& random) {
    std::string path;
    switch (random.Below(8)) {
        case 0:
            path = "C:";
            break;
        case 1:
            path = "d:\\";
            break;
        case 2:
            path = "\\\\";
            break;
        case 3:
            path = "//";
            break;
        case 4:
            path = "\\";
            break;
        default:
            break;
    }
    const std::uint32_t levels = random.Below(7);
    for (std::uint32_t level = 0; level < levels; ++level) {
        path += Component(random);
        if (level + 1 < levels || random.Below(3) == 0) path += Separator(random);
    }
    // Now and then a lead byte with nothing after it: no character at all.
    if (random.Below(12) == 0) path += static_cast<char>(random.Below(2) == 0 ? 0x81 : 0xE0);
    // Now and then a path long enough to be cut.
    if (random.Below(20) == 0) {
        while (path.size() < 240 + random.Below(80)) {
            path += random.Below(2) == 0 ? Component(random) : Separator(random);
        }
    }
    return path;
}

std::string Escape(const char* text) {
    std::string escaped;
    for (const char* at = text; *at != '\0'; ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        if (byte >= 0x20 && byte < 0x7F && byte != '%') {
            escaped += *at;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            escaped += hex;
        }
    }
    return escaped;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: split_corpus OUTPUT\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) return 1;
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);

    std::fprintf(out, "lead bytes:");
    for (int byte = 0; byte < 256; ++byte) {
        if (platform::IsLeadByte(static_cast<unsigned char>(byte)))
            std::fprintf(out, " %02X", byte);
    }
    std::fprintf(out, "\n");

    Generator random;
    for (int i = 0; i < kPaths; ++i) {
        const std::string path = MakePath(random);
        const char* text = path.c_str();
        std::fprintf(out, "path %s\n", Escape(text).c_str());

        char drive[platform::kMaxDrive], dir[platform::kMaxDir], fname[platform::kMaxFname],
            ext[platform::kMaxExt];
        // Windows-style text, which the Windows build splits with the C runtime.
        platform::SplitPath(text, drive, dir, fname, ext, platform::PathStyle::kWindows);
        std::fprintf(out, " _splitpath [%s][%s][%s][%s]\n", Escape(drive).c_str(),
                     Escape(dir).c_str(), Escape(fname).c_str(), Escape(ext).c_str());

        const ISplitPath split(text, platform::PathStyle::kWindows);
        std::fprintf(out, " ISplitPath [%s][%s][%s][%s][%s][%s][%s][%s]\n",
                     Escape(split.Path).c_str(), Escape(split.Drive).c_str(),
                     Escape(split.Server).c_str(), Escape(split.Dir).c_str(),
                     Escape(split.Fname).c_str(), Escape(split.Ext).c_str(),
                     Escape(split.DriveDir).c_str(), Escape(split.FnameExt).c_str());

        std::fprintf(out, " FindLastChar \\ %d / %d . %d : %d\n", FindLastChar(path, '\\'),
                     FindLastChar(path, '/'), FindLastChar(path, '.'), FindLastChar(path, ':'));
        const auto length = static_cast<std::int32_t>(path.size());
        std::fprintf(out, " LeftWholeChars");
        for (const std::int32_t n : {1, length / 3, length / 2, length - 1}) {
            std::fprintf(out, " %d:%ld", n, static_cast<long>(LeftWholeChars(path, n).size()));
        }
        std::fprintf(out, "\n");
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
