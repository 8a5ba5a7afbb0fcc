"""Starts in the environments a new user's machine may have: closed standard streams, a
reader that went away, no /proc, Shift_JIS and EUC-JP locales, and run-object files that are
wrong in ways the diagnostic must name. Reads LAUNCHER_BIN_DIR and LAUNCHER_FIXTURE_DIR."""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

from test_launcher_e2e import (BIN_DIR, FATAL_MESSAGE, FIXTURE_DIR, LAUNCHER, RUN_OBJECT,
                               Deployment, E2ETestCase, launcher_env)
from test_logging_e2e import RECORD
from windows_command_line import split_windows_command_line

SAMPLE = os.path.join(BIN_DIR, RUN_OBJECT)


class StandardStreams(E2ETestCase):
    """Closed standard streams must not hand their numbers to the log file."""

    def log_lines(self):
        logs = glob.glob(os.path.join(self.home, "Documents", "Orvane", "SystemLog", "*", "*.txt"))
        self.assertEqual(len(logs), 1, logs)
        with open(logs[0], "rb") as log:
            return log.read().decode("utf-8").splitlines()

    def start_with_closed(self, descriptors, *arguments, run_object=SAMPLE):
        """A start in a deployment and home of its own with `descriptors` closed."""
        name = "closed" + "".join(map(str, descriptors))
        self.home = os.path.join(self.root, name + "-home")
        os.makedirs(self.home)
        deployment = Deployment(self.root, name, run_object=run_object)
        return subprocess.run([deployment.launcher, *arguments], env=launcher_env(self.home),
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=60,
                              preexec_fn=lambda: [os.close(fd) for fd in descriptors])

    def test_closed_streams_never_write_into_the_log(self):
        for descriptors in ((0,), (1,), (2,), (0, 1, 2)):
            with self.subTest(closed=descriptors):
                result = self.start_with_closed(descriptors, "--exit-code=7")
                self.assertEqual(result.returncode, 7)
                lines = self.log_lines()
                self.assertEqual(len(lines), 1, lines)
                self.assertRegex(lines[0], RECORD)

    def test_the_fatal_message_never_goes_into_the_log(self):
        result = self.start_with_closed((2,), run_object=None)
        self.assertEqual(result.returncode, 255)
        self.assertEqual(self.log_lines(), [])

    def test_a_reader_that_went_away_does_not_end_the_start(self):
        # The run object's output fails with EPIPE; its result and its log record still count.
        reader, writer = os.pipe()
        os.close(reader)
        try:
            deployment = Deployment(self.root, run_object=SAMPLE)
            result = subprocess.run([deployment.launcher, "--exit-code=7"], stdout=writer,
                                    stderr=subprocess.PIPE, env=launcher_env(self.home),
                                    timeout=60)
        finally:
            os.close(writer)
        self.assertEqual(result.returncode, 7, "ended by a signal" if result.returncode < 0 else "")
        self.assertEqual(len(self.log_lines()), 1)


# Starts the launcher with /proc hidden behind an empty file system, as in a chroot without
# it; a fresh mount namespace keeps the rest of the machine untouched. Only an environ file
# is put back: the sanitizer runtime of the sanitizer build reads its options from there.
WITHOUT_PROC = ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                'mount -t tmpfs none /proc && mkdir /proc/self && env -0 >/proc/self/environ'
                ' && exec "$@"', "sh"]
# What the sanitizer runtime says when it cannot read its own file's name there.
SANITIZER_WITHOUT_PROC = re.compile(rb"==\d+==WARNING: reading executable name failed[^\n]*\n")
# Starts a program from an open descriptor (fexecve) with the start name given: the kernel
# then knows the program only as /dev/fd/N, which leads nowhere without /proc.
FROM_DESCRIPTOR = [sys.executable, "-c",
                   "import os, sys\n"
                   "descriptor = os.open(sys.argv[1], os.O_RDONLY)\n"
                   "os.execve(descriptor, sys.argv[2:], os.environ)\n"]


