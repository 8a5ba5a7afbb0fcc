"""Logging set-up as a user meets it, through the real log4cxx: the per-program properties file
in the user's documents folder and the daily log the run object writes through it, the shared
settings file, Japanese documents folders (in code page 932 under Windows, in any locale under
Linux), documents folders redirected or spelt outside code page 932, documents and log folders
that cannot be used, many starts at once, processes crossing the size limit or holding the
lock, and what a hostile neighbour plants. The run object's result always stands."""

import os
import pwd
import re
import shutil
import subprocess
import tempfile
import threading
import time

from harness import (LINUX, MAX_FILE_SIZE, RECORD, RUN_OUTPUT, WINDOWS, LoggingScenario,
                     earlier_records, on, today, wait_for)


def as_unprivileged_user():
    """Root may write anywhere; these starts run as nobody so that permissions apply."""
    if os.geteuid() != 0:
        return []
    return ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]


class PerProgramConfiguration(LoggingScenario):
    def test_properties_file_and_daily_log(self):
        result = self.start("--exit-code=5")
        self.assertRunObjectRan(result, 5)
        if self.host.target == LINUX:
            self.assertEqual(result.stderr, b"", "log4cxx was configured without complaint")
        log_root = self.log_root()
        expected, log_file = self.expected(log_root)
        properties = os.path.join(log_root, "launcher.ini")
        self.assertEqual(self.read(properties), expected)
        self.assertEqual(sorted(os.listdir(log_root)), ["launcher", "launcher.ini"],
                         "no temporary file is left behind")
        self.assertEqual(self.records(log_file), [self.command_line("--exit-code=5")])

        first_day = self.days[-1]
        before = os.stat(properties)
        self.assertRunObjectRan(self.start("again"), 0)
        if self.days == [first_day]:
            # The file already held the right bytes, so it was neither rewritten nor replaced
            # (a rewrite gives it a new time stamp, a replacement a new inode); the second
            # start of the day appends to the same log.
            after = os.stat(properties)
            self.assertEqual((after.st_ino, after.st_mtime_ns),
                             (before.st_ino, before.st_mtime_ns))
            self.assertEqual(self.records(log_file), [self.command_line("--exit-code=5"),
                                                      self.command_line("again")])
        # Whatever the file holds otherwise, the next start writes it afresh.
        with open(properties, "wb") as edited:
            edited.write(b"log4j.rootLogger = Debug, ovAppender" + self.host.NEWLINE)
        self.assertRunObjectRan(self.start("third"), 0)
        expected, log_file = self.expected(log_root)
        self.assertEqual(self.read(properties), expected)
        self.assertEqual(self.records(log_file)[-1], self.command_line("third"))

    def test_configured_before_the_run_object_even_when_it_cannot_be_created(self):
        deployment = self.deploy("without run object", run_object=None)
        result = self.start("--exit-code=7", launcher=deployment.launcher)
        self.assertEqual(result.returncode, 255, "activation failed")
        self.assertEqual(result.stdout, b"", "the run object never ran")
        _, log_file = self.expected(self.log_root())
        self.assertEqual(self.read(log_file), b"", "log4cxx opened the daily log")

    @on(LINUX)
    def test_names_with_a_line_break_or_a_backslash(self):
        # A Linux file name may hold both; neither may break the properties file, and the log
        # must open at exactly the path that was meant. (A backslash in the program's own
        # name separates folders, as in every path, so it is tried in the folder.)
        documents = os.path.join(self.home, "back\\slash docs")
        os.makedirs(documents)
        self.host.use_documents_folder(self, documents)
        renamed = os.path.join(self.app.folder, "tax\nlink")
        os.rename(self.app.launcher, renamed)
        result = self.start(launcher=renamed)
        self.assertEqual(result.returncode, 0, result.stderr)
        log_root = self.log_root(documents)
        expected, log_file = self.expected(log_root, "tax\nlink")
        self.assertEqual(self.read(os.path.join(log_root, "tax\nlink.ini")), expected)
        # The record itself spans two lines, since the command line holds the line break.
        content = self.read(log_file).decode("utf-8")
        self.assertRegex(content, RECORD.pattern.rstrip("$").replace("(.*)", "") +
                         re.escape('"' + renamed + '"') + r"\n\Z")

    @on(LINUX)
    def test_home_variable_in_the_program_name_is_kept_literally(self):
        renamed = os.path.join(self.app.folder, "a${HOME}b")
        os.rename(self.app.launcher, renamed)
        result = self.start("x", launcher=renamed)
        self.assertEqual(result.returncode, 0, result.stderr)
        log_root = self.log_root()
        expected, log_file = self.expected(log_root, "a${HOME}b")
        self.assertEqual(self.read(os.path.join(log_root, "a${HOME}b.ini")), expected)
        self.assertEqual(self.records(log_file), [renamed + " x"])
        self.assertEqual(sorted(os.listdir(log_root)), ["a${HOME}b", "a${HOME}b.ini"])

    @on(WINDOWS)
    def test_a_planted_shell_folder_library_is_never_loaded(self):
        # A shfolder.dll beside the executable or in the start folder would answer for the
        # documents folder if the library were looked up by name. This one has no
        # SHGetFolderPathA, so loading it would leave the start without a log.
        planted = self.host.fixture("faulty_server_no_class_object")
        for folder in (self.app.folder, self.host.drive_c):
            target = os.path.join(folder, "shfolder.dll")
            shutil.copy2(planted, target)
            self.addCleanup(os.remove, target)
        # Wine prefers its own shfolder unless told to take a file found by the search order.
        result = self.start(env_extra={"WINEDLLOVERRIDES": "shfolder=n,b"})
        self.assertRunObjectRan(result, 0)
        self.assertTrue(os.path.isfile(os.path.join(self.log_root(), "launcher.ini")))
        self.assertFalse(os.path.exists(os.path.join(self.host.drive_c, "Orvane")))


