// The entries of a folder whose names match a pattern, with their long names. Windows 7 and
// later are asked not to look up short names (FindExInfoBasic); Vista refuses that, and is
// then asked for the standard record, which holds both.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class FolderSearch {
  public:
    // FINDEX_INFO_LEVELS' FindExInfoBasic.
    static constexpr std::uint32_t kLongNamesOnly = 1;

    struct Entry {
        std::wstring name;  // the long name
        std::uint32_t attributes = 0;
        std::uint64_t lastWriteTime = 0;  // FILETIME units, UTC
    };

    // `firstLevel` is the information level asked for first; a refused one falls back to the
    // standard level. Tests name one that every system refuses, to take the path that Vista
    // takes.
    explicit FolderSearch(const std::wstring& pattern, std::uint32_t firstLevel = kLongNamesOnly);
    ~FolderSearch();
    FolderSearch(const FolderSearch&) = delete;
    FolderSearch& operator=(const FolderSearch&) = delete;

    // The next entry; false at the end, or when the search could not be started.
    bool Next(Entry& entry);

  private:
    void* handle_;
    bool firstPending_ = false;
    Entry first_;
};

}  // namespace platform
