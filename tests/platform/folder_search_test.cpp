// The folder search on the path that Vista takes, which refuses to leave short names out:
// Wine refuses an information level it does not know just as Vista refuses that one.
#include "platform/win32/folder_search.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

std::set<std::wstring> Listed(const std::wstring& pattern, std::uint32_t firstLevel) {
    std::set<std::wstring> names;
    platform::FolderSearch search(pattern, firstLevel);
    platform::FolderSearch::Entry entry;
    while (search.Next(entry)) names.insert(entry.name);
    return names;
}

TEST(FolderSearch, WhereLongNamesAloneAreRefusedBothAreListed) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "folder-search-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (const char* name : {"a.log.retired-1", "a.log.retired-long name 2", "a.log", "b.txt"}) {
        std::ofstream(folder / name) << "x";
    }
    const std::wstring pattern = (folder / L"a.log.retired-*").wstring();
    // No system has a level this high; Vista's highest is the standard one.
    constexpr std::uint32_t kRefused = 0x7FFF;

    const std::set<std::wstring> expected = {L"a.log.retired-1", L"a.log.retired-long name 2"};
    EXPECT_EQ(Listed(pattern, platform::FolderSearch::kLongNamesOnly), expected);
    EXPECT_EQ(Listed(pattern, kRefused), expected);
    // A missing folder lists nothing, on either path.
    EXPECT_TRUE(Listed((folder / L"missing" / L"*").wstring(), kRefused).empty());

    std::filesystem::remove_all(folder);
}

TEST(FolderSearch, EntriesCarryTheirTimeAndAttributes) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "folder-search-times";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "sub");
    std::ofstream(folder / "file") << "x";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_NE(
        GetFileAttributesExW((folder / L"file").wstring().c_str(), GetFileExInfoStandard, &data),
        FALSE);
    const std::uint64_t written = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                  data.ftLastWriteTime.dwLowDateTime;
    for (const std::uint32_t level : {platform::FolderSearch::kLongNamesOnly, 0x7FFFu}) {
        platform::FolderSearch search((folder / L"*").wstring(), level);
        platform::FolderSearch::Entry entry;
        int files = 0;
        while (search.Next(entry)) {
            if (entry.name == L"sub") {
                EXPECT_NE(entry.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
            }
            if (entry.name != L"file") continue;
            ++files;
            EXPECT_EQ(entry.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
            EXPECT_EQ(entry.lastWriteTime, written);
        }
        EXPECT_EQ(files, 1) << level;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
