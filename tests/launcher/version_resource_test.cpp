// launcher.exe's version resource carries the version that the launcher hands to the logging
// bootstrap, which names the log files: support staff reading the file's properties and the
// log's name see one version.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "launcher/launch_sequence.h"

namespace {

// Records the version numbers handed to the logging bootstrap; COM refuses to start, which
// ends the pass right after.
class VersionRecorder final : public LaunchServices {
  public:
    std::vector<int> version;

    void InitLogging(const std::string&, const ProductVersion& handed) override {
        version = {handed.first, handed.second, handed.third, handed.fourth};
    }
    HRESULT ComInitialize() override { return E_FAIL; }
    platform::ComCreation ComCreateInstance(REFCLSID, IUnknown*, DWORD, REFIID, void**) override {
        return {E_FAIL, {}};
    }
    void ShowFatalError(unsigned) override {}
    void ReportActivationFailure(const std::string&, const platform::ComCreation&) override {}
    void ComUninitialize() override {}
};

std::string LauncherBesideThisProgram() {
    std::vector<char> path(MAX_PATH);
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), MAX_PATH);
    const std::string self(path.data(), length);
    return self.substr(0, self.find_last_of("\\/") + 1) + "launcher.exe";
}

class VersionResource : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string file = LauncherBesideThisProgram();
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
        ASSERT_NE(size, 0u) << file << " has no version resource (" << GetLastError() << ")";
        data_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, data_.data()));
    }

    // The value at `block` ("\\", "\\VarFileInfo\\Translation", ...); null when missing.
    const void* Query(const std::string& block, UINT* size = nullptr) {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(data_.data(), block.c_str(), &value, &length)) return nullptr;
        if (size != nullptr) *size = length;
        return value;
    }

    std::string Text(const std::string& name) {
        const void* value = Query("\\StringFileInfo\\041103a4\\" + name);
        return value == nullptr ? "(missing)" : static_cast<const char*>(value);
    }

  private:
    std::vector<char> data_;
};

TEST_F(VersionResource, AgreesWithTheVersionHandedToLogging) {
    VersionRecorder services;
    platform::ProcessStart start;
    start.showCode = SW_SHOWNORMAL;
    RunLauncher(services, start);
    ASSERT_EQ(services.version.size(), 4u);

    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query("\\"));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const std::vector<int> fileVersion = {
        HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
        HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    const std::vector<int> productVersion = {
        HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
        HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
    EXPECT_EQ(fileVersion, services.version);
    EXPECT_EQ(productVersion, services.version);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    const std::string dotted =
        std::to_string(services.version[0]) + "." + std::to_string(services.version[1]) + "." +
        std::to_string(services.version[2]) + "." + std::to_string(services.version[3]);
    EXPECT_EQ(Text("FileVersion"), dotted);
    EXPECT_EQ(Text("ProductVersion"), dotted);
}

TEST_F(VersionResource, NamesTheProductInAJapaneseBlock) {
    UINT size = 0;
    const auto* translation = static_cast<const WORD*>(Query("\\VarFileInfo\\Translation", &size));
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(size, 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], 0x0411);  // Japanese
    EXPECT_EQ(translation[1], 932);     // Shift_JIS
    EXPECT_EQ(Text("ProductName"), "Orvane TaxLink");
    EXPECT_EQ(Text("OriginalFilename"), "launcher.exe");
}

}  // namespace
