#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/com.h"
#include "platform/diagnostic.h"
#include "platform/posix/com_activation_posix.h"

namespace platform {
namespace {

using DllGetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

int apartmentUsers = 0;

ComCreation Fail(HRESULT result, const std::string& lookedFor, const std::string& reason) {
    return {result, "looked for " + lookedFor + ": " + reason};
}

// Why `path` cannot be an in-process server's file, or empty when it is a regular file.
std::string NotAFileReason(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return errno == ENOENT ? std::string("the file does not exist")
                               : std::string("it cannot be examined: ") + std::strerror(errno);
    }
    if (S_ISDIR(status.st_mode)) return "it is a folder, not a file";
    if (!S_ISREG(status.st_mode)) return "it is not a regular file";
    return {};
}

// Loads an in-process server by absolute path, never through the library search path, so
// that only the file beside the executable can answer for the class. The module stays
// loaded for the life of the process, as COM keeps it until the apartment is long gone.
ComCreation LoadServer(const std::string& path, DllGetClassObjectFunction& getClassObject) {
    if (const std::string reason = NotAFileReason(path); !reason.empty()) {
        return Fail(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), path, reason);
    }
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* message = dlerror();
        return Fail(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), path,
                    message != nullptr ? message : "it cannot be loaded");
    }
    void* symbol = dlsym(module, "DllGetClassObject");
    if (symbol == nullptr) {
        return Fail(CO_E_ERRORINDLL, path, "it does not export DllGetClassObject");
    }
    getClassObject = reinterpret_cast<DllGetClassObjectFunction>(symbol);
    return {S_OK, {}};
}

}  // namespace

HRESULT ComInitialize() {
    ++apartmentUsers;
    return apartmentUsers == 1 ? S_OK : S_FALSE;
}

void ComUninitialize() {
    if (apartmentUsers > 0) --apartmentUsers;
}

ComCreation ComCreateInstance(const ActivationContext& context, REFCLSID classId, IUnknown* outer,
                              DWORD classContext, REFIID interfaceId, void** object) {
    if (object == nullptr) return {E_POINTER, "no place for the object was given"};
    *object = nullptr;
    const std::string className = posix::FormatGuid(classId);
    if (apartmentUsers == 0) {
        return Fail(CO_E_NOTINITIALIZED, className, "COM was not initialised on this thread");
    }
    const auto file = FindClassFile(context.classes, className);
    if ((classContext & CLSCTX_INPROC_SERVER) == 0 || !file) {
        return Fail(REGDB_E_CLASSNOTREG, className,
                    "the class is not declared in the executable's manifest");
    }
    const std::string moduleName = posix::LocalModuleName(std::string(*file));
    const std::string& folder = context.folder;
    // Without its own folder the launcher has nowhere safe to load from: never a guess.
    if (folder.empty()) {
        return Fail(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), moduleName,
                    "the launcher's own folder cannot be found (no /proc/self/exe, and "
                    "neither the started name nor argv[0] leads to the executable)");
    }
    const std::string path = folder + (folder.back() == '/' ? "" : "/") + moduleName;
    DllGetClassObjectFunction getClassObject = nullptr;
    // Set only where the server loaded and exports the function.
    if (ComCreation loaded = LoadServer(path, getClassObject); getClassObject == nullptr) {
        return loaded;
    }

    IClassFactory* factory = nullptr;
    HRESULT result = getClassObject(classId, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(result) || factory == nullptr) {
        return Fail(FAILED(result) ? result : E_POINTER, path,
                    "DllGetClassObject gave no class factory for " + className);
    }
    result = factory->CreateInstance(outer, interfaceId, object);
    factory->Release();
    if (FAILED(result)) {
        *object = nullptr;
        return Fail(result, path, "the class factory did not create " + className);
    }
    // Passed on as CoCreateInstance would; the caller counts it as a failure and reports the
    // reason.
    if (*object == nullptr) {
        return Fail(result, path, "the class factory reported success but gave no " + className);
    }
    return {result, {}};
}

void ReportActivationFailure(const std::string& programName, const ComCreation& failure) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(failure.outcome));
    ReportDiagnostic(programName + ": activation failed (0x" + hex + ")" +
                     (failure.reason.empty() ? "" : ": " + failure.reason));
}

BSTR AllocBstr(const char16_t* text, std::uint32_t length) {
    // A 32-bit byte count, the text, then a terminator: the layout a BSTR has on Windows.
    const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
    if (bytes > 0x7FFFFFF0u) return nullptr;
    void* block = std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR));
    if (block == nullptr) return nullptr;
    const auto prefix = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    auto* units = reinterpret_cast<OLECHAR*>(static_cast<char*>(block) + sizeof(std::uint32_t));
    if (text != nullptr) std::memcpy(units, text, bytes);
    units[length] = u'\0';
    return units;
}

void FreeBstr(BSTR text) {
    if (text != nullptr) std::free(reinterpret_cast<char*>(text) - sizeof(std::uint32_t));
}

}  // namespace platform
