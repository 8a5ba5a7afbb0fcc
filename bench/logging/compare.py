#!/usr/bin/env python3
"""Compares, in one run, a start of the launcher with the sample run object against the
reference program, which only sets the C runtime locale to the user's, configures log4cxx
from the same properties file, loads the run object's library and runs it once: instructions
counted by callgrind, and wall time over repeated runs, interleaved so that both see the same
machine (each first in every other round), with the range in which the ratio of the medians
lies in 95 of 100 resamplings of those runs (a machine whose speed wanders shows a wide range).
Both run with a temporary home, so that the launcher writes its properties file there and the
reference reads it.

The locale is ja_JP.UTF-8, the users' own, unless BENCH_LANG names another: the C runtime
locale that every start sets up costs more where it is not in the locale archive (C.UTF-8).

usage: bench/logging/compare.py [build/linux-bench/bin] [runs]"""

import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/linux-bench/bin")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 200


def instructions(command, env):
    result = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                             *command], capture_output=True, text=True, env=env, check=True)
    return int(re.search(r"Collected : (\d+)", result.stderr).group(1))


def main():
    home = tempfile.mkdtemp(prefix="logging-bench-")
    try:
        env = dict(os.environ, HOME=home, LANG=os.environ.get("BENCH_LANG", "ja_JP.UTF-8"))
        env.pop("XDG_CONFIG_HOME", None)
        launcher = [os.path.join(BIN, "launcher"), "--exit-code=0"]
        subprocess.run(launcher, stdout=subprocess.DEVNULL, env=env, check=True)
        properties = os.path.join(home, "Documents", "Orvane", "SystemLog", "launcher.ini")
        reference = [os.path.join(BIN, "logging_reference"), properties,
                     os.path.join(BIN, "OvTaxLinkRun.so")]
        programs = {"launcher": launcher, "reference": reference}

        counts = {name: instructions(command, env) for name, command in programs.items()}
        times = {name: [] for name in programs}
        order = list(programs)
        for _ in range(RUNS):
            # Each goes first in every other round, so that neither always starts on a machine
            # the other has just warmed (or disturbed).
            order.reverse()
            for name in order:
                command = programs[name]
                start = time.perf_counter()
                subprocess.run(command, stdout=subprocess.DEVNULL, env=env, check=True)
                times[name].append(time.perf_counter() - start)
        medians = {name: statistics.median(values) for name, values in times.items()}
        ratios = sorted(statistics.median(random.choices(times["launcher"], k=RUNS)) /
                        statistics.median(random.choices(times["reference"], k=RUNS))
                        for _ in range(1000))
        for name in programs:
            print(f"{name:9} {counts[name]:>12,} instructions  {medians[name] * 1e3:8.3f} ms"
                  f" median of {RUNS}")
        print(f"ratio     {counts['launcher'] / counts['reference']:12.3f}x instructions "
              f"{medians['launcher'] / medians['reference']:8.3f}x wall time "
              f"({ratios[25]:.3f} to {ratios[974]:.3f}; goal: 1.03)")
    finally:
        shutil.rmtree(home)


if __name__ == "__main__":
    main()
