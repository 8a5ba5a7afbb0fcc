// The irreducible work of a start: set the C runtime locale to the user's (as every start of
// the launcher must, before its properties are made), configure log4cxx from an existing
// properties file, load the run object's library, and have it run once. No documents folder,
// no directories, no properties file written, no manifest.
#include <dlfcn.h>
#include <log4cxx/file.h>
#include <log4cxx/propertyconfigurator.h>

#include <clocale>
#include <cstdio>

#include "launcher/app_run.h"
#include "platform/com_abi.h"

namespace {

using GetClassObject = HRESULT (*)(REFCLSID, REFIID, void**);

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: logging_reference <properties file> <run object library>\n");
        return 2;
    }
    std::setlocale(LC_ALL, "");
    log4cxx::PropertyConfigurator::configure(log4cxx::File(argv[1]));
    void* library = dlopen(argv[2], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return 2;
    auto getClassObject = reinterpret_cast<GetClassObject>(dlsym(library, "DllGetClassObject"));
    IClassFactory* factory = nullptr;
    if (getClassObject == nullptr ||
        getClassObject(CLSID_AppRun, IID_IClassFactory, reinterpret_cast<void**>(&factory)) < 0) {
        return 2;
    }
    IAppRun* runObject = nullptr;
    factory->CreateInstance(nullptr, IID_IAppRun, reinterpret_cast<void**>(&runObject));
    factory->Release();
    if (runObject == nullptr) return 2;
    static char16_t commandLine[] = u"reference --exit-code=0";
    const LONG result = runObject->Run(commandLine, 10);
    runObject->Release();
    return result;
}
