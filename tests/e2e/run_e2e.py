"""Runs end-to-end scenario modules on the host of this build (harness.host_from: Windows
under Wine when LAUNCHER_EMULATOR is set, else Linux), one host for the whole run, and exits
as tests/support/run_unittest.py does (77 when a case skipped).
Usage: run_e2e.py [-k PATTERN]... NAME...
  NAME: a module, or one scenario or case in it (test_logging_e2e.SharedSettings.test_settings_file).
  -k PATTERN: only the cases whose name holds it, as unittest's -k."""

import importlib
import os
import sys
import unittest

import harness

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import run_unittest  # noqa: E402


def main(arguments):
    loader = unittest.TestLoader()
    patterns = []
    while arguments[:1] == ["-k"] and len(arguments) > 1:
        patterns.append(arguments[1] if "*" in arguments[1] else "*%s*" % arguments[1])
        arguments = arguments[2:]
    loader.testNamePatterns = patterns or None
    if not arguments:
        print(__doc__, file=sys.stderr)
        return 2
    with harness.host_from(os.environ) as host:
        suite = unittest.TestSuite()
        for name in arguments:
            module = importlib.import_module(name.split(".")[0])
            suite.addTests(case for case in harness.cases(module, host, loader)
                           if (case.id() + ".").startswith(name + "."))
        return run_unittest.run(suite)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
