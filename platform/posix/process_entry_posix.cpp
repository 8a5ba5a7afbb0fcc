#include "platform/posix/executable_path.h"
#include "platform/posix/process_start.h"
#include "platform/posix/windows_command_line.h"
#include "platform/process.h"
#include "platform/process_entry.h"

int main(int argc, char** argv) {
    platform::posix::IgnoreBrokenPipes();
    platform::posix::ReopenClosedStandardStreams();
    platform::posix::RecordStartName(argc > 0 ? argv[0] : nullptr);
    platform::posix::RecordCommandLine(argc, argv);
    return LauncherEntry(platform::StartupShowCode());
}