class SharedSettings(LoggingScenario):
    """Anything named OvDefault.ini in the log root is the configuration, and nothing is
    written there."""

    def write_settings(self, text):
        os.makedirs(self.log_root(), exist_ok=True)
        with open(os.path.join(self.log_root(), "OvDefault.ini"), "wb") as settings:
            settings.write(text)

    def test_settings_file(self):
        shared_log = os.path.join(self.root, "shared.log")
        self.write_settings(self.host.shared_settings(shared_log))
        result = self.start("--exit-code=4")
        self.assertRunObjectRan(result, 4)
        self.assertEqual(os.listdir(self.log_root()), ["OvDefault.ini"],
                         "no per-program file or folder")
        self.assertEqual(self.read(shared_log).decode("utf-8").splitlines(),
                         ["shared " + RUN_OUTPUT + self.command_line("--exit-code=4")])

    def test_a_folder_of_that_name_counts_as_present(self):
        os.makedirs(os.path.join(self.log_root(), "OvDefault.ini"))
        result = self.start("--exit-code=6")
        self.assertRunObjectRan(result, 6)
        self.assertEqual(os.listdir(self.log_root()), ["OvDefault.ini"])

    def test_a_cyclic_reference_leaves_log4cxx_unconfigured(self):
        cases = {
            "itself": "log4j.rootLogger=${log4j.rootLogger}\n",
            "through another": "log4j.rootLogger=${a}\na=INFO${b}\nb=${a}\n",
            "growing without bound": "log4j.rootLogger=${v0}\n" + "".join(
                f"v{n}=${{v{n + 1}}}${{v{n + 1}}}\n" for n in range(40)) + "v40=xx\n",
        }
        for name, text in cases.items():
            with self.subTest(name):
                self.write_settings(text.encode().replace(b"\n", self.host.NEWLINE))
                result = self.start("--exit-code=4", trace=self.host.diagnostic_trace)
                self.assertRunObjectRan(result, 4)
                # One line of ours says why; log4cxx's own complaints about the missing
                # configuration may follow when the run object logs.
                ours = [line for line in self.host.diagnostics(result)
                        if not line.startswith("log4cxx: ")]
                self.assertEqual(len(ours), 1, result.stderr)
                self.assertIn("logging not configured", ours[0])
                self.assertIn("OvDefault.ini", ours[0])
                self.assertEqual(os.listdir(self.log_root()), ["OvDefault.ini"])


class JapaneseDocumentsFolder(LoggingScenario):
    """表, ソ and 能 end in 0x5C in code page 932: the separator's byte inside a character."""

    def setUp(self):
        super().setUp()
        self.documents = os.path.join(self.home, "表計算 ソフト", "能率 文書")
        os.makedirs(self.documents)
        self.host.use_documents_folder(self, self.documents)
        self.japanese_log_root = self.log_root(self.documents)

    def test_daily_log_lands_at_the_path_meant(self):
        for program in ("launcher", "表ソ連携"):
            with self.subTest(program=program):
                launcher = os.path.join(self.app.folder, self.host.program_file(program))
                if program != "launcher":
                    shutil.copy2(self.app.launcher, launcher)
                result = self.start("帳簿", "表示", launcher=launcher)
                self.assertRunObjectRan(result, 0)
                expected, log_file = self.expected(self.japanese_log_root, program)
                content = self.read(os.path.join(self.japanese_log_root, program + ".ini"))
                self.assertEqual(content, expected)
                folders = self.host.SEPARATOR.join(["", "表計算 ソフト", "能率 文書", ""])
                self.assertIn(self.host.escaped(folders), content,
                              "second bytes 0x5C stay single, separators are doubled")
                # Exactly there, and nowhere else: Japanese text readable, in UTF-8.
                self.assertEqual(os.listdir(os.path.dirname(log_file)),
                                 [os.path.basename(log_file)])
                self.assertEqual(self.records(log_file),
                                 [self.command_line("帳簿", "表示", launcher=launcher)])
                # The path the file names is that file.
                day = log_file[-len("YYYYMMDD.txt"):-len(".txt")]
                _, named = self.host.properties(self.host.shown(self.japanese_log_root),
                                                program, day)
                self.assertEqual(self.host.unix_path(named), log_file)
        self.assertFalse(os.path.exists(os.path.join(self.host.documents(self), "Orvane")))

    def test_shared_settings_file_with_a_japanese_log_path(self):
        os.makedirs(self.japanese_log_root)
        shared_log = os.path.join(self.root, "表計算 ソフト", "共有 能力", "ソフト.log")
        with open(os.path.join(self.japanese_log_root, "OvDefault.ini"), "wb") as settings:
            settings.write(self.host.shared_settings(shared_log, pattern="共有 %m%n",
                                                     comment="# 共有の設定"))
        result = self.start("帳簿")
        self.assertRunObjectRan(result, 0)
        self.assertEqual(os.listdir(self.japanese_log_root), ["OvDefault.ini"])
        self.assertEqual(self.read(shared_log).decode("utf-8").splitlines(),
                         ["共有 " + RUN_OUTPUT + self.command_line("帳簿")])

    @on(WINDOWS)
    def test_english_formats_over_code_page_932(self):
        # The path is Shift_JIS whatever the user's formats; read as 1252 it named no folder.
        result = self.start("帳簿", env_extra=self.host.ENGLISH_FORMATS)
        self.assertRunObjectRan(result, 0)
        expected, log_file = self.expected(self.japanese_log_root)
        self.assertEqual(self.read(os.path.join(self.japanese_log_root, "launcher.ini")),
                         expected)
        self.assertEqual(self.records(log_file), [self.command_line("帳簿")])


