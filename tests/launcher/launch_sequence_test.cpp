#include "launcher/launch_sequence.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "launcher/message_ids.h"
#include "platform/code_page.h"
#include "support/scoped_code_page.h"

namespace {

using ::testing::ElementsAre;

// The call the pass makes for TaxLink.exe, with the project's version as CMake holds it.
const std::string kInitLoggingTaxLink = "InitLogging(TaxLink," LAUNCHER_PROJECT_VERSION ")";

std::u16string ToU16(const OLECHAR* text) {
    std::u16string out;
    for (; text != nullptr && *text != 0; ++text) out += static_cast<char16_t>(*text);
    return out;
}

platform::WideString Wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

// A run object that records what it was handed and how often it was released.
class RunObjectDouble final : public IAppRun {
  public:
    explicit RunObjectDouble(LONG result) : result_(result) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        ++releases;
        return --references;
    }
    LONG STDMETHODCALLTYPE Run(BSTR commandLine, LONG showCode) override {
        receivedCommandLine = ToU16(commandLine);
        receivedShowCode = showCode;
        ++runs;
        return result_;
    }

    ULONG references = 1;
    int releases = 0;
    int runs = 0;
    std::u16string receivedCommandLine;
    LONG receivedShowCode = 0;

  private:
    LONG result_;
};

// Launch services that log every call, in order, and answer as each test sets them up.
class LaunchServicesDouble final : public LaunchServices {
  public:
    void InitLogging(const std::string& programName, const ProductVersion& version) override {
        calls.push_back("InitLogging(" + programName + "," + std::to_string(version.first) + "." +
                        std::to_string(version.second) + "." + std::to_string(version.third) + "." +
                        std::to_string(version.fourth) + ")");
    }
    HRESULT ComInitialize() override {
        calls.push_back("ComInitialize");
        return initializeResult;
    }
    platform::ComCreation ComCreateInstance(REFCLSID classId, IUnknown* outer, DWORD classContext,
                                            REFIID interfaceId, void** object) override {
        calls.push_back("ComCreateInstance");
        EXPECT_TRUE(IsEqualGUID(classId, CLSID_AppRun));
        EXPECT_EQ(outer, nullptr);
        EXPECT_EQ(classContext, 23u);
        EXPECT_TRUE(IsEqualGUID(interfaceId, IID_IAppRun));
        *object = createResult >= 0 ? static_cast<IAppRun*>(runObject) : nullptr;
        return {createResult, createReason};
    }
    void ShowFatalError(unsigned messageId) override {
        calls.push_back("ShowFatalError(" + std::to_string(messageId) + ")");
    }
    void ReportActivationFailure(const std::string& programName,
                                 const platform::ComCreation& failure) override {
        calls.push_back("ReportActivationFailure(" + programName + "," +
                        std::to_string(failure.outcome) + "," + failure.reason + ")");
    }
    void ComUninitialize() override { calls.push_back("ComUninitialize"); }

    HRESULT initializeResult = S_OK;
    HRESULT createResult = S_OK;
    std::string createReason;
    RunObjectDouble* runObject = nullptr;
    std::vector<std::string> calls;
};

// The start as the process entry would gather it for TaxLink.exe.
platform::ProcessStart TaxLinkStart(int showCode = 10) {
    platform::ProcessStart start;
    start.executablePath = "/opt/orvane/TaxLink.exe";
    start.commandLine = Wide(u"TaxLink.exe --mode=sync");
    start.showCode = showCode;
    return start;
}

// Runs the pass for `start` with `runObject`; returns the calls it made.
std::vector<std::string> RunStarted(const platform::ProcessStart& start,
                                    RunObjectDouble& runObject) {
    LaunchServicesDouble services;
    services.runObject = &runObject;
    RunLauncher(services, start);
    return services.calls;
}

TEST(LaunchSequence, RunsTheStepsInOrderAndReturnsWhatRunReturns) {
    for (LONG runResult : {0, 7, -5, INT_MIN, INT_MAX}) {
        RunObjectDouble runObject(runResult);
        LaunchServicesDouble services;
        services.runObject = &runObject;

        EXPECT_EQ(RunLauncher(services, TaxLinkStart(3)), runResult);

        EXPECT_THAT(services.calls, ElementsAre(kInitLoggingTaxLink, "ComInitialize",
                                                "ComCreateInstance", "ComUninitialize"));
        EXPECT_EQ(runObject.runs, 1);
        EXPECT_EQ(runObject.receivedShowCode, 3);
        EXPECT_EQ(runObject.receivedCommandLine, u"TaxLink.exe --mode=sync");
        EXPECT_EQ(runObject.releases, 1) << "the run object is released exactly once";
    }
}

