#!/usr/bin/env python3
"""Compares, in one run, two starts of the launcher with the sample run object against the
reference program: one that writes its properties file (`launcher`), and one that finds the
shared settings file holding the same properties (`settings`). The reference only sets the C
runtime locale to the user's, configures log4cxx from the properties file, loads the run
object's library and runs it once. Instructions are counted by callgrind; wall time is taken
over repeated runs, interleaved so that all see the same machine (each in every place of the
order in turn), with the range in which the ratio of the medians lies in 95 of 100
resamplings of those runs (a machine whose speed wanders shows a wide range). Each runs with
a temporary home, so that the launcher writes its properties file there and the reference
reads it.

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


def ratio_line(label, counts, medians, times, name):
    """The launcher start `name` against the reference, with the resampled range."""
    ratios = sorted(statistics.median(random.choices(times[name], k=RUNS)) /
                    statistics.median(random.choices(times["reference"], k=RUNS))
                    for _ in range(1000))
    return (f"{label:9} {counts[name] / counts['reference']:12.3f}x instructions "
            f"{medians[name] / medians['reference']:8.3f}x wall time "
            f"({ratios[25]:.3f} to {ratios[974]:.3f}; goal: 1.03)")


def main():
    home = tempfile.mkdtemp(prefix="logging-bench-")
    shared_home = tempfile.mkdtemp(prefix="logging-bench-shared-")
    try:
        env = dict(os.environ, HOME=home, LANG=os.environ.get("BENCH_LANG", "ja_JP.UTF-8"))
        env.pop("XDG_CONFIG_HOME", None)
        launcher = [os.path.join(BIN, "launcher"), "--exit-code=0"]
        subprocess.run(launcher, stdout=subprocess.DEVNULL, env=env, check=True)
        log_root = os.path.join(home, "Documents", "Orvane", "SystemLog")
        properties = os.path.join(log_root, "launcher.ini")
        # A start that finds the shared settings file, holding what the generated file holds,
        # so that log4cxx is given the same configuration on all three.
        shared_root = os.path.join(shared_home, "Documents", "Orvane", "SystemLog")
        os.makedirs(shared_root)
        shutil.copyfile(properties, os.path.join(shared_root, "OvDefault.ini"))
        reference = [os.path.join(BIN, "logging_reference"), properties,
                     os.path.join(BIN, "OvTaxLinkRun.so")]
        programs = {"launcher": (launcher, env), "settings": (launcher, dict(env, HOME=shared_home)),
                    "reference": (reference, env)}

        counts = {name: instructions(*program) for name, program in programs.items()}
        times = {name: [] for name in programs}
        order = list(programs)
        for _ in range(RUNS):
            # Each takes every place in the order in turn, so that none always starts on a
            # machine another has just warmed (or disturbed).
            order.append(order.pop(0))
            for name in order:
                command, program_env = programs[name]
                start = time.perf_counter()
                subprocess.run(command, stdout=subprocess.DEVNULL, env=program_env, check=True)
                times[name].append(time.perf_counter() - start)
        medians = {name: statistics.median(values) for name, values in times.items()}
        for name in programs:
            print(f"{name:9} {counts[name]:>12,} instructions  {medians[name] * 1e3:8.3f} ms"
                  f" median of {RUNS}")
        print(ratio_line("ratio", counts, medians, times, "launcher"))
        print(ratio_line("settings", counts, medians, times, "settings"))
    finally:
        shutil.rmtree(home)
        shutil.rmtree(shared_home)


if __name__ == "__main__":
    main()
