// Another program that holds the live log open the way a log viewer, a backup or sync agent
// or a virus scanner does: reading and writing shared, deleting (and so moving) not. Windows
// refuses to move or delete such a file until it is closed. With "read", only reading is
// shared, as an editor or a spreadsheet that opened the log shares it: then nobody else can
// open it for writing at all.
//
//   share_holder FILE MARKER RELEASE [read]
//     opens FILE so, makes MARKER, and closes FILE once RELEASE exists (at most 120 s).
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

bool Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv) {
    const bool readOnly = argc == 5 && std::strcmp(argv[4], "read") == 0;
    if (argc != 4 && !readOnly) {
        std::fprintf(stderr, "usage: share_holder FILE MARKER RELEASE [read]\n");
        return 2;
    }
    const DWORD sharing = readOnly ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    const HANDLE held = CreateFileA(argv[1], GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    const HANDLE marker = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    for (int waited = 0; !Exists(argv[3]) && waited < 120000; waited += 10) Sleep(10);
    CloseHandle(held);
    return 0;
}
