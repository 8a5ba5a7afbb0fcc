#include "platform/path.h"
#include "platform/posix/embedded_resources.h"
#include "platform/posix/executable_path.h"
#include "platform/posix/process_entry_command_line_posix.h"
#include "platform/posix/process_start.h"
#include "platform/process_entry.h"

int main(int argc, char** argv) {
    platform::posix::IgnoreBrokenPipes();
    platform::posix::ReopenClosedStandardStreams();
    // Found now, before anything can change the folder that a relative start name is read in.
    const std::string path = platform::posix::ExecutablePath(argc > 0 ? argv[0] : nullptr);
    platform::ProcessStart start;
    // A cut path would name another program; the run object's file is found all the same.
    if (path.size() < platform::kMaxPath) start.executablePath = path;
    start.commandLine = platform::posix::WideCommandLine(argc, argv);
    start.showCode = 10;  // SW_SHOWDEFAULT: nothing on Linux gives a show code
    start.activation.classes = platform::ManifestClassTable();
    start.activation.folder = platform::posix::FolderOf(path);
    return LauncherEntry(start);
}