@on(LINUX)
class JapaneseTextInAnyLocale(LoggingScenario):
    """Log files are UTF-8 and log paths are the bytes the launcher meant, whatever the locale:
    a plain C locale counts as UTF-8."""

    LOCALES = ("C.UTF-8", "ja_JP.UTF-8", "C", "POSIX")

    def use_japanese_documents_folder(self):
        documents = os.path.join(self.home, "ドキュメント")
        os.makedirs(documents)
        self.host.use_documents_folder(self, documents)
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
                expected, log_file = self.expected(log_root)
                self.assertEqual(sorted(os.listdir(self.home)), [".config", "ドキュメント"])
                self.assertEqual(sorted(os.listdir(log_root)), ["launcher", "launcher.ini"])
                self.assertEqual(self.read(os.path.join(log_root, "launcher.ini")), expected)
                self.assertEqual(self.records(log_file), [self.command_line("帳簿", "表示")])

    def test_shared_settings_file(self):
        log_root = self.log_root(self.use_japanese_documents_folder())
        os.makedirs(log_root)
        shared_log = os.path.join(self.root, "共有", "表示.log")
        with open(os.path.join(log_root, "OvDefault.ini"), "wb") as shared:
            shared.write(self.host.shared_settings(shared_log, pattern="共有 %m%n",
                                                   comment="# 共有の設定"))
        for locale in self.LOCALES:
            with self.subTest(locale=locale):
                shutil.rmtree(os.path.dirname(shared_log), ignore_errors=True)
                result = self.start("帳簿", env_extra={"LC_ALL": locale})
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stderr, b"", "log4cxx read the file")
                self.assertEqual(os.listdir(log_root), ["OvDefault.ini"])
                self.assertEqual(self.read(shared_log).decode("utf-8"),
                                 f"共有 AppRun: show=10 cmdline={self.app.launcher} 帳簿\n")


# How editors save a settings file: the codec, and the byte-order mark written before it.
# log4cxx from 1.2 on, built for UTF-8, names and fills files in UTF-8 in any locale.
LOG4CXX_NAMES_IN_UTF8 = tuple(
    int(part) for part in (os.environ.get("LAUNCHER_LOG4CXX_VERSION") or "1.0").split(".")[:2]
) >= (1, 2)

SAVED_AS = {
    "UTF-8 with a mark": ("utf-8", b"\xef\xbb\xbf"),
    "UTF-8": ("utf-8", b""),
    "UTF-16 LE with a mark": ("utf-16-le", b"\xff\xfe"),
    "Shift_JIS": ("cp932", b""),
}


