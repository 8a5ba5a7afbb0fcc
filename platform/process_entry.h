// The platform's process entry (WinMain, or main elsewhere) hands over to this function, which
// the launcher executable defines; its result is the exit code.
#pragma once

int LauncherEntry(int showCode);
