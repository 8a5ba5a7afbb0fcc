// Loads the sample run object's library beside this program and calls one of its exports:
// the least work any launcher of it must do.
#include <dlfcn.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: spine_floor <library>\n");
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "spine_floor: %s\n", dlerror());
        return 2;
    }
    using CanUnloadNow = int (*)();
    auto call = reinterpret_cast<CanUnloadNow>(dlsym(library, "DllCanUnloadNow"));
    return call != nullptr && call() == 0 ? 0 : 1;
}
