// Another program that holds the live log open the way a log viewer, a backup or sync agent
// or a virus scanner does: reading and writing shared, deleting (and so moving) not. Windows
// refuses to move or delete such a file until it is closed.
//
//   share_holder FILE MARKER RELEASE
//     opens FILE so, makes MARKER, and closes FILE once RELEASE exists (at most 120 s).
#include <windows.h>

#include <cstdio>

namespace {

bool Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: share_holder FILE MARKER RELEASE\n");
        return 2;
    }
    const HANDLE held = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    const HANDLE marker = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    for (int waited = 0; !Exists(argv[3]) && waited < 120000; waited += 10) Sleep(10);
    CloseHandle(held);
    return 0;
}
