#!/usr/bin/env python3
"""Compares, in one run, a whole start of the launcher with the sample run object against the
floor program (load one shared library, call one function): instructions counted by
callgrind, and wall time over repeated runs, interleaved so that both see the same machine.

usage: bench/spine/compare.py [build/linux-bench/bin] [runs]"""

import os
import re
import statistics
import subprocess
import sys
import time

BIN = sys.argv[1] if len(sys.argv) > 1 else "build/linux-bench/bin"
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 300
LIBRARY = os.path.abspath(os.path.join(BIN, "OvTaxLinkRun.so"))
PROGRAMS = {
    "launcher": [os.path.join(BIN, "launcher"), "--exit-code=0"],
    "floor": [os.path.join(BIN, "spine_floor"), LIBRARY],
}


def instructions(command):
    result = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                             *command], capture_output=True, text=True, check=True)
    return int(re.search(r"Collected : (\d+)", result.stderr).group(1))


def wall_times(runs):
    times = {name: [] for name in PROGRAMS}
    for _ in range(runs):
        for name, command in PROGRAMS.items():
            start = time.perf_counter()
            subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
            times[name].append(time.perf_counter() - start)
    return {name: statistics.median(values) for name, values in times.items()}


def main():
    counts = {name: instructions(command) for name, command in PROGRAMS.items()}
    medians = wall_times(RUNS)
    for name in PROGRAMS:
        print(f"{name:9} {counts[name]:>12,} instructions  {medians[name] * 1e3:8.3f} ms median"
              f" of {RUNS}")
    print(f"ratio     {counts['launcher'] / counts['floor']:12.2f}x instructions "
          f"{medians['launcher'] / medians['floor']:8.2f}x wall time")


if __name__ == "__main__":
    main()
