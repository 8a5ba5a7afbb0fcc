"""Logging of the Windows launcher under Wine, as a user meets it, through the real log4cxx
beside it: the per-program properties file in the Wine user's documents folder and the daily
log that the run object writes through it, the shared settings file, a Japanese documents
folder in code page 932 (also under English formats), a documents folder at a drive's root or
spelt outside code page 932, documents and log folders that cannot be used, and many starts at
once.

Reads LAUNCHER_BIN_DIR and LAUNCHER_EMULATOR from the environment, as test_windows_e2e does.
The emulator's prefix must be one of this module's own: the cases point the Wine user's
documents folder elsewhere and take the user's profile folder away for a moment."""

import collections
import fcntl
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from test_windows_e2e import (BIN_DIR, ENGLISH_FORMATS, FIXTURE_DIR, EMULATOR, LAUNCHER,
                              RUN_OBJECT, Deployment, debug_strings, windows_path)

USER_SHELL_FOLDERS = ("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                      "User Shell Folders")
# What a new Wine prefix holds there: the documents folder inside the user's profile.
DEFAULT_PERSONAL = "%USERPROFILE%\\Documents"

# Starts run from C:\, inside the prefix: had a start without a documents folder taken the
# root of the current drive for the log root, what it wrote would still land in the prefix.
DRIVE_C = None
# Wine links a documents folder that it creates to the Unix home, and keeps menu files
# there: every start gets a home of the tests' own.
HOME = None
# Two runs of these cases against one prefix would move each other's folders: one waits.
LOCK = None
PROFILE = None            # the Wine user's profile folder, as (Windows path, Unix path)
DOCUMENTS = None          # the Wine user's documents folder, as (Windows path, Unix path)

PROPERTY_LINES = [
    ("log4j.rootLogger", "Info, ovAppender"),
    ("log4j.appender.ovAppender", "org.apache.log4j.RollingFileAppender"),
    ("log4j.appender.ovAppender.MaxFileSize", "5MB"),
    ("log4j.appender.ovAppender.MaxBackupIndex", "1"),
    ("log4j.appender.ovAppender.File", None),
    ("log4j.appender.ovAppender.layout", "org.apache.log4j.PatternLayout"),
    ("log4j.appender.ovAppender.layout.ConversionPattern",
     "%d{yyyy-MM-dd HH:mm:ss} [%5p] %l %M - %m%n"),
]
FILE_KEY = "log4j.appender.ovAppender.File"

# A line of the daily log: the pattern layout of the generated file, the run object's record.
RECORD = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \[ INFO\] \S+\(\d+\) \S+ - "
                    r"AppRun: show=10 cmdline=(.*)$")


