// The account of a failed activation: which file it looked for and in what state that file
// is, and the line that says so. Windows records side-by-side errors itself, but not a run
// object that is missing, of another architecture or missing a library of its own.
#include "platform/win32/activation_failure_win32.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/diagnostic.h"
#include "platform/win32/system_message.h"

namespace platform {
namespace {

std::string Hex(unsigned long value, int digits) {
    char hex[16] = {};
    std::snprintf(hex, sizeof hex, "0x%0*lX", digits, value);
    return hex;
}

std::string SystemMessageOfResult(HRESULT result) {
    // A Win32 error carried in a result code is looked up by the error itself, which every
    // system's message table has.
    const auto code = static_cast<DWORD>(result);
    return SystemMessage(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : code);
}

std::string ClassText(REFCLSID classId) {
    wchar_t text[40] = {};
    if (StringFromGUID2(classId, text, 40) == 0) return {};
    return AnsiFromWide(WideString(text, text + std::wcslen(text)));
}

// The folder Windows loads the manifest's files from: the executable's own, with its
// separator.
std::wstring ExecutableFolder() {
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    std::wstring folder(path.data(), length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The machine a PE image is built for, from the first bytes of the file; 0 when they are no
// PE image.
WORD ImageMachine(const unsigned char* bytes, std::size_t size) {
    if (size < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return 0;
    std::uint32_t header = 0;
    std::memcpy(&header, bytes + 0x3C, sizeof header);
    if (header > size - 6 || std::memcmp(bytes + header, "PE\0\0", 4) != 0) return 0;
    WORD machine = 0;
    std::memcpy(&machine, bytes + header + 4, sizeof machine);
    return machine;
}

// The machine the file is built for (0: no PE image); nothing when it cannot be read.
std::optional<WORD> FileMachine(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<unsigned char> bytes(4096);
    DWORD read = 0;
    const BOOL done =
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (done == FALSE) {
        SetLastError(error);
        return std::nullopt;
    }
    return ImageMachine(bytes.data(), read);
}

WORD OwnMachine() {
    const auto* image = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
    return ImageMachine(image, 0x400);
}

std::string ErrorText(DWORD error) {
    return "error " + std::to_string(error) + ": " + SystemMessage(error);
}

// Whether the file is missing or there but cannot be loaded, and why.
std::string FileState(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return "the file does not exist";
        }
        return "it cannot be examined (" + ErrorText(error) + ")";
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "it is a folder, not a file";
    const std::optional<WORD> machine = FileMachine(path);
    if (!machine) return "the file is there but cannot be read (" + ErrorText(GetLastError()) + ")";
    const std::string there = "the file is there but could not be loaded: ";
    if (*machine == 0) return there + "it is no Windows library";
    if (*machine != OwnMachine()) {
        return there + "it is built for another architecture (machine " + Hex(*machine, 4) +
               "; this process is " + Hex(OwnMachine(), 4) + ")";
    }
    // A library of this architecture: only the loader can tell whether it and the libraries it
    // depends on load. This is the load COM itself made, on the failure path only.
    const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        const DWORD error = GetLastError();
        if (error == ERROR_MOD_NOT_FOUND) {
            return there + "a library it depends on is missing (" + ErrorText(error) + ")";
        }
        return there + ErrorText(error);
    }
    FreeLibrary(module);
    return "the file is there and loads, but it did not create the object";
}

}  // namespace

std::string win32::ActivationFailureReason(const ActivationContext& context, REFCLSID classId,
                                           bool created) {
    const std::string className = ClassText(classId);
    const std::optional<std::string_view> file = FindClassFile(context.classes, className);
    if (!file) {
        return "looked for " + className +
               ": the class is not declared in the executable's manifest";
    }
    const std::wstring path = ExecutableFolder() + std::wstring(file->begin(), file->end());
    const std::string named = AnsiFromWide(WideString(path.begin(), path.end()));
    if (created) return "looked for " + named + ": it reported success but gave no object";
    return "looked for " + named + ": " + FileState(path);
}

// The line Linux writes, then the system's text for the code: what a trace cuts short is
// the text that can be looked up again.
void ReportActivationFailure(const std::string& programName, const ComCreation& failure) {
    const std::string code = Hex(static_cast<unsigned long>(failure.outcome), 8);
    ReportDiagnostic(programName + ": activation failed (" + code + ")" +
                     (failure.reason.empty() ? "" : ": " + failure.reason) +
                     "; the system's message for " + code + ": " +
                     SystemMessageOfResult(failure.outcome));
}

}  // namespace platform
