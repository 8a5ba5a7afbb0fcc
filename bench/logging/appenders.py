#!/usr/bin/env python3
"""10,000 records through our process-safe rolling appender and through log4cxx's own
RollingFileAppender, side by side in one run; and through ours into a log that cannot be
opened (a file stands where its folder should be), which must cost no system call and no more
than a record that is written.

Linux: instructions of the records alone (callgrind, counting only LogTenThousandRecords)
and their wall time (measured in the program; the median and the fastest of RUNS runs, the
two appenders in turns so that both see the same machine).
Windows (--wine): the Windows build's appender_bench.exe under Wine (scripts/wine-run, a
prefix of the build's own), wall time only, in the same way.
Then, so that figures from two machines can be compared: the system calls a record makes
(Linux, strace -c, when strace is there) and the cost of one look at an open log file
(fstat; GetFileInformationByHandleEx under Wine), which a record once paid and no longer
does.

usage: bench/logging/appenders.py [build/linux-bench/bin] [runs]
       bench/logging/appenders.py --wine [build/windows-x86/bin] [runs]"""

import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

RECORDS = 10000
WINE = len(sys.argv) > 1 and sys.argv[1] == "--wine"
ARGUMENTS = sys.argv[2:] if WINE else sys.argv[1:]
BIN = os.path.abspath(ARGUMENTS[0] if ARGUMENTS else
                      "build/windows-x86/bin" if WINE else "build/linux-bench/bin")
RUNS = int(ARGUMENTS[1]) if len(ARGUMENTS) > 1 else 9
WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                        "wine-run")


def command(name, log_file):
    if WINE:
        prefix = os.path.join(os.path.dirname(BIN), "wineprefix-bench")
        return [WINE_RUN, prefix, os.path.join(BIN, "appender_bench.exe"), name,
                "Z:" + log_file.replace("/", "\\")]
    return [os.path.join(BIN, "appender_bench"), name, log_file]


def wall_time(name, log_file):
    if os.path.exists(log_file):
        os.remove(log_file)
    timed = subprocess.run(command(name, log_file), capture_output=True, text=True, check=True)
    return float(re.search(r"([\d.]+) ms", timed.stdout).group(1))


def instructions(name, log_file):
    counted = subprocess.run(
        ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
         "--toggle-collect=LogTenThousandRecords", *command(name, log_file)],
        capture_output=True, text=True, check=True)
    return int(re.search(r"Collected : (\d+)", counted.stderr).group(1))


def main():
    folder = tempfile.mkdtemp(prefix="appender-bench-")
    names = ("log4cxx", "ours", "unopenable")
    try:
        files = {name: os.path.join(folder, f"{name}.txt") for name in names}
        with open(os.path.join(folder, "blocker"), "w") as blocker:
            blocker.write("a file where the log's folder should be\n")
        files["unopenable"] = os.path.join(folder, "blocker", "unopenable.txt")
        counts = {} if WINE else {name: instructions(name, files[name] + ".cg") for name in names}
        wall_time("ours", files["ours"])  # warm-up: the file cache, and Wine's server
        times = {name: [] for name in names}
        for _ in range(RUNS):
            for name in names:
                times[name].append(wall_time(name, files[name]))
        medians = {name: statistics.median(times[name]) for name in names}
        # The fastest run too: what other work on the machine adds is never negative, and
        # under Wine every lock is a round trip to its server, which a busy machine delays.
        fastest = {name: min(times[name]) for name in names}
        for name in names:
            counted = f"{counts[name]:>14,} instructions " if counts else ""
            print(f"{name:8} {counted}{medians[name]:10.3f} ms wall "
                  f"({medians[name] * 1000 / RECORDS:.3f} us a record, median of {RUNS}; "
                  f"fastest {fastest[name] * 1000 / RECORDS:.3f} us)")
        ratio = f"{counts['ours'] / counts['log4cxx']:14.3f}x instructions " if counts else ""
        print(f"ratio    {ratio}{medians['ours'] / medians['log4cxx']:9.3f}x wall, "
              f"{fastest['ours'] / fastest['log4cxx']:.3f}x fastest"
              f" ({'Windows x86 under Wine' if WINE else 'Linux'})")
        dropped = (f"{counts['unopenable'] / counts['ours']:14.3f}x instructions "
                   if counts else "")
        print(f"unopenable/ours {dropped}{medians['unopenable'] / medians['ours']:9.3f}x wall, "
              f"{fastest['unopenable'] / fastest['ours']:.3f}x fastest")
        if not WINE and shutil.which("strace"):
            for name in names:
                calls = system_calls(name, files[name])
                print(f"{name:8} " + ", ".join(f"{calls[c] / RECORDS:.4f} {c}" for c in
                                                sorted(calls, key=calls.get, reverse=True)[:4])
                      + " a record (strace -c, 10,000 records)")
            for name in names:
                calls = traced_calls(name, files[name])
                if calls:
                    print(f"{name:8} " + ", ".join(f"{count / RECORDS:.4f} {call}"
                                                   for call, count in calls.items())
                          + " a record (perf stat, at full speed)")
        looks = [wall_time("look", files["ours"]) for _ in range(RUNS)]
        print(f"look     {statistics.median(looks) * 1000 / RECORDS:.3f} us a look at the open file"
              f" (median of {RUNS})")
    finally:
        shutil.rmtree(folder)


def traced_calls(name, log_file):
    """The system calls of one whole run counted by the kernel's tracepoints, which do not
    slow the program as strace does (strace makes a record some 30 times slower, so that
    looks due by the clock come more often); empty where perf cannot count them."""
    if not shutil.which("perf"):
        return {}
    if os.path.exists(log_file):
        os.remove(log_file)
    events = {"all": "raw_syscalls:sys_enter", "write": "syscalls:sys_enter_write",
              "newfstatat": "syscalls:sys_enter_newfstatat"}
    counted = subprocess.run(["perf", "stat", "-x", ",", "-e", ",".join(events.values()),
                              *command(name, log_file)], capture_output=True, text=True)
    found = {}
    for line in counted.stderr.splitlines():
        fields = line.split(",")
        for call, event in events.items():
            if len(fields) > 2 and fields[2] == event and fields[0].isdigit():
                found[call] = int(fields[0])
    return found if len(found) == len(events) else {}


def system_calls(name, log_file):
    """The system calls of one whole run, by name: the records' and the few of its start."""
    if os.path.exists(log_file):
        os.remove(log_file)
    traced = subprocess.run(["strace", "-c", "-f", "-U", "name,calls", *command(name, log_file)],
                            capture_output=True, text=True, check=True)
    calls = {}
    for line in traced.stderr.splitlines():
        parts = line.split()
        if len(parts) == 2 and parts[1].isdigit():
            calls[parts[0]] = int(parts[1])
    return calls


if __name__ == "__main__":
    main()
