// The launcher's one pass: logging set-up, COM up, the run object's Run, COM down.
#pragma once

#include <cstdint>
#include <string>

#include "launcher/app_run.h"
#include "launcher/product_version.h"
#include "platform/path.h"

// Everything the pass asks of the outside world, so that the order of its steps and its
// failure paths can be observed.
class LaunchServices {
  public:
    virtual ~LaunchServices() = default;
    virtual std::uint32_t ExecutableFilePath(char* buffer, std::uint32_t size) = 0;
    virtual void InitLogging(const std::string& programName, const ProductVersion& version) = 0;
    // The whole command line in UTF-16; null when it cannot be had.
    virtual const OLECHAR* CommandLine() = 0;
    virtual HRESULT ComInitialize() = 0;
    virtual HRESULT ComCreateInstance(REFCLSID classId, IUnknown* outer, DWORD classContext,
                                      REFIID interfaceId, void** object) = 0;
    virtual void ShowFatalError(unsigned messageId) = 0;
    virtual void ReportActivationFailure(HRESULT result) = 0;
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

// Runs the pass and returns the process's exit code.
int RunLauncher(LaunchServices& services, int showCode);