TEST(LaunchSequence, ComThatCannotStartEndsWithOneAndNothingElse) {
    for (HRESULT failure : {E_FAIL, E_OUTOFMEMORY, static_cast<HRESULT>(0x80010106u)}) {
        LaunchServicesDouble services;
        services.initializeResult = failure;

        EXPECT_EQ(RunLauncher(services, TaxLinkStart()), 1);

        // Logging was set up first; no message, no creation and no uninitialise follow.
        EXPECT_THAT(services.calls, ElementsAre(kInitLoggingTaxLink, "ComInitialize"));
    }
}

TEST(LaunchSequence, ComAlreadyStartedOnTheThreadStillRunsTheObject) {
    RunObjectDouble runObject(4);
    LaunchServicesDouble services;
    services.initializeResult = S_FALSE;
    services.runObject = &runObject;

    EXPECT_EQ(RunLauncher(services, TaxLinkStart()), 4);
}

TEST(LaunchSequence, RunObjectThatCannotBeCreatedIsReportedThenShownAndEndsWithMinusOne) {
    LaunchServicesDouble services;
    services.createResult = REGDB_E_CLASSNOTREG;
    services.createReason = "looked for X.dll: the file does not exist";

    EXPECT_EQ(RunLauncher(services, TaxLinkStart()), -1);

    // The reason that came with the result is reported before the box waits for the user.
    EXPECT_THAT(
        services.calls,
        ElementsAre(kInitLoggingTaxLink, "ComInitialize", "ComCreateInstance",
                    "ReportActivationFailure(TaxLink," + std::to_string(REGDB_E_CLASSNOTREG) +
                        ",looked for X.dll: the file does not exist)",
                    "ShowFatalError(10010)", "ComUninitialize"));
}

TEST(LaunchSequence, SuccessWithoutAnObjectCountsAsACreationFailure) {
    LaunchServicesDouble services;
    services.createResult = S_OK;
    services.createReason = "gave no object";
    services.runObject = nullptr;

    EXPECT_EQ(RunLauncher(services, TaxLinkStart()), -1);
    EXPECT_THAT(services.calls,
                ElementsAre(kInitLoggingTaxLink, "ComInitialize", "ComCreateInstance",
                            "ReportActivationFailure(TaxLink," + std::to_string(E_POINTER) +
                                ",gave no object)",
                            "ShowFatalError(10010)", "ComUninitialize"));
}

TEST(LaunchSequence, MissingModulePathGivesAnEmptyProgramName) {
    RunObjectDouble runObject(0);
    platform::ProcessStart start = TaxLinkStart();
    start.executablePath.clear();

    EXPECT_EQ(RunStarted(start, runObject).at(0), "InitLogging(," LAUNCHER_PROJECT_VERSION ")");
}

TEST(LaunchSequence, TheCommandLineReachesRunAsItIsHeld) {
    // Japanese text with 0x5C second bytes in Shift_JIS, a family name with 𠮷 (a surrogate
    // pair) and Hangul: none of it goes through a code page on its way to Run.
    const std::u16string commandLine = u"\"C:\\表計算\\ソフト.exe\" \"𠮷野 2026\" 한국";
    RunObjectDouble runObject(0);
    platform::ProcessStart start = TaxLinkStart();
    start.commandLine = Wide(commandLine);

    RunStarted(start, runObject);

    EXPECT_EQ(runObject.receivedCommandLine, commandLine);
}

TEST(LaunchSequence, ACommandLineThatCannotBeHadIsAnOutOfMemoryFailure) {
    RunObjectDouble runObject(0);
    platform::ProcessStart start = TaxLinkStart();
    start.commandLine.reset();

    try {
        RunStarted(start, runObject);
        ADD_FAILURE() << "no exception";
    } catch (const CommandLineConversionError& error) {
        EXPECT_EQ(error.result, E_OUTOFMEMORY);
    }
    EXPECT_EQ(runObject.runs, 0);
}

TEST(ProgramName, IsTheBaseNameWithoutFolderOrExtension) {
    constexpr auto kWindows = platform::PathStyle::kWindows;
    constexpr auto kPosix = platform::PathStyle::kPosix;
    EXPECT_EQ(ProgramNameFromPath("C:\\Program Files\\Orvane\\TaxLink.exe", kWindows), "TaxLink");
    EXPECT_EQ(ProgramNameFromPath("/opt/orvane tax/bin/launcher", kPosix), "launcher");
    EXPECT_EQ(ProgramNameFromPath("C:\\apps\\tax.link.exe", kWindows), "tax.link");
    EXPECT_EQ(ProgramNameFromPath(""), "");
    // On Linux a backslash is part of the executable's name.
    EXPECT_EQ(ProgramNameFromPath("/opt/bin/a\\b", kPosix), "a\\b");
    EXPECT_EQ(ProgramNameFromPath("/opt/bin/a\\b", kWindows), "b");

    // ソ表.exe: both characters end in 0x5C, which must not be taken for a separator.
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    EXPECT_EQ(ProgramNameFromPath("C:\\\x83\\\x95\\.exe", kWindows), "\x83\\\x95\\");
}

}  // namespace
