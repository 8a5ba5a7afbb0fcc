#include "launcher/launch_sequence.h"
#include "launcher/platform_launch_services.h"
#include "platform/process_entry.h"

int LauncherEntry(int showCode) {
    PlatformLaunchServices services;
    return RunLauncher(services, showCode);
}