class SettingsInTheEncodingTheyWereSavedIn(LoggingScenario):
    """OvDefault.ini as editors save it (UTF-8 with or without a mark, UTF-16 LE with one, and
    Shift_JIS, as the product's maker ships it), naming a folder whose name holds 0x5C second
    bytes in code page 932: the records land there. A file whose bytes its encoding does not
    read is read in the ANSI code page and says so."""

    def setUp(self):
        super().setUp()
        os.makedirs(self.log_root())
        self.settings = os.path.join(self.log_root(), "OvDefault.ini")
        self.shared_log = os.path.join(self.root, "表計算 ソフト", "ログ", "shared.log")

    def settings_text(self, log_file, codec, mark=b"", first_line=b""):
        """A user's settings file sending every record to one file, saved in `codec` after
        `mark`. It begins with a key, as a mark that is read for a character would be glued
        to it."""
        shown = self.host.shown(log_file).replace("\\", "\\\\")
        text = ("log4j.rootLogger=INFO, shared\n"
                "# 共有の設定\n"
                "log4j.appender.shared=org.apache.log4j.FileAppender\n"
                f"log4j.appender.shared.File={shown}\n"
                "log4j.appender.shared.layout=org.apache.log4j.PatternLayout\n"
                "log4j.appender.shared.layout.ConversionPattern=共有 %m%n\n")
        newline = self.host.NEWLINE.decode()
        return mark + first_line + text.replace("\n", newline).encode(codec)

    def assertLogsIn(self, log_file, text, argument="帳簿", env_extra=None, codec="utf-8"):
        """Records land in `log_file` (its name as the file system holds it) through the
        settings file `text`; log4cxx writes in `codec` where the settings name none."""
        shutil.rmtree(os.path.dirname(log_file), ignore_errors=True)
        with open(self.settings, "wb") as settings:
            settings.write(text)
        result = self.start(argument, env_extra=env_extra)
        self.assertRunObjectRan(result, 0)
        if self.host.target == LINUX:
            self.assertEqual(result.stderr, b"", "log4cxx read the file without complaint")
        self.assertEqual(os.listdir(self.log_root()), ["OvDefault.ini"])
        self.assertEqual(self.read(log_file).decode(codec).splitlines(),
                         ["共有 " + RUN_OUTPUT + self.command_line(argument)])

    def test_records_land_in_the_folder_named(self):
        for saved_as, (codec, mark) in SAVED_AS.items():
            with self.subTest(saved_as=saved_as):
                self.assertLogsIn(self.shared_log,
                                  self.settings_text(self.shared_log, codec, mark))

    @on(LINUX)
    def test_in_any_locale(self):
        for locale in JapaneseTextInAnyLocale.LOCALES:
            for saved_as, (codec, mark) in SAVED_AS.items():
                # Shift_JIS is not UTF-8: read in code page 932 where the locale is UTF-8.
                if saved_as == "Shift_JIS" and not locale.endswith(".UTF-8"):
                    continue
                with self.subTest(saved_as=saved_as, locale=locale):
                    self.assertLogsIn(self.shared_log,
                                      self.settings_text(self.shared_log, codec, mark),
                                      env_extra={"LC_ALL": locale})

    @on(LINUX)
    def test_the_locales_own_code_set(self):
        locales = tempfile.mkdtemp(prefix="launcher-locales-")
        self.addCleanup(shutil.rmtree, locales)
        # glibc's newlocale keeps the list it builds from LOCPATH: the sanitizer build's leak
        # checker is told so (as in the hostile-start scenarios).
        suppressions = os.path.join(locales, "lsan.supp")
        with open(suppressions, "w") as file:
            file.write("leak:argz_add_sep\n")
        for locale, charmap, codec in (("ja_JP.SJIS", "SHIFT_JIS", "cp932"),
                                       ("ja_JP.eucJP", "EUC-JP", "euc_jp")):
            subprocess.run(["localedef", "--no-warnings=ascii", "-i", "ja_JP", "-f", charmap,
                            os.path.join(locales, locale)], check=True, capture_output=True)
            with self.subTest(locale=locale):
                # The folder is named in the locale's code set, as the file names it, and so
                # are file names and records to log4cxx 1.0; log4cxx from 1.2 on, built for
                # UTF-8 as it is by default, names and fills every file in UTF-8 whatever the
                # locale. The sample run object hands log4cxx its message in UTF-8, which
                # log4cxx 1.0 takes for the locale's code set: the argument stays ASCII.
                written = "utf-8" if LOG4CXX_NAMES_IN_UTF8 else codec
                log_file = os.path.join(self.home, "ログ", "shared.log")
                named = os.path.join(self.home.encode(), "ログ".encode(written), b"shared.log")
                self.assertLogsIn(named, self.settings_text(log_file, codec), argument="ledger",
                                  env_extra={
                                      "LOCPATH": locales, "LC_ALL": locale,
                                      "LSAN_OPTIONS": "print_suppressions=0:suppressions=" +
                                                      suppressions,
                                  }, codec=written)

    def test_invalid_bytes_are_read_in_the_ansi_code_page_and_said(self):
        # UTF-8 by its mark, with a comment added later in Shift_JIS.
        with open(self.settings, "wb") as settings:
            settings.write(self.settings_text(self.shared_log, self.host.CODE_SET,
                                              mark=b"\xef\xbb\xbf",
                                              first_line=b"# \x95\x5c" + self.host.NEWLINE))
        result = self.start("帳簿", trace=self.host.diagnostic_trace)
        self.assertRunObjectRan(result, 0)
        said = (f"launcher: settings read in the ANSI code page: {self.host.shown(self.settings)}"
                ": not UTF-8 after a UTF-8 byte-order mark")
        self.assertEqual([line.rstrip("\n") for line in self.host.diagnostics(result)], [said])
        self.assertEqual(self.read(self.shared_log).decode("utf-8").splitlines(),
                         ["共有 " + RUN_OUTPUT + self.command_line("帳簿")])

    @on(LINUX)
    def test_a_generated_file_that_cannot_be_rewritten_is_read_in_its_encoding(self):
        # Saved over by hand with a mark, in a log root the user cannot write: the start reads
        # it back rather than writing its own.
        folder = os.path.join(self.root, "ログ")
        os.makedirs(folder)
        os.chmod(folder, 0o777)
        log_file = os.path.join(folder, "a.log")
        properties = os.path.join(self.log_root(), "launcher.ini")
        with open(properties, "wb") as file:
            file.write(self.settings_text(log_file, "utf-8", mark=b"\xef\xbb\xbf"))
        for path in (properties, self.log_root()):
            os.chmod(path, 0o555)
        result = self.start("帳簿", prefix=as_unprivileged_user())
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(os.listdir(self.log_root()), ["launcher.ini"])
        self.assertEqual(self.read(log_file).decode("utf-8").splitlines(),
                         ["共有 " + RUN_OUTPUT + self.command_line("帳簿")])