def wine(*arguments, env_extra=None, cwd=None, wait=True):
    """Starts a Windows program through the emulator; arguments and environment go over as
    UTF-8, as from a shell in a Japanese UTF-8 locale."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["WINE_RUN_HOME"] = HOME
    env.update(env_extra or {})
    command = [part.encode("utf-8") for part in (*EMULATOR, *arguments)]
    if not wait:
        return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                env=env, cwd=cwd)
    return subprocess.run(command, capture_output=True, env=env, cwd=cwd, timeout=120)


def checked(result):
    if result.returncode != 0:
        raise RuntimeError("Wine command failed (%d): %r" % (result.returncode, result.stderr))
    return result.stdout


def unix_path(windows):
    return checked(wine("winepath", "-u", windows)).decode("utf-8").strip()


def set_documents_folder(value):
    """Points the Wine user's documents folder elsewhere, as a user who moves it does. The
    write is idempotent, so a `reg` that Wine let fail without a word is simply run again."""
    for _ in range(3):
        result = wine("reg", "add", USER_SHELL_FOLDERS, "/v", "Personal", "/t", "REG_EXPAND_SZ",
                      "/d", value, "/f")
        if result.returncode == 0:
            return
    checked(result)


def escaped(path):
    """A path as the properties file holds it, in code page 932: every separator doubled, a
    0x5C that is the second byte of a double-byte character left as it is."""
    return b"".join(b"\\\\" if char == "\\" else char.encode("cp932") for char in path)


def generated(log_root, program, stamp):
    """The properties file expected for a program, and the daily log it names (a Windows
    path)."""
    log_file = f"{log_root}\\{program}\\{program}.1.0.0Log_{stamp}.txt"
    text = b""
    for key, value in PROPERTY_LINES:
        if key == FILE_KEY:
            text += key.encode() + b" = " + escaped(log_file) + b"\r\n"
        else:
            text += f"{key} = {value}\r\n".encode()
    return text, log_file


class WineLoggingTestCase(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="launcher-wine-log-")
        self.addCleanup(shutil.rmtree, self.root)
        self.home = os.path.join(self.root, "home")
        os.mkdir(self.home)
        self.app = Deployment(self.root)
        # Nothing left from an earlier case: the log root and its parents are missing.
        for stale in (os.path.join(DOCUMENTS[1], "Orvane"), os.path.join(DRIVE_C, "Orvane")):
            shutil.rmtree(stale, ignore_errors=True)
        self.addCleanup(shutil.rmtree, os.path.join(DRIVE_C, "Orvane"), ignore_errors=True)

    def start(self, *arguments, launcher=None, wait=True, env_extra=None, trace=None):
        env = {"WINE_RUN_HOME": self.home}
        if trace:
            env["LAUNCHER_WINEDEBUG"] = trace
        env.update(env_extra or {})
        return wine(launcher or self.app.launcher, *arguments, env_extra=env, cwd=DRIVE_C,
                    wait=wait)

    def started(self, *arguments, **options):
        """start(), with today's date stamp as the start saw it."""
        before = time.strftime("%Y%m%d")
        result = self.start(*arguments, **options)
        if time.strftime("%Y%m%d") != before:
            self.skipTest("the date changed during the start")
        return result, before

    def records(self, log_file):
        """The command lines of the run object's records in a log file, which must hold
        nothing else; log4cxx writes UTF-8."""
        with open(log_file, "rb") as file:
            lines = file.read().decode("utf-8").splitlines()
        for line in lines:
            self.assertRegex(line, RECORD)
        return [RECORD.match(line).group(1) for line in lines]

    def command_line(self, *arguments, launcher=None):
        """The command line as the run object logs it."""
        return " ".join(['"%s"' % windows_path(launcher or self.app.launcher), *arguments])

    def read(self, path):
        with open(path, "rb") as file:
            return file.read()

    def assertRunObjectRan(self, result, status):
        self.assertEqual(result.returncode, status, result.stderr.decode(errors="replace"))
        self.assertTrue(result.stdout.startswith(b"AppRun: show=10 cmdline="), result.stdout)

    def use_documents_folder(self, windows):
        set_documents_folder(windows)
        self.addCleanup(set_documents_folder, DEFAULT_PERSONAL)


