// The "other process" of the shared rolling file's contract tests
// (tests/logging/test_shared_rolling_file_contract.py), on both systems:
//
//   rolling_file_writer write FILE MAX_SIZE TAG COUNT [GO [PAUSE]]
//     waits (at most 60 s) until the file GO exists, when given and not "-", then appends COUNT
//     records of 100 bytes each, "<TAG> <number> xxx...\n", through a SharedRollingFile with one
//     backup; with PAUSE it makes PAUSE.reached after the first record and waits (at most
//     120 s) until PAUSE exists before the others, as an idle process does.
//   rolling_file_writer unopenable FILE COUNT FREED
//     appends COUNT records to a FILE that cannot be opened, makes FREED.reached, waits (at
//     most 60 s) until FREED exists and appends one record every 10 ms until one is written
//     (at most 10 s); then prints how many were dropped and how long after FREED it took.
//   rolling_file_writer lock FILE MARKER SECONDS
//     takes the lock that every process rolling FILE over takes, makes MARKER and holds the
//     lock for SECONDS, as a process stopped while holding it does.
//
// Exits with 0 when every record was appended (or the lock was had), 1 otherwise.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "logging/shared_rolling_file.h"
#include "platform/shared_append_file.h"

namespace {

constexpr std::size_t kRecordSize = 100;

bool WaitFor(const std::string& path, std::chrono::seconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::string Record(const std::string& tag, long number) {
    std::string record = tag + " " + std::to_string(number) + " ";
    record.resize(kRecordSize - 1, 'x');
    return record + "\n";
}

int Write(int argc, char** argv) {
    if (argc < 6) return 2;
    const std::string tag = argv[4];
    const long count = std::stol(argv[5]);
    const std::string go = argc > 6 && std::string(argv[6]) != "-" ? argv[6] : "";
    const std::string pause = argc > 7 ? argv[7] : "";
    // Says on standard error why records were not written, for the test's message.
    SharedRollingFile file(
        argv[2], std::stoll(argv[3]), 1, SharedRollingFile::SteadyClock(),
        [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    if (!file.Open()) return 1;
    if (!go.empty() && !WaitFor(go, std::chrono::seconds(60))) return 1;
    for (long number = 0; number < count; ++number) {
        if (!file.Append(Record(tag, number))) return 1;
        if (number == 0 && !pause.empty()) {
            std::ofstream(pause + ".reached").close();
            if (!WaitFor(pause, std::chrono::seconds(120))) return 1;
        }
    }
    return 0;
}

int WriteUnopenable(int argc, char** argv) {
    if (argc < 5) return 2;
    const long count = std::stol(argv[3]);
    SharedRollingFile file(
        argv[2], std::int64_t{1} << 40, 1, SharedRollingFile::SteadyClock(),
        [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    long dropped = 0;
    for (long number = 0; number < count; ++number) {
        if (!file.Append(Record("dropped", number))) ++dropped;
    }
    std::ofstream(std::string(argv[4]) + ".reached").close();
    if (!WaitFor(argv[4], std::chrono::seconds(60))) return 1;
    const auto freed = std::chrono::steady_clock::now();
    for (long number = 0; !file.Append(Record("resumed", number)); ++number) {
        if (std::chrono::steady_clock::now() - freed > std::chrono::seconds(10)) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::chrono::duration<double> after = std::chrono::steady_clock::now() - freed;
    std::printf("dropped %ld of %ld\nresumed after %.3f s\n", dropped, count, after.count());
    return 0;
}

int HoldLock(int argc, char** argv) {
    if (argc < 5) return 2;
    platform::SharedAppendFile file;
    if (file.Open(argv[2]).outcome != platform::SharedAppendFile::OpenOutcome::kOpened) return 1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (file.TryLock() != platform::SharedAppendFile::LockOutcome::kLocked) {
        if (std::chrono::steady_clock::now() >= deadline) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::ofstream(argv[3]).close();
    std::this_thread::sleep_for(std::chrono::seconds(std::stol(argv[4])));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const int status = mode == "write"        ? Write(argc, argv)
                       : mode == "unopenable" ? WriteUnopenable(argc, argv)
                       : mode == "lock"       ? HoldLock(argc, argv)
                                              : 2;
    if (status == 2) {
        std::fprintf(stderr,
                     "usage: rolling_file_writer write FILE MAX_SIZE TAG COUNT [GO [PAUSE]]\n"
                     "       rolling_file_writer unopenable FILE COUNT FREED\n"
                     "       rolling_file_writer lock FILE MARKER SECONDS\n");
    }
    return status;
}