class LoggingThatCannotBeSetUp(LoggingScenario):
    """Whatever stands in the way of logging, the run object runs and its result stands."""

    def test_log_root_that_is_a_file(self):
        orvane = os.path.dirname(self.log_root())
        os.makedirs(orvane)
        with open(self.log_root(), "w") as file:
            file.write("in the way")
        self.assertRunObjectRan(self.start("--exit-code=7"), 7)
        self.assertEqual(self.read(self.log_root()), b"in the way")
        self.assertEqual(os.listdir(orvane), ["SystemLog"])

    @on(LINUX)
    def test_unwritable_log_root(self):
        log_root = self.log_root()
        os.makedirs(log_root)
        for folder in (self.home, self.documents(), log_root):
            os.chmod(folder, 0o555)
        self.assertRunObjectRan(self.start("--exit-code=8", prefix=as_unprivileged_user()), 8)
        self.assertEqual(os.listdir(log_root), [])

    def test_documents_folder_that_cannot_be_found_or_made(self):
        # The reason goes where a person finds it (the error stream; under Windows the
        # debugger's output), and nothing is looked for at the root instead.
        options, check = getattr(self, "take_documents_folder_away_on_" + self.host.target)()
        result = self.start("--exit-code=-3", trace=self.host.diagnostic_trace, **options)
        self.assertRunObjectRan(result, 253)
        reasons = [line for line in self.host.diagnostics(result)
                   if line.startswith("launcher: logging not configured: ")]
        self.assertEqual(len(reasons), 1, result.stderr.decode(errors="replace"))
        check(reasons[0])

    def take_documents_folder_away_on_linux(self):
        # A home that cannot be written, without a Documents folder.
        os.chmod(self.home, 0o555)

        def check(reason):
            self.assertEqual(os.listdir(self.home), [])
            self.assertTrue(reason.endswith(self.documents()) or
                            (self.documents() + " ") in reason or
                            (self.documents() + ":") in reason, reason)
        return {"prefix": as_unprivileged_user()}, check

    def take_documents_folder_away_on_windows(self):
        # Neither the current path (a file stands where its parent should be) nor the default
        # path (the profile folder is a file for the moment) can be had. Another user planted
        # a settings file at the root of the drive: nothing there is read or written.
        host = self.host
        with open(os.path.join(self.root, "not a folder"), "w") as file:
            file.write("in the way")
        host.use_documents_folder(self, os.path.join(self.root, "not a folder", "Docs"))
        planted_root = os.path.join(host.drive_c, "Orvane", "SystemLog")
        os.makedirs(planted_root)
        taken = os.path.join(self.root, "taken.log")
        with open(os.path.join(planted_root, "OvDefault.ini"), "wb") as settings:
            settings.write(host.shared_settings(taken))
        os.rename(host.profile[1], host.profile[1] + ".set-aside-by-test")
        self.addCleanup(host.restore_profile)
        with open(host.profile[1], "w") as file:
            file.write("in the way")

        def check(_):
            host.restore_profile()
            self.assertFalse(os.path.exists(taken), "the planted settings were read")
            self.assertEqual(os.listdir(planted_root), ["OvDefault.ini"])
        return {}, check

    @on(WINDOWS)
    def test_documents_folder_missing_is_created(self):
        # Its current path does not exist; the default path is created (Wine makes it a link
        # to the home folder).
        shutil.rmtree(self.documents())
        self.addCleanup(self.host.restore_documents_folder)
        result = self.start("--exit-code=6")
        self.assertRunObjectRan(result, 6)
        self.assertTrue(os.path.isdir(self.documents()))
        expected, log_file = self.expected(self.log_root())
        self.assertEqual(self.read(os.path.join(self.log_root(), "launcher.ini")), expected)
        self.assertEqual(self.records(log_file), [self.command_line("--exit-code=6")])

    @on(WINDOWS)
    def test_documents_folder_moved_to_a_missing_place(self):
        # The current path comes first; where it does not exist, the default path serves and
        # the missing folder is not made. One line says what was asked and what was used.
        self.host.use_documents_folder(self, os.path.join(self.root, "moved", "Documents"))
        result = self.start("--exit-code=6", trace=self.host.diagnostic_trace)
        self.assertRunObjectRan(result, 6)
        _, log_file = self.expected(self.log_root())
        self.assertEqual(self.records(log_file), [self.command_line("--exit-code=6")])
        self.assertFalse(os.path.exists(os.path.join(self.root, "moved")))
        self.assertEqual(
            [line for line in self.host.diagnostics(result) if line.startswith("launcher: ")],
            ["launcher: the documents folder's current path cannot be had "
             "(SHGetFolderPathA: 0x80070002); using its default path " +
             self.host.default_documents[0] + "\n"])


@on(WINDOWS)
class RedirectedDocumentsFolders(LoggingScenario):
    """Documents folders where companies redirect them, and names code page 932 lacks."""

    def assertLogsIn(self, documents_unix, documents_windows, arguments):
        """The start logs into the folder; `documents_windows` is the spelling expected in
        the properties file, or a function that checks the one found there."""
        result = self.start(*arguments)
        self.assertRunObjectRan(result, 0)
        log_root = self.log_root(documents_unix)
        self.assertEqual(sorted(os.listdir(log_root)), ["launcher", "launcher.ini"])
        content = self.read(os.path.join(log_root, "launcher.ini"))
        if callable(documents_windows):
            spelt = re.search(rb"^log4j\.appender\.ovAppender\.File = (.*)\\\\Orvane\\\\",
                              content, re.MULTILINE).group(1).replace(b"\\\\", b"\\")
            documents_windows = documents_windows(spelt.decode("cp932")) + "\\"
        stamp = self.days[-1]
        expected, log_file = self.host.properties(documents_windows + "Orvane\\SystemLog",
                                                  "launcher", stamp)
        self.assertEqual(content, expected)
        daily = os.path.join(log_root, "launcher", f"launcher.1.0.0Log_{stamp}.txt")
        self.assertEqual(self.records(daily), [self.command_line(*arguments)])
        self.assertEqual(os.path.realpath(self.host.unix_path(log_file)), os.path.realpath(daily))

    def test_documents_folder_at_the_root_of_a_drive(self):
        # H:\ as a home drive: a letter of the prefix's own mapped to a folder of the test's.
        dosdevices = os.path.dirname(os.path.normpath(self.host.drive_c))
        letter = next(letter for letter in "hijklmnopqrstuvwxy"
                      if not os.path.lexists(os.path.join(dosdevices, letter + ":")))
        drive = os.path.join(self.root, "home drive")
        os.mkdir(drive)
        os.symlink(drive, os.path.join(dosdevices, letter + ":"))
        self.addCleanup(os.remove, os.path.join(dosdevices, letter + ":"))
        root = letter.upper() + ":\\"
        self.host.use_documents_folder(self, root)
        self.assertLogsIn(drive, root, ["--exit-code=0"])

    def assertLogsInByShortName(self, documents):
        """The start logs into the folder by its short (8.3) name, plain ASCII."""
        self.host.use_documents_folder(self, documents)

        def short_spelling(spelt):
            self.assertRegex(spelt, r"^[\x21-\x7e]+$", "plain ASCII, no \"?\"")
            self.assertIn("~", spelt)
            self.assertEqual(self.host.unix_path(spelt), documents)
            return spelt

        self.assertLogsIn(documents, short_spelling, ["帳簿"])

    def test_documents_folder_that_code_page_932_cannot_spell(self):
        # A profile folder named after its user in Hangul.
        documents = os.path.join(self.root, "한국 사용자", "문서")
        os.makedirs(documents)
        self.assertLogsInByShortName(documents)

    def test_documents_folder_that_best_fit_would_spell_as_another(self):
        # Code page 932 lacks é and U+00A5; a best-fit spelling (Cafe, a backslash) names
        # another folder, which need not be the user's. Nothing is made beside the folder.
        for name in ("Café", "¥100"):
            with self.subTest(name):
                parent = os.path.join(self.root, "profiles-" + str(ord(name[-1])))
                documents = os.path.join(parent, name)
                os.makedirs(documents)
                self.assertLogsInByShortName(documents)
                self.assertEqual(os.listdir(parent), [name])


