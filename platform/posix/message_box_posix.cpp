#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/posix/locale_text.h"

namespace platform {
namespace {

bool HasGraphicalSession() {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (display != nullptr && *display != '\0') || (wayland != nullptr && *wayland != '\0');
}

// A desktop dialog through zenity, when installed; waits until the user closes it.
void ShowDesktopDialog(const std::string& text, const char* caption) {
    std::vector<std::string> arguments = {"zenity", "--error", "--no-markup", "--text=" + text};
    if (caption != nullptr) arguments.push_back(std::string("--title=") + caption);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, "zenity", nullptr, nullptr, argv.data(), environ) != 0) return;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

void ShowMessageBox(const char* ansiText, const char* ansiCaption, unsigned /*style*/) {
    const std::string text = posix::AnsiToLocaleText(ansiText);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    if (HasGraphicalSession()) {
        ShowDesktopDialog(text, ansiCaption);
    }
}

}  // namespace platform
