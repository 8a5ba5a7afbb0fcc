// A sample run object: a real in-process COM server that reports what it was handed and
// returns the exit code that the command line asks for. It stands in for the component's
// own run object in the tests and in a first try of the launcher.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "launcher/app_run.h"
#include "samples/command_line_text.h"
#include "samples/sample_log.h"

namespace {

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

class SampleAppRun final : public IAppRun {
  public:
    SampleAppRun() { ++liveObjects; }
    SampleAppRun(const SampleAppRun&) = delete;
    SampleAppRun& operator=(const SampleAppRun&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IAppRun)) {
            *object = static_cast<IAppRun*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = --references_;
        if (remaining == 0) delete this;
        return remaining;
    }

    LONG STDMETHODCALLTYPE Run(BSTR commandLine, LONG showCode) override {
        const std::string line = "AppRun: show=" + std::to_string(showCode) +
                                 " cmdline=" + sample::Utf8FromUtf16(commandLine);
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        sample::LogRunLine(line);
        return sample::RequestedExitCode(line);
    }

  private:
    ~SampleAppRun() { --liveObjects; }
    std::atomic<ULONG> references_{1};
};

class SampleFactory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object: its count only keeps the server loaded.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++serverLocks + 1); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--serverLocks + 1); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* runObject = new (std::nothrow) SampleAppRun;
        if (runObject == nullptr) return E_OUTOFMEMORY;
        const HRESULT result = runObject->QueryInterface(riid, object);
        runObject->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            ++serverLocks;
        } else {
            --serverLocks;
        }
        return S_OK;
    }
};

SampleFactory factory;

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualGUID(classId, CLSID_AppRun)) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}