class WithoutProc(E2ETestCase):
    def run_without_proc(self, command, **options):
        env = launcher_env(self.home, options.get("env_extra"))
        # The sanitizer build's leak checker stops the process through /proc to look at it;
        # without /proc it can only fail. The other checks still run.
        env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
        result = subprocess.run([*WITHOUT_PROC, *command], capture_output=True, timeout=60,
                                env=env, cwd=options.get("cwd"))
        self.assertNotIn(b"unshare:", result.stderr, "a mount namespace is needed (run as root)")
        self.assertNotIn(b"mount:", result.stderr, "a mount namespace is needed (run as root)")
        result.stderr = SANITIZER_WITHOUT_PROC.sub(b"", result.stderr)
        return result

    def test_the_launcher_finds_its_own_folder_from_how_it_was_started(self):
        deployment = Deployment(self.root, "会計 連携", run_object=SAMPLE)
        path = deployment.folder + os.pathsep + os.environ.get("PATH", "")
        starts = {
            "absolute path": ([deployment.launcher], deployment.launcher, None),
            "relative path": (["./launcher"], "./launcher", deployment.folder),
            "search path": (["launcher"], "launcher", self.root),
            "start name only": ([*FROM_DESCRIPTOR, deployment.launcher, "launcher"], "launcher",
                                self.root),
        }
        for how, (command, head, cwd) in starts.items():
            with self.subTest(how=how):
                result = self.run_without_proc([*command, "--exit-code=5"], cwd=cwd,
                                               env_extra={"PATH": path})
                self.assertRunObjectGot(result, head, ["--exit-code=5"], 5)
                properties = os.path.join(self.home, "Documents", "Orvane", "SystemLog",
                                          "launcher.ini")
                self.assertTrue(os.path.exists(properties), "logging under the program's name")
                os.remove(properties)

    def test_a_launcher_that_cannot_find_itself_loads_nothing(self):
        # A working run object in the current folder is exactly what must not be picked up.
        deployment = Deployment(self.root, run_object=SAMPLE)
        shutil.copy2(SAMPLE, os.path.join(self.root, RUN_OBJECT))
        result = self.run_without_proc([*FROM_DESCRIPTOR, deployment.launcher, "ghost"],
                                       cwd=self.root)
        # Without its own path the launcher has no program name either.
        self.assertActivationFailed(result, RUN_OBJECT, 0x8007007E, "own folder cannot be found",
                                    program="")
        self.assertNotIn("/" + RUN_OBJECT, result.stderr.decode("utf-8"))


class ActivationDiagnostic(E2ETestCase):
    def test_names_the_file_and_the_real_reason(self):
        def folder(path):
            os.makedirs(path)

        def fifo(path):
            os.mkfifo(path)

        def factory_without_object(path):
            shutil.copy2(os.path.join(FIXTURE_DIR, "faulty_server_no_object.so"), path)

        cases = {
            "a folder": (folder, 0x8007007E, "it is a folder, not a file"),
            "a FIFO": (fifo, 0x8007007E, "it is not a regular file"),
            "a factory without an object": (factory_without_object, 0x80004003,
                                            "reported success but gave no"),
        }
        for index, (what, (make, code, reason)) in enumerate(cases.items()):
            with self.subTest(run_object=what):
                deployment = Deployment(self.root, "app%d" % index)
                make(deployment.run_object_path)
                result = self.run_launcher(deployment.launcher)
                self.assertActivationFailed(result, deployment.run_object_path, code, reason)


class LocaleCodeSets(E2ETestCase):
    """The locale's own code set is the ANSI code page: arguments come in it, messages go out
    in it, and its double-byte characters are never split at a 0x5C second byte."""

    @classmethod
    def setUpClass(cls):
        cls.locales = tempfile.mkdtemp(prefix="launcher-locales-")
        for name, charmap in (("ja_JP.SJIS", "SHIFT_JIS"), ("ja_JP.eucJP", "EUC-JP")):
            subprocess.run(["localedef", "--no-warnings=ascii", "-i", "ja_JP", "-f", charmap,
                            os.path.join(cls.locales, name)], check=True, capture_output=True)
        # glibc's newlocale keeps the list it builds from LOCPATH (Debian 12's glibc 2.36):
        # the leak checker of the sanitizer build is told so, and nothing else. (GCC's runtime
        # names the frame __argz_add_sep, clang's argz_add_sep: the pattern matches both.)
        cls.leak_suppressions = os.path.join(cls.locales, "lsan.supp")
        with open(cls.leak_suppressions, "w") as suppressions:
            suppressions.write("leak:argz_add_sep\n")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.locales)

    def run_in(self, locale, launcher, *arguments, encoding):
        env = {"LOCPATH": self.locales, "LC_ALL": locale,
               "LSAN_OPTIONS": "print_suppressions=0:suppressions=" + self.leak_suppressions}
        return subprocess.run([launcher, *(argument.encode(encoding) for argument in arguments)],
                              capture_output=True, env=launcher_env(self.home, env), timeout=60)

    def test_arguments_and_messages_in_the_locales_code_set(self):
        for locale, encoding in (("ja_JP.SJIS", "cp932"), ("ja_JP.eucJP", "euc_jp")):
            with self.subTest(locale=locale):
                deployment = Deployment(self.root, locale, run_object=SAMPLE)
                # 表 and ソ end in 0x5C in Shift_JIS.
                arguments = ["a 表", "second", "帳簿", "ソ\\", '表"ソ', "--exit-code=3"]
                result = self.run_in(locale, deployment.launcher, *arguments, encoding=encoding)
                self.assertRunObjectGot(result, deployment.launcher, arguments, 3)

                os.remove(deployment.run_object_path)
                result = self.run_in(locale, deployment.launcher, encoding=encoding)
                self.assertEqual(result.returncode, 255)
                self.assertTrue(result.stderr.endswith(FATAL_MESSAGE.encode(encoding)),
                                result.stderr)


if __name__ == "__main__":
    unittest.main()
