#include <windows.h>

#include "platform/process_entry.h"

// The GUI entry: no console, the show code as the starter gave it. The argument tail is not
// used; the launcher hands on the whole command line instead.
int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*arguments*/,
                   int showCode) {
    return LauncherEntry(showCode);
}
