#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/posix/process_start.h"

namespace platform::posix {
namespace {

// Something to stand in for a closed stream when the null device is missing (a chroot without
// /dev): one end of a pipe whose other end is closed reads as end of file and refuses writes.
int PipeEnd(int standardDescriptor) {
    int ends[2];
    if (pipe(ends) != 0) return -1;
    const int kept = standardDescriptor == STDIN_FILENO ? ends[0] : ends[1];
    close(standardDescriptor == STDIN_FILENO ? ends[1] : ends[0]);
    return kept;
}

}  // namespace

void ReopenClosedStandardStreams(const char* nullDevice) {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        const bool closed = fcntl(descriptor, F_GETFD) == -1 && errno == EBADF;
        if (!closed) continue;
        // The lower descriptors are open by now, so the lowest free one is usually this one.
        int opened = open(nullDevice, O_RDWR);
        if (opened < 0) opened = PipeEnd(descriptor);
        if (opened < 0 || opened == descriptor) continue;
        dup2(opened, descriptor);
        close(opened);
    }
}

void IgnoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace platform::posix