class PerProgramConfiguration(WineLoggingTestCase):
    def test_properties_file_and_daily_log_in_the_documents_folder(self):
        log_root = (DOCUMENTS[0] + "\\Orvane\\SystemLog",
                    os.path.join(DOCUMENTS[1], "Orvane", "SystemLog"))
        properties_file = os.path.join(log_root[1], "launcher.ini")

        result, stamp = self.started("--exit-code=5")
        self.assertRunObjectRan(result, 5)
        expected, log_file = generated(log_root[0], "launcher", stamp)
        self.assertEqual(self.read(properties_file).split(b"\r\n"), expected.split(b"\r\n"))
        self.assertEqual(sorted(os.listdir(log_root[1])), ["launcher", "launcher.ini"],
                         "no temporary file is left behind")
        self.assertEqual(self.records(unix_path(log_file)),
                         [self.command_line("--exit-code=5")])

        # The file is written afresh at every start, whatever it held; a second start of the
        # day appends to the same log.
        with open(properties_file, "wb") as edited:
            edited.write(b"log4j.rootLogger = Debug, ovAppender\r\n")
        again, stamp_again = self.started("again")
        self.assertRunObjectRan(again, 0)
        if stamp_again == stamp:
            self.assertEqual(self.read(properties_file), expected,
                             "byte-identical on the same day")
            self.assertEqual(self.records(unix_path(log_file)),
                             [self.command_line("--exit-code=5"), self.command_line("again")])

    def test_configured_before_the_run_object_even_when_it_cannot_be_created(self):
        deployment = Deployment(self.root, "without run object", run_object=False)
        result, stamp = self.started("--exit-code=7", launcher=deployment.launcher)
        self.assertEqual(result.returncode, 255, "activation failed")
        self.assertEqual(result.stdout, b"", "the run object never ran")
        _, log_file = generated(DOCUMENTS[0] + "\\Orvane\\SystemLog", "launcher", stamp)
        self.assertEqual(self.read(unix_path(log_file)), b"", "log4cxx opened the daily log")

    def test_a_planted_shell_folder_library_is_never_loaded(self):
        # A shfolder.dll beside the executable or in the start folder would answer for the
        # documents folder if the library were looked up by name. This one has no
        # SHGetFolderPathA, so loading it would leave the start without a log.
        planted = os.path.join(FIXTURE_DIR, "faulty_server_no_class_object.dll")
        for folder in (self.app.folder, DRIVE_C):
            target = os.path.join(folder, "shfolder.dll")
            shutil.copy2(planted, target)
            self.addCleanup(os.remove, target)
        # Wine prefers its own shfolder unless told to take a file found by the search order.
        result, _ = self.started(env_extra={"WINEDLLOVERRIDES": "shfolder=n,b"})
        self.assertRunObjectRan(result, 0)
        log_root = os.path.join(DOCUMENTS[1], "Orvane", "SystemLog")
        self.assertTrue(os.path.isfile(os.path.join(log_root, "launcher.ini")))
        self.assertFalse(os.path.exists(os.path.join(DRIVE_C, "Orvane")))


def shared_settings(log_file, pattern="shared %m%n"):
    """A user's settings file in code page 932 sending every record to one file."""
    return ("log4j.rootLogger=INFO, shared\r\n"
            "log4j.appender.shared=org.apache.log4j.FileAppender\r\n"
            "log4j.appender.shared.layout=org.apache.log4j.PatternLayout\r\n"
            f"log4j.appender.shared.layout.ConversionPattern={pattern}\r\n"
            ).encode("cp932") + b"log4j.appender.shared.File=" + escaped(log_file) + b"\r\n"


class SharedSettings(WineLoggingTestCase):
    """Anything named OvDefault.ini in the log root is the configuration, and nothing is
    written."""

    def test_settings_file(self):
        log_root = os.path.join(DOCUMENTS[1], "Orvane", "SystemLog")
        os.makedirs(log_root)
        shared_log = os.path.join(self.root, "shared.log")
        with open(os.path.join(log_root, "OvDefault.ini"), "wb") as settings:
            settings.write(shared_settings(windows_path(shared_log)))
        result = self.start("--exit-code=4")
        self.assertRunObjectRan(result, 4)
        self.assertEqual(os.listdir(log_root), ["OvDefault.ini"],
                         "no per-program file or folder")
        self.assertEqual(self.read(shared_log).decode("utf-8").splitlines(),
                         ["shared AppRun: show=10 cmdline=" + self.command_line("--exit-code=4")])

    def test_a_folder_of_that_name_counts_as_present(self):
        log_root = os.path.join(DOCUMENTS[1], "Orvane", "SystemLog")
        os.makedirs(os.path.join(log_root, "OvDefault.ini"))
        result = self.start("--exit-code=4")
        self.assertRunObjectRan(result, 4)
        self.assertEqual(os.listdir(log_root), ["OvDefault.ini"],
                         "no per-program file or folder")

    def test_a_self_referencing_variable_is_not_handed_to_log4cxx(self):
        log_root = os.path.join(DOCUMENTS[1], "Orvane", "SystemLog")
        os.makedirs(log_root)
        with open(os.path.join(log_root, "OvDefault.ini"), "wb") as settings:
            settings.write(b"log4j.rootLogger=${log4j.rootLogger}\r\n")
        result = self.start("--exit-code=4", trace="+debugstr")
        self.assertRunObjectRan(result, 4)
        self.assertTrue(any("logging not configured" in line
                            for line in debug_strings(result.stderr)), result.stderr)
        self.assertEqual(os.listdir(log_root), ["OvDefault.ini"],
                         "no per-program file or folder")


