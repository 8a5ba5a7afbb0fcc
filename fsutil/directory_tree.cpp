#include "fsutil/directory_tree.h"

#include <cstring>

#include "fsutil/ifile_find.h"
#include "fsutil/isplit_path.h"
#include "platform/directory.h"
#include "platform/mbstring.h"

namespace {

constexpr std::uint32_t kDirectory = 0x10;

class PlatformDirectoryTreeServices final : public DirectoryTreeServices {
  public:
    std::unique_ptr<IFileFind> NewFileFind() override { return std::make_unique<IFileFind>(); }
    int CreateOneDirectory(const char* path) override { return ::CreateOneDirectory(path); }
};

// Drops one trailing separator, "\" or "/", never the second byte of a double-byte character.
std::string WithoutTrailingSeparator(const std::string& path) {
    const auto last = static_cast<std::int32_t>(path.size()) - 1;
    if (last >= 0 && (FindLastChar(path, '\\') == last || FindLastChar(path, '/') == last)) {
        return LeftWholeChars(path, last);
    }
    return path;
}

}  // namespace

std::int32_t FindLastChar(const std::string& text, char byte) {
    std::int32_t found = -1;
    bool secondByte = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (secondByte) {
            secondByte = false;
            continue;
        }
        secondByte = platform::IsLeadByte(static_cast<unsigned char>(text[at]));
        if (text[at] == byte) found = static_cast<std::int32_t>(at);
    }
    return found;
}

std::string LeftWholeChars(const std::string& text, std::int32_t count) {
    if (count <= 0) return {};
    const auto n = static_cast<std::size_t>(count);
    if (n >= text.size()) return text;
    bool secondByte = false;
    for (std::size_t at = 0; at < n; ++at) {
        secondByte = !secondByte && platform::IsLeadByte(static_cast<unsigned char>(text[at]));
    }
    return text.substr(0, secondByte ? n + 1 : n);
}

int CreateOneDirectory(const char* path) {
    return platform::MakeDirectory(path) ? 1 : 0;
}

int FileExists(const char* path) {
    IFileFind finder;
    const int found = finder.FindFirst(path, 0);
    finder.Close();
    return found;
}

int CreateDirectoryTree(const char* path) {
    PlatformDirectoryTreeServices services;
    return CreateDirectoryTree(path, services);
}

int CreateDirectoryTree(const char* path, DirectoryTreeServices& services) {
    // The stripped copy only decides where to split; every creation uses `path` as given.
    const std::string stripped = WithoutTrailingSeparator(path);
    const ISplitPath split(stripped.c_str());
    if (std::strlen(split.Dir) <= 1) return services.CreateOneDirectory(path);

    const std::string parent = WithoutTrailingSeparator(std::string(split.Drive) + split.Dir);
    // A parent no shorter than the path would make the recursion go round without end.
    if (parent.size() >= stripped.size()) return 0;

    const std::unique_ptr<IFileFind> finder = services.NewFileFind();
    if (finder->FindFirst(parent.c_str(), 0) != 0) {
        finder->FindNext();
        const bool isDirectory = finder->HasAttributes(kDirectory) != 0;
        finder->Close();
        return isDirectory ? services.CreateOneDirectory(path) : 0;
    }
    // The failed search holds nothing open while the levels above are made.
    if (CreateDirectoryTree(parent.c_str(), services) == 0) return 0;
    return services.CreateOneDirectory(path);
}
