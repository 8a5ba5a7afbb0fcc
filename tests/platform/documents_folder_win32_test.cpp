#include "platform/win32/documents_folder_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kUserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The current path of the user's documents folder pointed elsewhere while it lives, as a user
// who moves the folder does; what was there before is put back.
class MovedDocumentsFolder {
  public:
    explicit MovedDocumentsFolder(const std::wstring& path) {
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kUserShellFolders, 0,
                                KEY_QUERY_VALUE | KEY_SET_VALUE, &key_),
                  ERROR_SUCCESS);
        DWORD size = 0;
        had_ =
            RegQueryValueExW(key_, L"Personal", nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
        if (had_) {
            old_.resize(size);
            RegQueryValueExW(key_, L"Personal", nullptr, &type_, old_.data(), &size);
        }
        EXPECT_EQ(RegSetValueExW(key_, L"Personal", 0, REG_EXPAND_SZ,
                                 reinterpret_cast<const BYTE*>(path.c_str()),
                                 static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    ~MovedDocumentsFolder() {
        if (had_) {
            RegSetValueExW(key_, L"Personal", 0, type_, old_.data(),
                           static_cast<DWORD>(old_.size()));
        } else {
            RegDeleteValueW(key_, L"Personal");
        }
        RegCloseKey(key_);
    }
    MovedDocumentsFolder(const MovedDocumentsFolder&) = delete;
    MovedDocumentsFolder& operator=(const MovedDocumentsFolder&) = delete;

  private:
    HKEY key_ = nullptr;
    bool had_ = false;
    DWORD type_ = REG_EXPAND_SZ;
    std::vector<BYTE> old_;
};

// A volume without 8.3 names, which Wine never is: no path has a short spelling.
platform::WideString NoShortPathDouble(const platform::WideString& /*path*/) {
    return {};
}

class WindowsDocumentsFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        root_ = std::filesystem::path(temp) /
                ("documents-folder-test-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    // Whatever a start of another test program wrote there in the meantime goes too.
    void TearDown() override { std::filesystem::remove_all(root_); }

    std::filesystem::path root_;
};

TEST_F(WindowsDocumentsFolder, ACurrentPathThatCannotBeSpeltNorShortenedIsNoFolder) {
    // A profile folder named after its user in Hangul, which code page 932 lacks.
    const std::filesystem::path documents = root_ / L"한국 사용자" / L"문서";
    std::filesystem::create_directories(documents);
    const MovedDocumentsFolder moved(documents.wstring());

    const platform::DocumentsFolderLookup found =
        platform::win32::DocumentsFolderWith(NoShortPathDouble);
    // Never the default path in its place: no logging, and the line says why.
    EXPECT_EQ(found.path, "");
    EXPECT_NE(found.reason.find("cannot spell the documents folder, and it has no short name"),
              std::string::npos)
        << found.reason;
    EXPECT_EQ(std::filesystem::directory_iterator(documents),
              std::filesystem::directory_iterator());

    // Where the volume has short names, the same folder is taken by its short name, without
    // a word.
    const platform::DocumentsFolderLookup shortened = platform::DocumentsFolder();
    EXPECT_NE(shortened.path.find('~'), std::string::npos) << shortened.path;
    EXPECT_EQ(shortened.reason, "");
}

TEST_F(WindowsDocumentsFolder, EachFallbackToTheDefaultPathSaysWhatWasUsed) {
    const struct {
        const char* name;
        std::filesystem::path current;
    } cases[] = {
        {"moved to a folder that does not exist", root_ / "moved" / "Documents"},
        {"moved to a share that cannot be reached", L"\\\\no-such-server\\share\\Documents"},
    };
    for (const auto& c : cases) {
        const MovedDocumentsFolder moved(c.current.wstring());
        const platform::DocumentsFolderLookup found =
            platform::win32::DocumentsFolderWith(NoShortPathDouble);
        ASSERT_NE(found.path, "") << c.name << ": " << found.reason;
        // What was asked (and the shell's result code for it), then what was used.
        EXPECT_EQ(found.reason.rfind("the documents folder's current path cannot be had "
                                     "(SHGetFolderPathA: 0x8007",
                                     0),
                  0u)
            << c.name << ": " << found.reason;
        const std::string used = "); using its default path " + found.path;
        EXPECT_TRUE(found.reason.ends_with(used)) << c.name << ": " << found.reason;
    }
    EXPECT_FALSE(std::filesystem::exists(root_ / "moved"));
}

TEST_F(WindowsDocumentsFolder, TheCurrentPathItselfSaysNothing) {
    const std::filesystem::path documents = root_ / L"表計算 ソフト";
    std::filesystem::create_directories(documents);
    const MovedDocumentsFolder moved(documents.wstring());

    const platform::DocumentsFolderLookup found =
        platform::win32::DocumentsFolderWith(NoShortPathDouble);
    const std::wstring wide = documents.wstring();
    EXPECT_EQ(platform::WideFromAnsi(found.path), platform::WideString(wide.begin(), wide.end()));
    EXPECT_EQ(found.reason, "");
}

}  // namespace