def settings_saved_as(log_file, codec, mark=b""):
    """A user's settings file as an editor saves it, sending every record to one file. It
    begins with a key, as a mark that is read for a character would be glued to it."""
    log_file = log_file.replace("\\", "\\\\")
    return mark + ("log4j.rootLogger=INFO, shared\r\n"
                   "# 共有の設定\r\n"
                   "log4j.appender.shared=org.apache.log4j.FileAppender\r\n"
                   f"log4j.appender.shared.File={log_file}\r\n"
                   "log4j.appender.shared.layout=org.apache.log4j.PatternLayout\r\n"
                   "log4j.appender.shared.layout.ConversionPattern=共有 %m%n\r\n").encode(codec)


class SettingsInTheEncodingTheyWereSavedIn(WineLoggingTestCase):
    """OvDefault.ini as Notepad saves it (UTF-8 with or without a mark; "Unicode", UTF-16 LE
    with one) and as the product's maker ships it (Shift_JIS), naming a folder whose name
    holds 0x5C second bytes in code page 932: the records land there."""

    SAVED_AS = {
        "UTF-8 with a mark": ("utf-8", b"\xef\xbb\xbf"),
        "UTF-8": ("utf-8", b""),
        "UTF-16 LE with a mark": ("utf-16-le", b"\xff\xfe"),
        "Shift_JIS": ("cp932", b""),
    }

    def setUp(self):
        super().setUp()
        self.log_root = os.path.join(DOCUMENTS[1], "Orvane", "SystemLog")
        os.makedirs(self.log_root)
        self.settings = os.path.join(self.log_root, "OvDefault.ini")
        self.shared_log = os.path.join(self.root, "表計算 ソフト", "ログ", "shared.log")

    def test_records_land_in_the_folder_named(self):
        for saved_as, (codec, mark) in self.SAVED_AS.items():
            with self.subTest(saved_as=saved_as):
                shutil.rmtree(os.path.join(self.root, "表計算 ソフト"), ignore_errors=True)
                with open(self.settings, "wb") as settings:
                    settings.write(settings_saved_as(windows_path(self.shared_log), codec, mark))
                result = self.start("帳簿")
                self.assertRunObjectRan(result, 0)
                self.assertEqual(os.listdir(self.log_root), ["OvDefault.ini"])
                self.assertEqual(self.read(self.shared_log).decode("utf-8").splitlines(),
                                 ["共有 AppRun: show=10 cmdline=" + self.command_line("帳簿")])

    def test_invalid_bytes_are_read_in_the_ansi_code_page_and_said(self):
        # UTF-8 by its mark, then saved over in Shift_JIS: read in code page 932 after all.
        with open(self.settings, "wb") as settings:
            settings.write(b"\xef\xbb\xbf" +
                           settings_saved_as(windows_path(self.shared_log), "cp932"))
        result = self.start("帳簿", trace="+debugstr")
        self.assertRunObjectRan(result, 0)
        said = ("launcher: settings read in the ANSI code page: " + DOCUMENTS[0] +
                "\\Orvane\\SystemLog\\OvDefault.ini: not UTF-8 after a UTF-8 byte-order mark")
        self.assertIn(said, [line.rstrip("\n") for line in debug_strings(result.stderr)])
        self.assertEqual(self.read(self.shared_log).decode("utf-8").splitlines(),
                         ["共有 AppRun: show=10 cmdline=" + self.command_line("帳簿")])


