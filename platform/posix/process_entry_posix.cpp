#include "platform/posix/windows_command_line.h"
#include "platform/process.h"
#include "platform/process_entry.h"

int main(int argc, char** argv) {
    platform::posix::RecordCommandLine(argc, argv);
    return LauncherEntry(platform::StartupShowCode());
}
