// What a Windows folder may hold beside the generated file: names in code page 932, whose
// second bytes may be a backslash, and leftovers another program holds open.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "local_clock_fake.h"
#include "logging/log_properties.h"
#include "platform/code_page.h"
#include "scratch_folder.h"

namespace {

class LogPropertiesWin32Test : public ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        if (GetACP() != platform::kCodePageShiftJis) GTEST_SKIP() << "needs code page 932";
        local_clock_fake::SetLocalDate(2016, 9, 20);
    }

    std::string Ansi(const std::string& name) const { return root_.string() + "\\" + name; }

    // A file of that ANSI name, last written a day ago.
    void PlantOld(const std::string& name) const {
        const HANDLE file = CreateFileA(Ansi(name).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER time{};
        time.LowPart = now.dwLowDateTime;
        time.HighPart = now.dwHighDateTime;
        time.QuadPart -= 24ull * 60 * 60 * 10'000'000;
        const FILETIME dayAgo{time.LowPart, time.HighPart};
        EXPECT_NE(SetFileTime(file, nullptr, nullptr, &dayAgo), FALSE) << name;
        CloseHandle(file);
    }

    bool Exists(const std::string& name) const {
        return GetFileAttributesA(Ansi(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

TEST_F(LogPropertiesWin32Test, ProgramNamesInCodePage932FindTheirOwnLeftovers) {
    // ソフト: ソ ends in 0x5C, which is no separator; フト is another program.
    const std::string program = "\x83\x5C\x83t\x83g";
    const struct {
        std::string name;
        bool remains;
    } cases[] = {
        {program + ".ini.0123456789ab.tmp", false},
        {program + ".ini.backup", true},
        {"\x83t\x83g.ini.0123456789ab.tmp", true},
        {"\x83\x5C.ini.0123456789ab.tmp", true},
    };
    for (const auto& c : cases) PlantOld(c.name);
    WriteLogProperties(program, root_.string(), 1, 0, 0, 0);
    for (const auto& c : cases) EXPECT_EQ(Exists(c.name), c.remains) << c.name;
}

TEST_F(LogPropertiesWin32Test, ALeftoverHeldOpenIsLeftForTheNextDay) {
    const std::string leftover = "TaxLink.ini.0123456789ab.tmp";
    PlantOld(leftover);
    // A scanner's handle, which lets nobody delete the file.
    const HANDLE held =
        CreateFileA(Ansi(leftover).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    WriteLogProperties("TaxLink", root_.string(), 1, 0, 0, 0);
    EXPECT_TRUE(Exists(leftover));
    EXPECT_TRUE(Exists("TaxLink.ini"));
    CloseHandle(held);

    local_clock_fake::SetLocalDate(2016, 9, 21);
    WriteLogProperties("TaxLink", root_.string(), 1, 0, 0, 0);
    EXPECT_FALSE(Exists(leftover));
}

TEST_F(LogPropertiesWin32Test, LeftoversAreNamedAsTheSystemComparesNames) {
    // The same program started under another spelling of its name writes the same file.
    PlantOld("TAXLINK.INI.0123456789ab.tmp");
    WriteLogProperties("TaxLink", root_.string(), 1, 0, 0, 0);
    EXPECT_FALSE(Exists("TAXLINK.INI.0123456789ab.tmp"));
}

}  // namespace