class JapaneseDocumentsFolder(WineLoggingTestCase):
    """表, ソ and 能 end in 0x5C in code page 932: the separator's byte inside a character."""

    def setUp(self):
        super().setUp()
        self.documents = os.path.join(self.root, "表計算 ソフト", "能率 文書")
        os.makedirs(self.documents)
        self.documents_windows = windows_path(self.documents)
        self.use_documents_folder(self.documents_windows)
        self.log_root = (self.documents_windows + "\\Orvane\\SystemLog",
                         os.path.join(self.documents, "Orvane", "SystemLog"))

    def test_daily_log_lands_at_the_path_meant(self):
        for program in ("launcher", "表ソ連携"):
            with self.subTest(program=program):
                launcher = self.app.launcher
                if program != "launcher":
                    launcher = os.path.join(self.app.folder, program + ".exe")
                    shutil.copy2(self.app.launcher, launcher)
                result, stamp = self.started("帳簿", "表示", launcher=launcher)
                self.assertRunObjectRan(result, 0)
                expected, log_file = generated(self.log_root[0], program, stamp)
                content = self.read(os.path.join(self.log_root[1], program + ".ini"))
                self.assertEqual(content.split(b"\r\n"), expected.split(b"\r\n"))
                self.assertIn("\\\\表計算 ソフト\\\\能率 文書\\\\".encode("cp932"), content,
                              "second bytes 0x5C stay single, separators are doubled")
                # Exactly there, and nowhere else: Japanese text readable, in UTF-8.
                self.assertEqual(
                    sorted(os.listdir(os.path.join(self.log_root[1], program))),
                    [f"{program}.1.0.0Log_{stamp}.txt"])
                self.assertEqual(
                    self.records(os.path.join(self.log_root[1], program,
                                              f"{program}.1.0.0Log_{stamp}.txt")),
                    [self.command_line("帳簿", "表示", launcher=launcher)])
                self.assertEqual(unix_path(log_file), os.path.join(
                    self.log_root[1], program, f"{program}.1.0.0Log_{stamp}.txt"))

    def test_english_formats_over_code_page_932(self):
        # The path is Shift_JIS whatever the user's formats; read as 1252 it named no folder.
        result, stamp = self.started("帳簿", env_extra=ENGLISH_FORMATS)
        self.assertRunObjectRan(result, 0)
        expected, _ = generated(self.log_root[0], "launcher", stamp)
        self.assertEqual(self.read(os.path.join(self.log_root[1], "launcher.ini")), expected)
        self.assertEqual(
            self.records(os.path.join(self.log_root[1], "launcher",
                                      f"launcher.1.0.0Log_{stamp}.txt")),
            [self.command_line("帳簿")])

    def test_shared_settings_file_with_a_japanese_log_path(self):
        os.makedirs(self.log_root[1])
        shared_log = os.path.join(self.root, "表計算 ソフト", "共有 能力", "ソフト.log")
        with open(os.path.join(self.log_root[1], "OvDefault.ini"), "wb") as settings:
            settings.write(shared_settings(windows_path(shared_log), pattern="共有 %m%n"))
        result = self.start("帳簿")
        self.assertRunObjectRan(result, 0)
        self.assertEqual(os.listdir(self.log_root[1]), ["OvDefault.ini"])
        self.assertEqual(self.read(shared_log).decode("utf-8").splitlines(),
                         ["共有 AppRun: show=10 cmdline=" + self.command_line("帳簿")])


