#include "fsutil/directory_tree.h"

#include <cstring>

#include "fsutil/ifile_find.h"
#include "fsutil/isplit_path.h"
#include "platform/directory.h"

namespace {

class PlatformDirectoryTreeServices final : public DirectoryTreeServices {
  public:
    std::unique_ptr<IFileFind> NewFileFind() override { return std::make_unique<IFileFind>(); }
    int CreateOneDirectory(const char* path) override { return ::CreateOneDirectory(path); }
};

// Drops one trailing separator of `style`, never the second byte of a double-byte character.
std::string WithoutTrailingSeparator(const std::string& path, platform::PathStyle style) {
    const auto last = static_cast<std::int32_t>(path.size()) - 1;
    if (last >= 0 && FindLastSeparator(path, style) == last) return LeftWholeChars(path, last);
    return path;
}

// A drive root (C:\ as C:) or a share root (\\srv\share), its trailing separator already
// dropped: present whenever its volume is, and no search ever finds one, so a level
// below it is made at once. Only Windows-style text has them.
bool IsVolumeRoot(const std::string& stripped, platform::PathStyle style) {
    if (style != platform::PathStyle::kWindows) return false;
    const ISplitPath split(stripped.c_str(), style);
    if (std::strlen(split.Dir) > 1) return false;
    if (split.Server[0] != '\0') return true;
    return split.Drive[0] != '\0' && split.Fname[0] == '\0' && split.Ext[0] == '\0';
}

}  // namespace

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

int CreateDirectoryTree(const char* path, DirectoryTreeServices& services,
                        platform::PathStyle style) {
    // The stripped copy only decides where to split; every creation uses `path` as given.
    const std::string stripped = WithoutTrailingSeparator(path, style);
    const ISplitPath split(stripped.c_str(), style);
    if (std::strlen(split.Dir) <= 1) return services.CreateOneDirectory(path);

    const std::string parent =
        WithoutTrailingSeparator(std::string(split.Drive) + split.Dir, style);
    // A parent no shorter than the path would make the recursion go round without end.
    if (parent.size() >= stripped.size()) return 0;
    if (IsVolumeRoot(parent, style)) return services.CreateOneDirectory(path);

    const std::unique_ptr<IFileFind> finder = services.NewFileFind();
    if (finder->FindFirst(parent.c_str(), kFindExactName) != 0) {
        finder->FindNext();
        const bool isDirectory = finder->HasAttributes(platform::kAttributeDirectory) != 0;
        finder->Close();
        return isDirectory ? services.CreateOneDirectory(path) : 0;
    }
    // The failed search holds nothing open while the levels above are made.
    if (CreateDirectoryTree(parent.c_str(), services, style) == 0) return 0;
    return services.CreateOneDirectory(path);
}
