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


def settings_text(log_file):
    """A user's settings file sending every record to one file. It begins with a key, as a
    mark that is read for a character would be glued to it."""
    return ("log4j.rootLogger=INFO, shared\n"
            "# 共有の設定\n"
            "log4j.appender.shared=org.apache.log4j.FileAppender\n"
            f"log4j.appender.shared.File={log_file}\n"
            "log4j.appender.shared.layout=org.apache.log4j.PatternLayout\n"
            "log4j.appender.shared.layout.ConversionPattern=共有 %m%n\n")


# How editors save a settings file: the codec, and the byte-order mark written before it.
SAVED_AS = {
    "UTF-8 with a mark": ("utf-8", b"\xef\xbb\xbf"),
    "UTF-8": ("utf-8", b""),
    "UTF-16 LE with a mark": ("utf-16-le", b"\xff\xfe"),
    "Shift_JIS": ("cp932", b""),
}


class SettingsInTheEncodingTheyWereSavedIn(LoggingTestCase):
    """OvDefault.ini as editors save it, naming a Japanese folder: the records land there in
    every locale, and a file whose bytes its encoding does not read says so."""

    def setUp(self):
        super().setUp()
        self.shared_root = self.log_root()
        os.makedirs(self.shared_root)

    def assertLogsIn(self, folder, saved_as, env, locale_codec="utf-8", argument="帳簿"):
        """Records land in `folder` (its name as the file system holds it, in the locale's
        code set) through a settings file that names it, saved as `saved_as`."""
        codec, mark = SAVED_AS[saved_as]
        shared_log = os.path.join(folder, b"shared.log")
        shutil.rmtree(folder, ignore_errors=True)
        with open(os.path.join(self.shared_root, "OvDefault.ini"), "wb") as shared:
            shared.write(mark + settings_text(shared_log.decode(locale_codec)).encode(codec))
        result = self.start(argument.encode(locale_codec), env_extra=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, b"", "log4cxx read the file without complaint")
        self.assertEqual(os.listdir(self.shared_root), ["OvDefault.ini"])
        # log4cxx writes in the locale's code set where the user's settings name none.
        self.assertEqual(self.read(shared_log).decode(locale_codec),
                         f"共有 AppRun: show=10 cmdline={self.app.launcher} {argument}\n")

    def test_utf8_and_utf16_in_any_locale(self):
        folder = os.path.join(self.home, "ログ").encode()
        for saved_as in ("UTF-8 with a mark", "UTF-8", "UTF-16 LE with a mark"):
            for locale in JapaneseTextInAnyLocale.LOCALES:
                with self.subTest(saved_as=saved_as, locale=locale):
                    self.assertLogsIn(folder, saved_as, {"LC_ALL": locale})

    def test_shift_jis_where_the_locale_is_utf8(self):
        # Not UTF-8, so the code page the product's settings are written in.
        folder = os.path.join(self.home, "ログ").encode()
        for locale in ("C.UTF-8", "ja_JP.UTF-8"):
            with self.subTest(locale=locale):
                self.assertLogsIn(folder, "Shift_JIS", {"LC_ALL": locale})

    def test_the_locales_own_code_set(self):
        locales = tempfile.mkdtemp(prefix="launcher-locales-")
        self.addCleanup(shutil.rmtree, locales)
        # glibc's newlocale keeps the list it builds from LOCPATH: the sanitizer build's leak
        # checker is told so (as in test_hostile_start_e2e).
        suppressions = os.path.join(locales, "lsan.supp")
        with open(suppressions, "w") as file:
            file.write("leak:argz_add_sep\n")
        for locale, charmap, codec in (("ja_JP.SJIS", "SHIFT_JIS", "cp932"),
                                       ("ja_JP.eucJP", "EUC-JP", "euc_jp")):
            subprocess.run(["localedef", "--no-warnings=ascii", "-i", "ja_JP", "-f", charmap,
                            os.path.join(locales, locale)], check=True, capture_output=True)
            SAVED_AS[locale] = (codec, b"")
            self.addCleanup(SAVED_AS.pop, locale)
            with self.subTest(locale=locale):
                # The folder is named in the locale's code set, as the file names it. The
                # sample run object hands log4cxx its message in UTF-8, which log4cxx takes
                # for the locale's code set: the argument stays ASCII.
                folder = os.path.join(self.home.encode(), "ログ".encode(codec))
                self.assertLogsIn(folder, locale, {
                    "LOCPATH": locales, "LC_ALL": locale,
                    "LSAN_OPTIONS": "print_suppressions=0:suppressions=" + suppressions,
                }, locale_codec=codec, argument="ledger")

    def test_invalid_bytes_are_read_in_the_ansi_code_page_and_said(self):
        shared_log = os.path.join(self.root, "shared.log")
        settings = os.path.join(self.shared_root, "OvDefault.ini")
        with open(settings, "wb") as shared:
            # UTF-8 by its mark, with a comment added later in Shift_JIS.
            shared.write(b"\xef\xbb\xbf# \x95\x5c\n" + settings_text(shared_log).encode())
        result = self.start("帳簿", env_extra={"LC_ALL": "C.UTF-8"})
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr.decode().splitlines(),
                         [f"launcher: settings read in the ANSI code page: {settings}: "
                          "not UTF-8 after a UTF-8 byte-order mark"])
        self.assertEqual(self.read(shared_log).decode("utf-8"),
                         f"共有 AppRun: show=10 cmdline={self.app.launcher} 帳簿\n")

    def test_a_generated_file_that_cannot_be_rewritten_is_read_in_its_encoding(self):
        # Saved over by hand with a mark, in a log root the user cannot write: the start reads
        # it back rather than writing its own.
        folder = os.path.join(self.root, "ログ")
        os.makedirs(folder)
        os.chmod(folder, 0o777)
        log_file = os.path.join(folder, "a.log")
        properties = os.path.join(self.shared_root, "launcher.ini")
        with open(properties, "wb") as file:
            file.write(b"\xef\xbb\xbf" + settings_text(log_file).encode())
        for path in (properties, self.shared_root):
            os.chmod(path, 0o555)
        result = self.start("帳簿", prefix=as_unprivileged_user(),
                            env_extra={"LC_ALL": "C.UTF-8"})
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(os.listdir(self.shared_root), ["launcher.ini"])
        self.assertEqual(self.read(log_file).decode("utf-8"),
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