class LoggingThatCannotBeSetUp(WineLoggingTestCase):
    """Whatever stands in the way of logging, the run object runs and its result stands."""

    def test_log_root_that_is_a_file(self):
        orvane = os.path.join(DOCUMENTS[1], "Orvane")
        os.makedirs(orvane)
        with open(os.path.join(orvane, "SystemLog"), "w") as file:
            file.write("in the way")
        result = self.start("--exit-code=7")
        self.assertRunObjectRan(result, 7)
        self.assertEqual(self.read(os.path.join(orvane, "SystemLog")), b"in the way")
        self.assertEqual(os.listdir(orvane), ["SystemLog"])

    def test_documents_folder_missing_is_created(self):
        # Its current path does not exist; the default path is created (Wine makes it a link
        # to the home folder).
        shutil.rmtree(DOCUMENTS[1])
        self.addCleanup(restore_documents_folder)
        result, stamp = self.started("--exit-code=6")
        self.assertRunObjectRan(result, 6)
        self.assertTrue(os.path.isdir(DOCUMENTS[1]))
        expected, log_file = generated(DOCUMENTS[0] + "\\Orvane\\SystemLog", "launcher", stamp)
        self.assertEqual(
            self.read(os.path.join(DOCUMENTS[1], "Orvane", "SystemLog", "launcher.ini")),
            expected)
        self.assertEqual(self.records(unix_path(log_file)), [self.command_line("--exit-code=6")])

    def test_documents_folder_moved_to_a_missing_place(self):
        # The current path comes first; where it does not exist, the default path serves and
        # the missing folder is not made.
        moved = os.path.join(self.root, "moved", "Documents")
        self.use_documents_folder(windows_path(moved))
        result, stamp = self.started("--exit-code=6")
        self.assertRunObjectRan(result, 6)
        _, log_file = generated(DOCUMENTS[0] + "\\Orvane\\SystemLog", "launcher", stamp)
        self.assertEqual(self.records(unix_path(log_file)), [self.command_line("--exit-code=6")])
        self.assertFalse(os.path.exists(os.path.join(self.root, "moved")))

    def test_documents_folder_that_cannot_be_found_or_made(self):
        # Neither the current path (a file stands where its parent should be) nor the default
        # path (the profile folder is a file for the moment) can be had. Another user planted
        # a settings file at the root of the drive: nothing there is read or written, and
        # the reason goes to the debugger's output.
        with open(os.path.join(self.root, "not a folder"), "w") as file:
            file.write("in the way")
        self.use_documents_folder(windows_path(os.path.join(self.root, "not a folder", "Docs")))
        planted_root = os.path.join(DRIVE_C, "Orvane", "SystemLog")
        os.makedirs(planted_root)
        taken = os.path.join(self.root, "taken.log")
        with open(os.path.join(planted_root, "OvDefault.ini"), "wb") as settings:
            settings.write(shared_settings(windows_path(taken)))
        aside = PROFILE[1] + ".set-aside-by-test"
        os.rename(PROFILE[1], aside)
        self.addCleanup(restore_profile)
        with open(PROFILE[1], "w") as file:
            file.write("in the way")

        result = self.start("--exit-code=-3", trace="+debugstr")
        restore_profile()
        self.assertRunObjectRan(result, 253)
        self.assertFalse(os.path.exists(taken), "the planted settings were read")
        self.assertEqual(os.listdir(planted_root), ["OvDefault.ini"])
        reasons = [line for line in debug_strings(result.stderr)
                   if line.startswith("launcher: logging not configured: ")]
        self.assertEqual(len(reasons), 1, result.stderr.decode(errors="replace"))


