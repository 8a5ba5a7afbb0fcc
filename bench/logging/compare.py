#!/usr/bin/env python3
"""Compares, in one run, two starts of the launcher with the sample run object against the
reference program: one that writes its properties file (`launcher`), and one that finds the
shared settings file holding the same properties (`settings`). The reference only sets the C
runtime locale to the user's, configures log4cxx from the properties file, loads the run
object's library and runs it once. Instructions and cold memory lines are counted by
cachegrind; wall time is taken over repeated runs, interleaved so that all see the same
machine (each in every place of the order in turn), with the range in which the ratio of the
medians lies in 95 of 100 resamplings of those runs (a machine whose speed wanders shows a
wide range). Each runs with a temporary home that holds a desktop's user-dirs.dirs, so that
the launcher writes its properties file there and the reference reads it. A copy of the reference's file runs beside them: how far it
lies from the reference is how far a ratio of this run can be off by chance.

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
    """Instructions and cold memory lines (last-level misses of cachegrind's cache model, in
    which every line a start touches first is a miss): a start is short, and its wall time
    follows the lines it touches more than the instructions it runs."""
    result = subprocess.run(["valgrind", "--tool=cachegrind", "--cache-sim=yes",
                             "--cachegrind-out-file=/dev/null", *command],
                            capture_output=True, text=True, env=env, check=True)
    def total(label):
        return int(re.search(label + r":\s+([\d,]+)", result.stderr).group(1).replace(",", ""))
    return total("I +refs"), total("LL misses")


def ratio_line(label, counts, cold, medians, times, name):
    """The launcher start `name` against the reference, with the resampled range."""
    ratios = sorted(statistics.median(random.choices(times[name], k=RUNS)) /
                    statistics.median(random.choices(times["reference"], k=RUNS))
                    for _ in range(1000))
    return (f"{label:9} {counts[name] / counts['reference']:12.3f}x instructions "
            f"{cold[name] / cold['reference']:6.3f}x cold lines "
            f"{medians[name] / medians['reference']:8.3f}x wall time "
            f"({ratios[25]:.3f} to {ratios[974]:.3f}{'' if name == 'copy' else '; goal: 1.03'})")


def main():
    home = tempfile.mkdtemp(prefix="logging-bench-")
    shared_home = tempfile.mkdtemp(prefix="logging-bench-shared-")
    try:
        env = dict(os.environ, HOME=home, LANG=os.environ.get("BENCH_LANG", "ja_JP.UTF-8"))
        env.pop("XDG_CONFIG_HOME", None)
        # A desktop's user-dirs.dirs in both homes: every desktop start reads it.
        for user_home in (home, shared_home):
            os.makedirs(os.path.join(user_home, ".config"))
            with open(os.path.join(user_home, ".config", "user-dirs.dirs"), "w") as user_dirs:
                user_dirs.write('XDG_DESKTOP_DIR="$HOME/Desktop"\n'
                                'XDG_DOCUMENTS_DIR="$HOME/Documents"\n')
        launcher = [os.path.join(BIN, "launcher"), "--exit-code=0"]
        subprocess.run(launcher, stdout=subprocess.DEVNULL, env=env, check=True)
        log_root = os.path.join(home, "Documents", "Orvane", "SystemLog")
        properties = os.path.join(log_root, "launcher.ini")
        # A start that finds the shared settings file, holding what the generated file holds,
        # so that log4cxx is given the same configuration on every start.
        shared_root = os.path.join(shared_home, "Documents", "Orvane", "SystemLog")
        os.makedirs(shared_root)
        shutil.copyfile(properties, os.path.join(shared_root, "OvDefault.ini"))
        reference = [os.path.join(BIN, "logging_reference"), properties,
                     os.path.join(BIN, "OvTaxLinkRun.so")]
        # The reference once more from a copy of its file: two programs alike in every byte
        # lie this far apart in a run, which is how far a ratio can be off by chance alone.
        copy = [shutil.copy2(reference[0], home), *reference[1:]]
        programs = {"launcher": (launcher, env), "settings": (launcher, dict(env, HOME=shared_home)),
                    "reference": (reference, env), "copy": (copy, env)}

        measured = {name: instructions(*program) for name, program in programs.items()}
        counts = {name: instructions for name, (instructions, _) in measured.items()}
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
            print(f"{name:9} {counts[name]:>12,} instructions {measured[name][1]:>7,} cold lines"
                  f" {medians[name] * 1e3:8.3f} ms median of {RUNS}")
        cold = {name: lines for name, (_, lines) in measured.items()}
        print(ratio_line("ratio", counts, cold, medians, times, "launcher"))
        print(ratio_line("settings", counts, cold, medians, times, "settings"))
        print(ratio_line("copy", counts, cold, medians, times, "copy"))
    finally:
        shutil.rmtree(home)
        shutil.rmtree(shared_home)


if __name__ == "__main__":
    main()
