// What the Linux entry does first, checked in child processes: the standard descriptors and
// the signal disposition are process-wide.
#include "platform/posix/process_start.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <string>

namespace {

// Runs `check` in a child process and returns what it exits with (or 128 + the signal that
// ended it), so that a check may close standard descriptors or die of SIGPIPE harmlessly.
int InChild(const std::function<int()>& check) {
    const pid_t child = fork();
    if (child == 0) _exit(check());
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool IsNullDevice(int descriptor) {
    struct stat device {};
    struct stat opened {};
    return stat("/dev/null", &device) == 0 && fstat(descriptor, &opened) == 0 &&
           S_ISCHR(opened.st_mode) && opened.st_rdev == device.st_rdev;
}

bool IsPipe(int descriptor) {
    struct stat opened {};
    return fstat(descriptor, &opened) == 0 && S_ISFIFO(opened.st_mode);
}

// Exit codes of the child: 0 when all is well, else the first descriptor that is wrong + 1.
int CheckReopened(unsigned closedMask, const char* nullDevice, bool (*standIn)(int)) {
    // The lowest descriptor free above the standard ones (a sanitizer may hold some).
    const int firstFree = open("/dev/null", O_RDONLY);
    close(firstFree);
    struct stat before[3] = {};
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if ((closedMask & (1u << descriptor)) != 0) {
            close(descriptor);
        } else if (fstat(descriptor, &before[descriptor]) != 0) {
            return 10 + descriptor;
        }
    }
    platform::posix::ReopenClosedStandardStreams(nullDevice);
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if ((closedMask & (1u << descriptor)) != 0) {
            if (!standIn(descriptor)) return descriptor + 1;
        } else {
            struct stat now {};
            if (fstat(descriptor, &now) != 0 || now.st_ino != before[descriptor].st_ino ||
                now.st_dev != before[descriptor].st_dev) {
                return descriptor + 1;
            }
        }
    }
    // A file opened now must not take a standard slot, and no spare descriptor was left.
    const int next = open("/dev/null", O_RDONLY);
    return next == firstFree && next > STDERR_FILENO ? 0 : 20;
}

TEST(ProcessStart, ClosedStandardDescriptorsAreReopenedOnTheNullDevice) {
    for (unsigned closedMask = 0; closedMask < 8; ++closedMask) {
        EXPECT_EQ(
            InChild([closedMask] { return CheckReopened(closedMask, "/dev/null", IsNullDevice); }),
            0)
            << "closed descriptors (bit mask) " << closedMask;
    }
}

TEST(ProcessStart, WithoutANullDeviceAPipeTakesTheirPlace) {
    for (unsigned closedMask = 0; closedMask < 8; ++closedMask) {
        EXPECT_EQ(InChild([closedMask] {
                      return CheckReopened(closedMask, "/nonexistent/null", IsPipe);
                  }),
                  0)
            << "closed descriptors (bit mask) " << closedMask;
    }
    // The stand-ins read as end of file and refuse writes.
    EXPECT_EQ(InChild([] {
                  close(0);
                  close(1);
                  platform::posix::IgnoreBrokenPipes();
                  platform::posix::ReopenClosedStandardStreams("/nonexistent/null");
                  char byte = 0;
                  if (read(0, &byte, 1) != 0) return 1;
                  if (write(1, "x", 1) != -1 || errno != EPIPE) return 2;
                  return 0;
              }),
              0);
}

TEST(ProcessStart, AWriteToAPipeNobodyReadsFailsInsteadOfEndingTheProcess) {
    EXPECT_EQ(InChild([] {
                  platform::posix::IgnoreBrokenPipes();
                  int ends[2];
                  if (pipe(ends) != 0) return 1;
                  close(ends[0]);
                  if (write(ends[1], "x", 1) != -1 || errno != EPIPE) return 2;
                  return 0;
              }),
              0);
}

}  // namespace