class RedirectedDocumentsFolders(WineLoggingTestCase):
    """Documents folders where companies redirect them, and names code page 932 lacks."""

    def assertLogsIn(self, documents_unix, documents_windows, arguments):
        """The start logs into the folder; `documents_windows` is the spelling expected in
        the properties file, or a function that checks the one found there."""
        result, stamp = self.started(*arguments)
        self.assertRunObjectRan(result, 0)
        log_root = os.path.join(documents_unix, "Orvane", "SystemLog")
        self.assertEqual(sorted(os.listdir(log_root)), ["launcher", "launcher.ini"])
        content = self.read(os.path.join(log_root, "launcher.ini"))
        if callable(documents_windows):
            spelt = re.search(rb"^log4j\.appender\.ovAppender\.File = (.*)\\\\Orvane\\\\",
                              content, re.MULTILINE).group(1).replace(b"\\\\", b"\\")
            documents_windows = documents_windows(spelt.decode("cp932")) + "\\"
        expected, log_file = generated(documents_windows + "Orvane\\SystemLog", "launcher",
                                       stamp)
        self.assertEqual(content, expected)
        daily = os.path.join(log_root, "launcher", f"launcher.1.0.0Log_{stamp}.txt")
        self.assertEqual(self.records(daily), [self.command_line(*arguments)])
        self.assertEqual(os.path.realpath(unix_path(log_file)), os.path.realpath(daily))

    def test_documents_folder_at_the_root_of_a_drive(self):
        # H:\ as a home drive: a letter of the prefix's own mapped to a folder of the test's.
        dosdevices = os.path.dirname(os.path.normpath(DRIVE_C))
        letter = next(letter for letter in "hijklmnopqrstuvwxy"
                      if not os.path.lexists(os.path.join(dosdevices, letter + ":")))
        drive = os.path.join(self.root, "home drive")
        os.mkdir(drive)
        os.symlink(drive, os.path.join(dosdevices, letter + ":"))
        self.addCleanup(os.remove, os.path.join(dosdevices, letter + ":"))
        root = letter.upper() + ":\\"
        self.use_documents_folder(root)
        self.assertLogsIn(drive, root, ["--exit-code=0"])

    def assertLogsInByShortName(self, documents):
        """The start logs into the folder by its short (8.3) name, plain ASCII."""
        self.use_documents_folder(windows_path(documents))
        def short_spelling(spelt):
            self.assertRegex(spelt, r"^[\x21-\x7e]+$", "plain ASCII, no \"?\"")
            self.assertIn("~", spelt)
            self.assertEqual(unix_path(spelt), documents)
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


class SimultaneousStarts(WineLoggingTestCase):
    COUNT = 16

    def test_many_starts_at_once(self):
        properties_file = os.path.join(DOCUMENTS[1], "Orvane", "SystemLog", "launcher.ini")
        seen = collections.Counter()
        done = threading.Event()

        def watch():
            while not done.is_set():
                try:
                    seen[self.read(properties_file)] += 1
                except (FileNotFoundError, NotADirectoryError):
                    pass

        watcher = threading.Thread(target=watch)
        stamp = time.strftime("%Y%m%d")
        watcher.start()
        try:
            starts = [self.start(f"--exit-code={n}", wait=False) for n in range(self.COUNT)]
            outcomes = [start.communicate(timeout=120) for start in starts]
        finally:
            done.set()
            watcher.join()
        if time.strftime("%Y%m%d") != stamp:
            self.skipTest("the date changed during the starts")

        self.assertEqual([start.returncode for start in starts],
                         [n % 256 for n in range(self.COUNT)],
                         [errors.decode(errors="replace") for _, errors in outcomes])
        for n, (output, _) in enumerate(outcomes):
            self.assertTrue(output.startswith(b"AppRun: show=10 cmdline="), output)
            self.assertTrue(output.rstrip().endswith(b" --exit-code=%d" % n), output)
        expected, log_file = generated(DOCUMENTS[0] + "\\Orvane\\SystemLog", "launcher",
                                       stamp)
        self.assertTrue(seen, "the watcher saw the file")
        torn = {content: count for content, count in seen.items() if content != expected}
        self.assertEqual(torn, {}, "the file is complete whenever it can be read (%d of %d "
                         "reads differed)" % (sum(torn.values()), sum(seen.values())))
        self.assertEqual(sorted(os.listdir(os.path.dirname(properties_file))),
                         ["launcher", "launcher.ini"], "no temporary file is left behind")
        records = self.records(unix_path(log_file))
        print(f"\n{len(records)} of {self.COUNT} records reached the daily log",
              file=sys.stderr)
        self.assertEqual(sorted(records),
                         sorted(self.command_line(f"--exit-code={n}") for n in range(self.COUNT)))