class SimultaneousStarts(LoggingScenario):
    COUNT = 16

    def test_sixteen_starts_at_once(self):
        properties = os.path.join(self.log_root(), "launcher.ini")
        seen = []
        done = threading.Event()

        def watch():
            while not done.is_set():
                try:
                    seen.append(self.read(properties))
                except (FileNotFoundError, NotADirectoryError):
                    pass

        watcher = threading.Thread(target=watch)
        first = today()
        watcher.start()
        try:
            starts = [self.start(f"--exit-code={n}", wait=False) for n in range(self.COUNT)]
            outcomes = [start.communicate(timeout=120) for start in starts]
        finally:
            done.set()
            watcher.join()
        # The days the starts may have seen: two when midnight passed meanwhile.
        expected = [self.generated(self.log_root(), "launcher", day)
                    for day in sorted({first, today()})]

        self.assertEqual([start.returncode for start in starts], list(range(self.COUNT)),
                         [errors.decode(errors="replace") for _, errors in outcomes])
        for n, (output, _) in enumerate(outcomes):
            self.assertTrue(output.startswith(RUN_OUTPUT.encode()), output)
            self.assertTrue(output.rstrip().endswith(b" --exit-code=%d" % n), output)
        self.assertTrue(seen, "the watcher saw the file")
        torn = [content for content in seen if content not in {text for text, _ in expected}]
        self.assertEqual(torn, [], "the file is complete whenever it can be read (%d of %d "
                         "reads differed)" % (len(torn), len(seen)))
        self.assertEqual(sorted(os.listdir(self.log_root())), ["launcher", "launcher.ini"],
                         "no temporary file is left behind")
        records = [record for _, log_file in expected if os.path.exists(log_file)
                   for record in self.records(log_file)]
        self.assertEqual(sorted(records),
                         sorted(self.command_line(f"--exit-code={n}") for n in range(self.COUNT)))


class LogBurstScenario(LoggingScenario):
    """The run object is the sample with many records in place of its one line."""

    def setUp(self):
        super().setUp()
        shutil.copy2(self.host.fixture("log_burst_server"), self.app.run_object_path)

    def fill_the_days_file(self, size):
        log_file = self.log_file()
        os.makedirs(os.path.dirname(log_file), exist_ok=True)
        for old in (log_file, log_file + ".1"):
            if os.path.exists(old):
                os.remove(old)
        earlier = earlier_records(size)
        with open(log_file, "wb") as file:
            file.write(earlier)
        return earlier


class AStoppedProcessHoldingTheLock(LogBurstScenario):
    def test_a_start_neither_waits_for_it_nor_loses_a_record(self):
        # The day's file is full, so the first record would roll it over; the process that
        # holds the lock that a rollover takes goes on no more. The start appends without
        # rolling over and ends while the lock is still held.
        log_file = self.log_file()
        earlier = self.fill_the_days_file(MAX_FILE_SIZE)
        marker = os.path.join(self.root, "locked")
        holder = self.host.hold_lock(self, log_file, marker, 40)
        self.assertTrue(wait_for(marker), "the lock was taken")

        result = self.start("--records=3", "--tag=held", "--exit-code=6")
        self.assertEqual(result.returncode, 6, result.stderr.decode(errors="replace"))
        self.assertIsNone(holder.poll(), "the lock is still held")
        self.assertTrue(self.read(log_file).startswith(earlier))
        self.assertEqual(self.messages(log_file)[-3:], ["held 0", "held 1", "held 2"])
        self.assertFalse(os.path.exists(log_file + ".1"))


