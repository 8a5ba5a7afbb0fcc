#!/usr/bin/env python3
"""10,000 records through our process-safe rolling appender and through log4cxx's own
RollingFileAppender, one run each: instructions of the records alone (callgrind, counting
only LogTenThousandRecords) and their wall time (measured in the program, one run).

usage: bench/logging/appenders.py [build/linux-bench/bin]"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/linux-bench/bin")


def main():
    folder = tempfile.mkdtemp(prefix="appender-bench-")
    try:
        program = os.path.join(BIN, "appender_bench")
        results = {}
        for name in ("log4cxx", "ours"):
            log_file = os.path.join(folder, f"{name}.txt")
            counted = subprocess.run(
                ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                 "--toggle-collect=LogTenThousandRecords", program, name, log_file + ".cg"],
                capture_output=True, text=True, check=True)
            instructions = int(re.search(r"Collected : (\d+)", counted.stderr).group(1))
            timed = subprocess.run([program, name, log_file], capture_output=True, text=True,
                                   check=True)
            milliseconds = float(re.search(r"([\d.]+) ms", timed.stdout).group(1))
            results[name] = (instructions, milliseconds)
            print(f"{name:8} {instructions:>14,} instructions {milliseconds:10.3f} ms wall")
        ours, theirs = results["ours"], results["log4cxx"]
        print(f"ratio    {ours[0] / theirs[0]:14.3f}x instructions {ours[1] / theirs[1]:9.3f}x wall")
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
