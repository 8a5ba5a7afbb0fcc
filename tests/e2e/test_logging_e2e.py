"""Logging set-up as a user meets it: the per-program properties file, the daily log that the
run object writes through it, the shared settings file, awkward documents folders, and many
starts at once. Reads LAUNCHER_BIN_DIR from the environment."""

import os
import pwd
import re
import shutil
import subprocess
import tempfile
import threading
import time
import unittest

from test_launcher_e2e import BIN_DIR, RUN_OBJECT, Deployment, launcher_env

RECORD = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \[ INFO\] \S+\(\d+\) \S+ - "
                    r"AppRun: show=10 cmdline=(.*)$")


def escaped(text):
    return text.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r")


def today():
    return time.strftime("%Y%m%d")


def expected_properties(log_root, program, stamp):
    log_file = f"{log_root}/{program}/{program}.1.0.0Log_{stamp}.txt"
    return ("log4j.rootLogger = Info, ovAppender\n"
            "log4j.appender.ovAppender = org.apache.log4j.RollingFileAppender\n"
            "log4j.appender.ovAppender.MaxFileSize = 5MB\n"
            "log4j.appender.ovAppender.MaxBackupIndex = 1\n"
            f"log4j.appender.ovAppender.File = {escaped(log_file)}\n"
            "log4j.appender.ovAppender.layout = org.apache.log4j.PatternLayout\n"
            "log4j.appender.ovAppender.layout.ConversionPattern = "
            "%d{yyyy-MM-dd HH:mm:ss} [%5p] %l %M - %m%n\n").encode("utf-8"), log_file


def as_unprivileged_user():
    """Root may write anywhere; these starts run as nobody so that permissions apply."""
    if os.geteuid() != 0:
        return []
    return ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]


class LoggingTestCase(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="launcher-log-")
        os.chmod(self.root, 0o755)
        self.addCleanup(shutil.rmtree, self.root)
        self.home = os.path.join(self.root, "home")
        os.makedirs(self.home)
        self.app = Deployment(self.root, "app", run_object=os.path.join(BIN_DIR, RUN_OBJECT))

    def start(self, *arguments, prefix=(), env_extra=None):
        """Starts the launcher; self.days holds the date stamps that the start may have seen
        (two when the date changed meanwhile)."""
        first = today()
        result = subprocess.run([*prefix, self.app.launcher, *arguments], capture_output=True,
                                env=launcher_env(self.home, env_extra), timeout=60)
        self.days = sorted({first, today()})
        return result

    def expected(self, log_root, program):
        """The properties file and log file of the last start, for the day that it saw."""
        candidates = [expected_properties(log_root, program, day) for day in self.days]
        properties = os.path.join(log_root, program + ".ini")
        for text, log_file in candidates:
            if os.path.exists(properties) and self.read(properties) == text:
                return text, log_file
        return candidates[-1]

    def log_root(self, documents=None):
        return os.path.join(documents or os.path.join(self.home, "Documents"),
                            "Orvane", "SystemLog")

    def write_user_dirs(self, text):
        config = os.path.join(self.home, ".config")
        os.makedirs(config, exist_ok=True)
        with open(os.path.join(config, "user-dirs.dirs"), "w", encoding="utf-8") as dirs:
            dirs.write(text)

    def read(self, path):
        with open(path, "rb") as file:
            return file.read()

    def records(self, log_file):
        lines = self.read(log_file).decode("utf-8").splitlines()
        for line in lines:
            self.assertRegex(line, RECORD)
        return [RECORD.match(line).group(1) for line in lines]


