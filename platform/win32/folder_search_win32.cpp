#include "platform/win32/folder_search.h"

#include <windows.h>

#include <utility>

namespace platform {
namespace {

void Take(const WIN32_FIND_DATAW& found, FolderSearch::Entry& entry) {
    entry.name = found.cFileName;
    entry.attributes = found.dwFileAttributes;
    entry.lastWriteTime = (std::uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32) |
                          found.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

static_assert(FolderSearch::kLongNamesOnly == FindExInfoBasic);

FolderSearch::FolderSearch(const std::wstring& pattern, std::uint32_t firstLevel) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW(pattern.c_str(), static_cast<FINDEX_INFO_LEVELS>(firstLevel),
                                     &found, FindExSearchNameMatch, nullptr, 0);
    // Vista knows no level but the standard one and refuses any other as a bad parameter.
    if (search == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
        search = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &found,
                                  FindExSearchNameMatch, nullptr, 0);
    }
    handle_ = search;
    if (search != INVALID_HANDLE_VALUE) {
        Take(found, first_);
        firstPending_ = true;
    }
}

FolderSearch::~FolderSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
}

bool FolderSearch::Next(Entry& entry) {
    if (firstPending_) {
        firstPending_ = false;
        entry = std::move(first_);
        return true;
    }
    WIN32_FIND_DATAW found{};
    if (handle_ == INVALID_HANDLE_VALUE || FindNextFileW(handle_, &found) == FALSE) return false;
    Take(found, entry);
    return true;
}

}  // namespace platform
