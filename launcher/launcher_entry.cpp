#include "launcher/launch_sequence.h"
#include "launcher/platform_launch_services.h"
#include "platform/process_entry.h"

int LauncherEntry(const platform::ProcessStart& start) {
    PlatformLaunchServices services(start.activation);
    return RunLauncher(services, start);
}