class PerProgramConfiguration(LoggingTestCase):
    def test_properties_file_and_daily_log(self):
        result = self.start("--exit-code=5")
        self.assertEqual(result.returncode, 5, result.stderr)
        self.assertEqual(result.stderr, b"", "log4cxx was configured without complaint")

        log_root = self.log_root()
        expected, log_file = self.expected(log_root, "launcher")
        properties = os.path.join(log_root, "launcher.ini")
        self.assertEqual(self.read(properties), expected)
        self.assertTrue(os.path.isdir(os.path.join(log_root, "launcher")))
        self.assertEqual(self.records(log_file), [self.app.launcher + " --exit-code=5"])
        self.assertEqual(sorted(os.listdir(log_root)), ["launcher", "launcher.ini"],
                         "no temporary file is left behind")

        first_day = self.days[-1]
        before = os.stat(properties)
        second = self.start("again")
        self.assertEqual(second.returncode, 0)
        if self.days != [first_day]:
            # Midnight passed: the new day's file replaced the old one, and its log is new.
            expected, log_file = self.expected(log_root, "launcher")
            self.assertEqual(self.read(properties), expected)
            self.assertEqual(self.records(log_file)[-1], self.app.launcher + " again")
            return
        # The same day: the file already held the right bytes, so it was neither rewritten
        # nor replaced (a rewrite gives it a new time stamp, a replacement a new inode).
        after = os.stat(properties)
        self.assertEqual((after.st_ino, after.st_mtime_ns), (before.st_ino, before.st_mtime_ns))
        self.assertEqual(self.read(properties), expected)
        self.assertEqual(self.records(log_file),
                         [self.app.launcher + " --exit-code=5", self.app.launcher + " again"])

    def test_japanese_documents_folder(self):
        documents = os.path.join(self.home, "ドキュメント")
        os.makedirs(documents)
        self.write_user_dirs('# written by xdg-user-dirs-update\n'
                             'XDG_DESKTOP_DIR="$HOME/デスクトップ"\n'
                             'XDG_DOCUMENTS_DIR="$HOME/ドキュメント"\n')
        result = self.start("帳簿")
        self.assertEqual(result.returncode, 0, result.stderr)
        expected, log_file = self.expected(self.log_root(documents), "launcher")
        self.assertEqual(self.read(os.path.join(self.log_root(documents), "launcher.ini")),
                         expected)
        self.assertEqual(self.records(log_file), [self.app.launcher + " 帳簿"])
        self.assertFalse(os.path.exists(os.path.join(self.home, "Documents")))

    def test_names_with_a_line_break_or_a_backslash(self):
        # A Linux file name may hold both; neither may break the properties file, and the log
        # must open at exactly the path that was meant. (A backslash in the program's own
        # name separates folders, as in every path, so it is tried in the folder.)
        documents = os.path.join(self.home, "back\\slash docs")
        os.makedirs(documents)
        self.write_user_dirs('XDG_DOCUMENTS_DIR="$HOME/back\\slash docs"\n')
        renamed = os.path.join(self.app.folder, "tax\nlink")
        os.rename(self.app.launcher, renamed)
        self.app.launcher = renamed
        result = self.start()
        self.assertEqual(result.returncode, 0, result.stderr)
        log_root = self.log_root(documents)
        expected, log_file = self.expected(log_root, "tax\nlink")
        self.assertEqual(self.read(os.path.join(log_root, "tax\nlink.ini")), expected)
        # The record itself spans two lines, since the command line holds the line break.
        content = self.read(log_file).decode("utf-8")
        self.assertRegex(content, RECORD.pattern.rstrip("$").replace("(.*)", "") +
                         re.escape('"' + renamed + '"') + r"\n\Z")


class SharedSettings(LoggingTestCase):
    def test_shared_settings_file_wins(self):
        log_root = self.log_root()
        os.makedirs(log_root)
        shared_log = os.path.join(self.root, "shared.log")
        with open(os.path.join(log_root, "OvDefault.ini"), "w") as shared:
            shared.write("log4j.rootLogger=INFO, shared\n"
                         "log4j.appender.shared=org.apache.log4j.FileAppender\n"
                         f"log4j.appender.shared.File={shared_log}\n"
                         "log4j.appender.shared.layout=org.apache.log4j.PatternLayout\n"
                         "log4j.appender.shared.layout.ConversionPattern=shared %m%n\n")
        result = self.start("--exit-code=2")
        self.assertEqual(result.returncode, 2, result.stderr)
        self.assertEqual(os.listdir(log_root), ["OvDefault.ini"])
        self.assertEqual(self.read(shared_log).decode(),
                         f"shared AppRun: show=10 cmdline={self.app.launcher} --exit-code=2\n")

    def test_a_folder_of_that_name_counts_as_present(self):
        log_root = self.log_root()
        os.makedirs(os.path.join(log_root, "OvDefault.ini"))
        result = self.start("--exit-code=6")
        self.assertEqual(result.returncode, 6)
        self.assertEqual(os.listdir(log_root), ["OvDefault.ini"])