@on(LINUX)
class ProcessesCrossingTheRollover(LogBurstScenario):
    def kept(self):
        log_file = self.log_file()
        return self.messages(log_file + ".1") + self.messages(log_file)

    def test_two_long_lived_run_objects_keep_every_record(self):
        # 4 MiB logged earlier today, then two run objects at once log 15,000 records each
        # (about 1.5 MB apiece): the file is rolled over once, and the file with its one
        # backup still holds every record, the earlier ones included.
        earlier = self.fill_the_days_file(4 * 1024 * 1024)
        earlier_messages = self.messages(self.log_file())
        go = os.path.join(self.root, "go")
        records = 15000
        starts = [self.start(f"--wait-for={go}", f"--records={records}", f"--tag={tag}",
                             wait=False) for tag in ("first", "second")]
        time.sleep(0.5)
        open(go, "w").close()
        for start in starts:
            _, errors = start.communicate(timeout=300)
            self.assertEqual(start.returncode, 0, errors)

        self.assertTrue(self.read(self.log_file() + ".1").startswith(earlier),
                        "the backup holds the day's earlier records")
        self.assertEqual(sorted(self.kept()),
                         sorted(earlier_messages + [f"{tag} {n}" for tag in ("first", "second")
                                for n in range(records)]))

    def test_sixteen_starts_at_the_size_limit(self):
        # The day's file lacks 50 bytes of its limit: the first record fills it, the next
        # one rolls it over, once; every later record goes into the new file. Records are
        # appended without a lock, so every start that looked at the file before the first
        # record landed may add one record of its own before the rollover: at most 16.
        for round_number in range(5):
            with self.subTest(round=round_number):
                earlier = self.fill_the_days_file(MAX_FILE_SIZE - 50)
                starts = [self.start("--records=3", f"--tag=start{n}", f"--exit-code={n}",
                                     wait=False) for n in range(16)]
                for start in starts:
                    start.communicate(timeout=60)
                self.assertEqual([start.returncode for start in starts], list(range(16)))
                backup = self.read(self.log_file() + ".1")
                self.assertTrue(backup.startswith(earlier), "the day's backup is kept")
                self.assertIn(backup.count(b"\n") - earlier.count(b"\n"), range(1, 17),
                              "rolled over right after the records that filled the file")
                ours = [m for m in self.kept() if m.startswith("start")]
                self.assertEqual(sorted(ours),
                                 sorted(f"start{n} {r}" for n in range(16) for r in range(3)))


HANG = 20  # seconds: a start that waits on a FIFO never ends, one that does not takes far less


@on(LINUX)
class WhatANeighbourPlants(LoggingScenario):
    """FIFOs and links where files should be, a log root where nothing can be written."""

    def plant_victim(self):
        """The log root, and a file of someone else's that anybody may write."""
        log_root = self.log_root()
        os.makedirs(log_root)
        victim = os.path.join(self.root, "victim")
        with open(victim, "w") as file:
            file.write("precious")
        os.chmod(victim, 0o666)
        return log_root, victim

    def test_a_fifo_at_any_path_read_or_written_never_hangs_the_start(self):
        log_root = self.log_root()
        cases = {
            "generated properties file": os.path.join(log_root, "launcher.ini"),
            "user-dirs file": os.path.join(self.home, ".config", "user-dirs.dirs"),
            "daily log file": self.log_file(),
            "shared settings file": os.path.join(log_root, "OvDefault.ini"),
        }
        for name, fifo in cases.items():
            with self.subTest(name):
                os.makedirs(os.path.dirname(fifo), exist_ok=True)
                if os.path.exists(fifo):
                    os.remove(fifo)
                os.mkfifo(fifo)
                try:
                    result = self.start("--exit-code=9", timeout=HANG)
                finally:
                    os.remove(fifo)
                self.assertRunObjectRan(result, 9)

    def test_link_at_the_temporary_name_is_not_followed(self):
        # The temporary file's name used to be "<name>.ini.<pid>.tmp": a link planted there by
        # the process that is about to become the launcher catches a predictable write.
        log_root, victim = self.plant_victim()
        properties = os.path.join(log_root, "launcher.ini")

        def plant():
            os.symlink(victim, f"{properties}.{os.getpid()}.tmp")

        first = today()
        result = subprocess.run([self.app.launcher, "--exit-code=3"], capture_output=True,
                                env=self.host.environment(self.home), preexec_fn=plant,
                                timeout=60)
        self.days = sorted({first, today()})
        self.assertEqual(result.returncode, 3, result.stderr)
        self.assertEqual(self.read(victim), b"precious")
        self.assertEqual(self.read(properties), self.expected(log_root)[0])

    def test_writing_in_place_does_not_follow_a_link(self):
        # A log root where no new file can be made forces the write in place; the properties
        # file there is a link to someone else's file.
        log_root, victim = self.plant_victim()
        os.symlink(victim, os.path.join(log_root, "launcher.ini"))
        os.makedirs(os.path.join(log_root, "launcher"))
        os.chmod(log_root, 0o555)
        result = self.start("--exit-code=3", prefix=as_unprivileged_user())
        self.assertEqual(result.returncode, 3, result.stderr)
        self.assertEqual(self.read(victim), b"precious")

    def test_unwritable_log_root_costs_no_retry_sleep(self):
        log_root = self.log_root()
        os.makedirs(log_root)
        os.chmod(log_root, 0o555)
        trace = os.path.join(self.root, "trace")
        # The sanitizer build's leak check cannot run under a tracer.
        without_leak_check = {"ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "") +
                              ":detect_leaks=0"}
        result = self.start("--exit-code=5", env_extra=without_leak_check,
                            prefix=["strace", "-f", "-qq", "-e", "trace=nanosleep,clock_nanosleep",
                                    "-o", trace, *as_unprivileged_user()])
        self.assertEqual(result.returncode, 5, result.stderr)
        with open(trace) as calls:
            self.assertEqual([line for line in calls if "sleep" in line], [])

    def test_a_file_that_cannot_be_replaced_configures_log4cxx_as_it_says(self):
        # Yesterday's file, say, in a log root where nothing can be written: log4cxx gets
        # what the file says, and the file keeps its bytes.
        log_root = self.log_root()
        os.makedirs(log_root)
        elsewhere = os.path.join(self.root, "elsewhere")
        os.makedirs(elsewhere)
        os.chmod(elsewhere, 0o777)
        text, log_file = self.host.properties(log_root, "launcher", today())
        other_log = os.path.join(elsewhere, "other.txt")
        text = text.replace(log_file.encode(), other_log.encode())
        properties = os.path.join(log_root, "launcher.ini")
        with open(properties, "wb") as file:
            file.write(text)
        os.chmod(properties, 0o444)
        os.chmod(log_root, 0o555)
        result = self.start("x", prefix=as_unprivileged_user())
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read(properties), text)
        self.assertEqual(self.records(other_log), [self.app.launcher + " x"])
        self.assertEqual(os.listdir(log_root), ["launcher.ini"])


