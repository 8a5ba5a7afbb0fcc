"""Runs Python test modules as `python -m unittest -v` does, with one difference: a run in
which a test skipped and none failed exits with 77, so that CTest reports it as skipped rather
than passed (and scripts/test-all refuses it). A run that finds no test at all fails.
Usage: run_unittest.py MODULE..."""

import os
import sys
import unittest

EXIT_SKIPPED = 77


def main(names):
    # As `python -m unittest`: the modules are found in the working folder.
    sys.path.insert(0, os.getcwd())
    return run(unittest.defaultTestLoader.loadTestsFromNames(names))


def run(suite):
    """Runs the suite; the exit status as described above."""
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    if not result.wasSuccessful():
        return 1
    if result.testsRun == 0:
        print("no test ran", file=sys.stderr)
        return 1
    if result.skipped:
        print(f"{len(result.skipped)} skipped:", file=sys.stderr)
        for test, reason in result.skipped:
            print(f"  {test.id()}: {reason}", file=sys.stderr)
        return EXIT_SKIPPED
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
