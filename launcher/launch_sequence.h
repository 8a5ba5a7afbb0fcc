// The launcher's one pass: logging set-up, COM up, the run object's Run, COM down.
#pragma once

#include <string>

#include "launcher/app_run.h"
#include "launcher/product_version.h"
#include "platform/com.h"
#include "platform/path.h"
#include "platform/process_entry.h"

// What the pass does to the outside world, so that the order of its steps and its failure
// paths can be observed. What it only reads comes with the process's start.
class LaunchServices {
  public:
    virtual ~LaunchServices() = default;
    virtual void InitLogging(const std::string& programName, const ProductVersion& version) = 0;
    virtual HRESULT ComInitialize() = 0;
    virtual platform::ComCreation ComCreateInstance(REFCLSID classId, IUnknown* outer,
                                                    DWORD classContext, REFIID interfaceId,
                                                    void** object) = 0;
    virtual void ShowFatalError(unsigned messageId) = 0;
    virtual void ReportActivationFailure(const std::string& programName,
                                         const platform::ComCreation& failure) = 0;
    virtual void ComUninitialize() = 0;
};

// In-process server, in-process handler, local server and remote server together.
constexpr DWORD kRunObjectClassContext = 23;

constexpr int kExitComUnavailable = 1;
constexpr int kExitRunObjectNotCreated = -1;

// The base name of the executable: no folder, no extension; empty when the path is. The
// module path is the system's own, read in its native style ("\" is part of a Linux name).
std::string ProgramNameFromPath(const char* modulePath,
                                platform::PathStyle style = platform::kNativePathStyle);

// Raised when the command line cannot be turned into a BSTR; nothing catches it, as with
// any other out-of-memory failure during start-up.
struct CommandLineConversionError {
    HRESULT result;
};

// Runs the pass for the process's start and returns the exit code.
int RunLauncher(LaunchServices& services, const platform::ProcessStart& start);