def uid_without_passwd_entry():
    for uid in range(40000, 60000):
        try:
            pwd.getpwuid(uid)
        except KeyError:
            return uid
    raise RuntimeError("every uid from 40000 to 59999 has a passwd entry")


def library_folders(*programs):
    """The folders that the dynamic loader takes the programs' libraries from."""
    folders = set()
    for program in programs:
        listing = subprocess.run(["ldd", program], capture_output=True, text=True, check=True)
        for path in re.findall(r"(/\S+)\s+\(0x", listing.stdout):
            folders.add(os.path.dirname(os.path.realpath(path)))
            folders.add(os.path.dirname(path))
    return sorted(folders)


@on(LINUX)
class NoDocumentsFolder(LoggingScenario):
    """A user with no home and no passwd entry has no documents folder. Anyone may make
    /Orvane, so nothing there may configure this user's logging."""

    # Shell script run in a mount namespace of the test's own: a root of the test's own, with
    # the system's folders bound in read-only, /proc and /dev/null; then the launcher as a user
    # without a passwd entry or HOME. $1 the new root, $2 the uid, $3... the command.
    IN_OWN_ROOT = r"""
        set -e
        root=$1 uid=$2; shift 2
        for folder in usr bin sbin lib lib32 lib64 libx32 etc $LIBRARY_FOLDERS; do
            [ -e "/$folder" ] || continue
            if [ -L "/$folder" ] && [ "${folder#*/}" = "$folder" ]; then
                ln -s "$(readlink "/$folder")" "$root/$folder"
                continue
            fi
            mkdir -p "$root/$folder"
            mount --bind "/$folder" "$root/$folder"
            mount -o remount,bind,ro "$root/$folder"
        done
        mkdir "$root/proc" "$root/dev"
        mount -t proc proc "$root/proc"
        touch "$root/dev/null"
        mount --bind /dev/null "$root/dev/null"
        exec chroot "$root" setpriv --reuid="$uid" --regid="$uid" --clear-groups \
            env -i PATH=/usr/bin:/bin LANG=C.UTF-8 ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} \
            "$@"
    """

    def test_a_planted_settings_file_at_the_root_is_never_read(self):
        self.assertEqual(os.geteuid(), 0, "a mount namespace of the test's own needs root")
        new_root = tempfile.mkdtemp(prefix="launcher-own-root-")
        self.addCleanup(self.remove_own_root, new_root)
        os.chmod(new_root, 0o755)
        os.mkdir(os.path.join(new_root, "app"))
        # With a log4cxx of the build's own beside it, as deployed.
        for name in os.listdir(self.app.folder):
            shutil.copy2(os.path.join(self.app.folder, name), os.path.join(new_root, "app"))
        # What another user planted: every record into a file of theirs.
        planted = os.path.join(new_root, "Orvane", "SystemLog")
        os.makedirs(planted)
        os.makedirs(os.path.join(new_root, "planter"), mode=0o777)
        os.chmod(os.path.join(new_root, "planter"), 0o777)
        with open(os.path.join(planted, "OvDefault.ini"), "w") as settings:
            settings.write("log4j.rootLogger=INFO, taken\n"
                           "log4j.appender.taken=org.apache.log4j.FileAppender\n"
                           "log4j.appender.taken.File=/planter/records.log\n"
                           "log4j.appender.taken.layout=org.apache.log4j.PatternLayout\n"
                           "log4j.appender.taken.layout.ConversionPattern=%m%n\n")

        env = {k: v for k, v in os.environ.items() if k.startswith("ASAN_")}
        env["PATH"] = os.environ.get("PATH", "/usr/bin:/bin")
        env["LIBRARY_FOLDERS"] = " ".join(
            folder.lstrip("/") for folder in library_folders(self.app.launcher)
            if not folder.startswith(("/usr/", "/lib")))
        uid = uid_without_passwd_entry()
        result = subprocess.run(
            ["unshare", "--mount", "--propagation", "private", "sh", "-c", self.IN_OWN_ROOT,
             "in-own-root", new_root, str(uid), "/app/launcher", "--exit-code=9", "帳簿"],
            capture_output=True, env=env, timeout=60)

        self.assertEqual(result.returncode, 9, result.stderr)
        self.assertEqual(result.stdout, "AppRun: show=10 cmdline=/app/launcher --exit-code=9 帳簿\n"
                         .encode())
        self.assertFalse(os.path.exists(os.path.join(new_root, "planter", "records.log")),
                         "the run object's records went into the planted file")
        self.assertEqual(os.listdir(planted), ["OvDefault.ini"])
        self.assertIn(b"logging not configured: no home folder", result.stderr)

    @staticmethod
    def remove_own_root(folder):
        # The namespace ended with the start; had a binding outlived it, removing the folder
        # would reach into the system's own, so it is then left where it is.
        for parent, folders, files in os.walk(folder):
            for name in folders + files:
                if os.path.ismount(os.path.join(parent, name)):
                    raise RuntimeError("still mounted, not removed: " + os.path.join(parent, name))
        shutil.rmtree(folder)

