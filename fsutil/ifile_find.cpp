#include "fsutil/ifile_find.h"

#include <cstring>
#include <utility>

#include "fsutil/multibyte_text.h"
#include "platform/last_error.h"
#include "platform/path.h"

namespace {

// The longest pattern a find-data record's name field could hold.
constexpr std::size_t kMaxPattern = platform::kMaxPath - 1;
// The search runs on the system's own paths, so it reads them in the native style.
const platform::PathStyle kStyle = platform::kNativePathStyle;

}  // namespace

IFileFind::IFileFind() : handle_(nullptr), separator_(platform::PreferredSeparator(kStyle)) {}

IFileFind::~IFileFind() {
    Close();
}

void IFileFind::Close() {
    current_.reset();
    lookAhead_.reset();
    if (handle_ != nullptr && handle_ != platform::InvalidSearchHandle()) {
        // From the destructor this reaches IFileFind's own operation, which is what must run
        // there: a derived part is already gone.
        CloseSearchHandle();  // NOLINT(clang-analyzer-optin.cplusplus.VirtualCall)
        handle_ = nullptr;
    }
}

std::string IFileFind::GetName() const {
    if (!current_) return {};
    return current_->cFileName;
}

std::string IFileFind::GetPath() const {
    std::string path = folder_;
    // The last real separator, never the second byte of a double-byte character: a folder
    // that ends in such a character still gets its separator.
    if (FindLastSeparator(path, kStyle) != static_cast<std::int32_t>(path.size()) - 1) {
        path += separator_;
    }
    return path + GetName();
}

std::string IFileFind::GetBaseName() const {
    char name[platform::kMaxFname];
    platform::SplitPath(GetName().c_str(), nullptr, nullptr, name, nullptr, kStyle);
    return name;
}

std::string IFileFind::GetUrl() const {
    return "file://" + GetPath();
}

std::string IFileFind::GetFolder() const {
    return folder_;
}

int IFileFind::ReadTime(EntryTime which, ITime& time) const {
    if (!current_) return 0;
    time.FromFileTime((*current_).*which, -1);
    return 1;
}

int IFileFind::CopyTime(EntryTime which, platform::FileTime* time) const {
    if (!current_ || time == nullptr) return 0;
    *time = (*current_).*which;
    return 1;
}

int IFileFind::GetWriteTime(ITime& time) const {
    return ReadTime(&platform::FindData::ftLastWriteTime, time);
}

int IFileFind::GetWriteTime(platform::FileTime* time) const {
    return CopyTime(&platform::FindData::ftLastWriteTime, time);
}

int IFileFind::GetAccessTime(ITime& time) const {
    return ReadTime(&platform::FindData::ftLastAccessTime, time);
}

int IFileFind::GetAccessTime(platform::FileTime* time) const {
    return CopyTime(&platform::FindData::ftLastAccessTime, time);
}

int IFileFind::GetCreateTime(ITime& time) const {
    return ReadTime(&platform::FindData::ftCreationTime, time);
}

int IFileFind::GetCreateTime(platform::FileTime* time) const {
    return CopyTime(&platform::FindData::ftCreationTime, time);
}

int IFileFind::HasAttributes(std::uint32_t mask) const {
    if (!current_) return 0;
    return (current_->dwFileAttributes & mask) != 0 ? 1 : 0;
}

int IFileFind::IsDotEntry() const {
    // An override of HasAttributes may answer without an entry being current.
    if (HasAttributes(platform::kAttributeDirectory) == 0 || !current_) return 0;
    const char* name = current_->cFileName;
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 ? 1 : 0;
}

int IFileFind::FindFirst(const char* pattern, std::uint32_t flags) {
    if (pattern == nullptr) pattern = "*.*";
    // Too long to name any entry: refused before anything, the open search included, changes.
    if (std::strlen(pattern) > kMaxPattern) {
        platform::SetLastErrorCode(platform::kErrorFilenameExcedRange);
        return 0;
    }
    Close();
    lookAhead_ = std::make_unique<platform::FindData>();
    const auto match = (flags & kFindExactName) != 0 ? platform::FindMatch::kExactName
                                                     : platform::FindMatch::kPattern;
    handle_ = platform::FindFirstEntry(pattern, lookAhead_.get(), match);
    if (handle_ == platform::InvalidSearchHandle()) {
        // The caller reads why the search failed; the clean-up must not overwrite it.
        const std::uint32_t reason = platform::GetLastErrorCode();
        Close();
        platform::SetLastErrorCode(reason);
        return 0;
    }

    char full[platform::kMaxPath];
    if (platform::FullPath(full, pattern, sizeof full) == nullptr) {
        Close();
        platform::SetLastErrorCode(platform::kErrorInvalidName);
        return 0;
    }
    // The folder ends before the last separator: C:\Logs\*.txt gives C:\Logs and C:\*.* gives
    // C:, which GetPath joins with a separator again. A Linux path has no drive before its
    // root, so there the root keeps its "/": the folder of /tmp is /, and its path /tmp.
    const std::string absolute = full;
    const std::int32_t cut = FindLastSeparator(absolute, kStyle);
    const bool keepRoot = cut == 0 && kStyle == platform::PathStyle::kPosix;
    folder_ = cut < 0 ? absolute : absolute.substr(0, keepRoot ? 1 : static_cast<std::size_t>(cut));
    return 1;
}

int IFileFind::FindNext() {
    // A search that failed to start has nothing to step to; the platform is not asked, so the
    // reason it failed stays readable.
    if (handle_ == nullptr || handle_ == platform::InvalidSearchHandle()) return 0;
    if (!current_) current_ = std::make_unique<platform::FindData>();
    std::swap(current_, lookAhead_);
    if (platform::FindNextEntry(handle_, lookAhead_.get())) return 1;
    // Past the end the buffer holds nothing of use: a further FindNext then leaves no entry
    // current instead of showing an earlier one again.
    lookAhead_.reset();
    return 0;
}

void IFileFind::CloseSearchHandle() {
    platform::CloseFind(handle_);
}