class JapaneseTextInAnyLocale(LoggingTestCase):
    """Log files are UTF-8 and log paths are the bytes the launcher meant, whatever the locale:
    a plain C locale counts as UTF-8."""

    LOCALES = ("C.UTF-8", "ja_JP.UTF-8", "C", "POSIX")

    def use_japanese_documents_folder(self):
        documents = os.path.join(self.home, "ドキュメント")
        os.makedirs(documents)
        self.write_user_dirs('XDG_DOCUMENTS_DIR="$HOME/ドキュメント"\n')
        return documents

    def test_daily_log(self):
        documents = self.use_japanese_documents_folder()
        log_root = self.log_root(documents)
        for locale in self.LOCALES:
            with self.subTest(locale=locale):
                shutil.rmtree(os.path.join(documents, "Orvane"), ignore_errors=True)
                result = self.start("帳簿", "表示", env_extra={"LC_ALL": locale})
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stderr, b"")
                expected, log_file = self.expected(log_root, "launcher")
                self.assertEqual(sorted(os.listdir(self.home)), [".config", "ドキュメント"])
                self.assertEqual(sorted(os.listdir(log_root)), ["launcher", "launcher.ini"])
                self.assertEqual(self.read(os.path.join(log_root, "launcher.ini")), expected)
                self.assertEqual(self.records(log_file), [self.app.launcher + " 帳簿 表示"])

    def test_shared_settings_file(self):
        log_root = self.log_root(self.use_japanese_documents_folder())
        os.makedirs(log_root)
        shared_log = os.path.join(self.root, "共有", "表示.log")
        with open(os.path.join(log_root, "OvDefault.ini"), "w", encoding="utf-8") as shared:
            shared.write("# 共有の設定\n"
                         "log4j.rootLogger=INFO, shared\n"
                         "log4j.appender.shared=org.apache.log4j.FileAppender\n"
                         f"log4j.appender.shared.File={shared_log}\n"
                         "log4j.appender.shared.layout=org.apache.log4j.PatternLayout\n"
                         "log4j.appender.shared.layout.ConversionPattern=共有 %m%n\n")
        for locale in self.LOCALES:
            with self.subTest(locale=locale):
                shutil.rmtree(os.path.dirname(shared_log), ignore_errors=True)
                result = self.start("帳簿", env_extra={"LC_ALL": locale})
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stderr, b"", "log4cxx read the file")
                self.assertEqual(os.listdir(log_root), ["OvDefault.ini"])
                self.assertEqual(self.read(shared_log).decode("utf-8"),
                                 f"共有 AppRun: show=10 cmdline={self.app.launcher} 帳簿\n")


class LoggingThatCannotBeSetUp(LoggingTestCase):
    """Whatever goes wrong with logging, the run object still runs and its result stands."""

    def assertRunObjectRan(self, result, status):
        self.assertEqual(result.returncode, status, result.stderr)
        self.assertTrue(result.stdout.startswith(b"AppRun: show=10 cmdline="))

    def test_log_root_that_is_a_file(self):
        os.makedirs(os.path.join(self.home, "Documents", "Orvane"))
        with open(self.log_root(), "w") as file:
            file.write("in the way")
        self.assertRunObjectRan(self.start("--exit-code=7"), 7)

    def test_unwritable_log_root(self):
        log_root = self.log_root()
        os.makedirs(log_root)
        for folder in (self.home, os.path.join(self.home, "Documents"), log_root):
            os.chmod(folder, 0o555)
        self.assertRunObjectRan(self.start("--exit-code=8", prefix=as_unprivileged_user()), 8)
        self.assertEqual(os.listdir(log_root), [])

    def test_documents_folder_that_cannot_be_found_or_made(self):
        os.chmod(self.home, 0o555)
        result = self.start("--exit-code=-3", prefix=as_unprivileged_user())
        self.assertRunObjectRan(result, 253)
        self.assertEqual(os.listdir(self.home), [])
        # Said where a person finds it, and nothing looked for at the root instead.
        self.assertIn(b"launcher: logging not configured: " +
                      os.path.join(self.home, "Documents").encode(), result.stderr)


class SimultaneousStarts(LoggingTestCase):
    def test_sixteen_starts_at_once(self):
        log_root = self.log_root()
        properties = os.path.join(log_root, "launcher.ini")
        first = today()
        seen = []
        done = threading.Event()

        def watch():
            while not done.is_set():
                try:
                    seen.append(self.read(properties))
                except FileNotFoundError:
                    pass

        watcher = threading.Thread(target=watch)
        watcher.start()
        starts = [subprocess.Popen([self.app.launcher, f"--exit-code={n}"],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                   env=launcher_env(self.home)) for n in range(16)]
        statuses = [start.wait(timeout=60) for start in starts]
        done.set()
        watcher.join()
        for start in starts:
            start.stderr.close()

        # The days the starts may have seen: two when midnight passed meanwhile.
        days = sorted({first, today()})
        expected = [expected_properties(log_root, "launcher", day) for day in days]

        self.assertEqual(statuses, list(range(16)))
        self.assertTrue(seen, "the watcher saw the file")
        self.assertLessEqual({content for content in seen}, {text for text, _ in expected},
                             "the file is complete whenever it can be read")
        records = [record for _, log_file in expected if os.path.exists(log_file)
                   for record in self.records(log_file)]
        self.assertEqual(sorted(records),
                         sorted(f"{self.app.launcher} --exit-code={n}" for n in range(16)))


if __name__ == "__main__":
    unittest.main()
