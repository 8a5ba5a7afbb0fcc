// Whether appends of several processes need a lock, decided from the volume alone: the way
// Vista, which cannot name a file's remote protocol, and every local file are decided. Wine
// names the protocol of no file, so the volume's answer is asked directly.
#include "platform/win32/whole_appends.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

TEST(WholeAppends, OnlyALocalNtfsOrRefsVolumeTakesThem) {
    const struct {
        const wchar_t* fileSystem;
        bool remote;
        bool whole;
    } cases[] = {
        {L"NTFS", false, true},  {L"ReFS", false, true},   {L"NTFS", true, false},
        {L"ReFS", true, false},  {L"FAT32", false, false}, {L"exFAT", false, false},
        {L"ntfs", false, false}, {L"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::TakesWholeAppends(c.fileSystem, c.remote), c.whole)
            << c.remote << " " << std::wstring(c.fileSystem).size();
    }
}

TEST(WholeAppends, TheVolumeOfALocalFileIsAsked) {
    const std::wstring path =
        (std::filesystem::temp_directory_path() / L"whole-appends-test.log").wstring();
    const HANDLE file =
        CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, 0, nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    wchar_t system[MAX_PATH + 1] = {};
    ASSERT_NE(GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr, system,
                                            MAX_PATH + 1),
              FALSE);
    // The test folder is on a local disk; its file system is whatever the volume says.
    EXPECT_EQ(platform::VolumeTakesWholeAppends(reinterpret_cast<std::intptr_t>(file)),
              platform::TakesWholeAppends(system, false))
        << std::wstring(system).size();
    CloseHandle(file);
}

}  // namespace