class AStoppedProcessHoldingTheLock(WineLoggingTestCase):
    HOLD = 40  # seconds: far longer than a start takes

    def test_a_start_neither_waits_for_it_nor_loses_its_record(self):
        # The day's file is full, so the record would roll it over; another process holds
        # the lock that a rollover takes (LockFileEx) and goes on no more. The start appends
        # without rolling over and ends while the lock is still held.
        stamp = time.strftime("%Y%m%d")
        _, log_file = generated(DOCUMENTS[0] + "\\Orvane\\SystemLog", "launcher", stamp)
        log_file = unix_path(log_file)
        os.makedirs(os.path.dirname(log_file))
        line = b"2026-01-01 00:00:00 [ INFO] earlier.cpp(1) Earlier - AppRun: show=10 cmdline=x\r\n"
        earlier = line * (5 * 1024 * 1024 // len(line) + 1)
        with open(log_file, "wb") as file:
            file.write(earlier)
        marker = os.path.join(self.root, "locked")
        holder = wine(os.path.join(BIN_DIR, "rolling_file_writer.exe"), "lock",
                      windows_path(log_file), windows_path(marker), str(self.HOLD), wait=False)
        self.addCleanup(holder.communicate, timeout=120)
        deadline = time.monotonic() + 60
        while not os.path.exists(marker) and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertTrue(os.path.exists(marker), "the lock was taken")

        result = self.start("--exit-code=6")
        self.assertRunObjectRan(result, 6)
        self.assertIsNone(holder.poll(), "the lock is still held")
        self.assertTrue(self.read(log_file).startswith(earlier))
        self.assertEqual(self.records(log_file)[-1], self.command_line("--exit-code=6"))
        self.assertFalse(os.path.exists(log_file + ".1"))


def restore_documents_folder():
    if os.path.islink(DOCUMENTS[1]):
        # Wine linked it to a home folder that outlives the case (wine-run's own for the
        # prefix): what the start wrote there would be found by the next run's case.
        shutil.rmtree(os.path.join(DOCUMENTS[1], "Orvane"), ignore_errors=True)
        os.remove(DOCUMENTS[1])
    os.makedirs(DOCUMENTS[1], exist_ok=True)


def restore_profile():
    aside = PROFILE[1] + ".set-aside-by-test"
    if os.path.exists(aside):
        if os.path.isfile(PROFILE[1]):
            os.remove(PROFILE[1])
        os.rename(aside, PROFILE[1])


def setUpModule():
    global DRIVE_C, HOME, LOCK, PROFILE, DOCUMENTS
    HOME = tempfile.mkdtemp(prefix="launcher-wine-log-home-")
    DRIVE_C = unix_path("C:\\")
    LOCK = open(os.path.join(DRIVE_C, "launcher-logging-tests.lock"), "w")
    fcntl.flock(LOCK, fcntl.LOCK_EX)
    # Starting from Wine's own setting, also after a run that was cut short.
    profile = checked(wine("cmd", "/c", "echo %USERPROFILE%", cwd=DRIVE_C))
    profile = profile.decode("cp932").strip()
    PROFILE = (profile, unix_path(profile))
    restore_profile()
    set_documents_folder(DEFAULT_PERSONAL)
    DOCUMENTS = (profile + "\\Documents", os.path.join(PROFILE[1], "Documents"))
    restore_documents_folder()
    assert os.path.isdir(DOCUMENTS[1]), DOCUMENTS
    assert os.path.exists(os.path.join(BIN_DIR, LAUNCHER))
    assert os.path.exists(os.path.join(BIN_DIR, RUN_OBJECT))


def tearDownModule():
    shutil.rmtree(HOME)
    LOCK.close()


if __name__ == "__main__":
    unittest.main()
