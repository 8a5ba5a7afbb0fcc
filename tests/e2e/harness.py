"""One end-to-end harness for both targets. A host stands for the target of the run: LinuxHost
starts the Linux launcher as a Linux user does, WineHost the Windows launcher under Wine in a
Japanese locale. The host owns starting programs, the paths as the launcher spells them, the
user's documents folder, the helper programs and, under Wine, the prefix.

A scenario is a class derived from Scenario, written once; `on(...)` names its targets (both
when unmarked) or a case's. run_e2e.py makes each scenario a test case on the host of the run,
with only the cases for that host's target: a case for the other target is not there at all,
rather than skipped."""

import fcntl
import glob
import os
import re
import shlex
import shutil
import subprocess
import tempfile
import time
import unittest

from windows_command_line import split_windows_command_line

LINUX = "linux"
WINDOWS = "windows"

FATAL_MESSAGE = "AppRunオブジェクトの作成に失敗しました。\n処理を継続することができません。"
RUN_OUTPUT = "AppRun: show=10 cmdline="
# A line of the daily log: the generated file's pattern layout around the run object's record.
RECORD = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \[ INFO\] \S+\(\d+\) \S+ - "
                    r"AppRun: show=10 cmdline=(.*)$")
PROPERTIES_FIXTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir,
                                  "fixtures", "generated_properties.txt")
MAX_FILE_SIZE = 5 * 1024 * 1024  # the generated file's 5MB, as log4cxx reads it


def on(*targets):
    """Marks a scenario or a case as one for these targets only."""
    def mark(item):
        item.targets = frozenset(targets)
        return item
    return mark


def today():
    return time.strftime("%Y%m%d")


def earlier_records(size):
    """Records of the day logged before the test, in the file's own format, `size` bytes."""
    line = "2026-01-01 00:00:00 [ INFO] earlier.cpp(1) Earlier - earlier %07d\n"
    count = size // len(line % 0) - 1
    records = "".join(line % n for n in range(count))
    last = line % count
    return (records + last[:-1] + "x" * (size - len(records) - len(last)) + "\n").encode()


def wait_for(path, seconds=60):
    deadline = time.monotonic() + seconds
    while not os.path.exists(path) and time.monotonic() < deadline:
        time.sleep(0.02)
    return os.path.exists(path)


class Deployment:
    """A folder with a copy of the launcher, what it loads beside it and, unless `run_object`
    is None, a run object file: the sample's, or the file at that path."""

    def __init__(self, host, root, name="app", run_object=True, program=None,
                 dependent_assembly=True):
        self.folder = os.path.join(root, name)
        os.makedirs(self.folder)
        self.launcher = os.path.join(self.folder, host.program_file(program or "launcher"))
        shutil.copy2(host.built_launcher, self.launcher)
        for neighbour in host.launcher_neighbours(dependent_assembly):
            shutil.copy2(neighbour, self.folder)
        self.run_object_path = os.path.join(self.folder, host.RUN_OBJECT)
        if run_object is True:
            run_object = os.path.join(host.bin_dir, host.RUN_OBJECT)
        if run_object:
            shutil.copy2(run_object, self.run_object_path)


class Host:
    """What both targets share; the subclasses say how each target does the rest."""

    def __init__(self, environment):
        self.bin_dir = environment["LAUNCHER_BIN_DIR"]
        self.fixture_dir = environment.get("LAUNCHER_FIXTURE_DIR")
        self.built_launcher = os.path.join(self.bin_dir, self.program_file("launcher"))
        with open(PROPERTIES_FIXTURE, "rb") as fixture:
            self.properties_fixture = fixture.read()

    def __enter__(self):
        return self

    def __exit__(self, *_):
        return False

    def fixture(self, name):
        """A run object file built from tests/e2e/fixtures."""
        return os.path.join(self.fixture_dir, name + self.LIBRARY_SUFFIX)

    def properties(self, log_root, program, stamp):
        """The properties file the launcher generates for `program` under `log_root` (as the
        launcher spells it), and the daily log it names, also spelt so."""
        log_file = self.SEPARATOR.join([log_root, program, f"{program}.1.0.0Log_{stamp}.txt"])
        text = self.properties_fixture.replace(b"\n", self.NEWLINE)
        return text.replace(b"{LOG_FILE}", self.escaped(log_file)), log_file

    def shared_settings(self, log_file, pattern="shared %m%n", comment=""):
        """A user's settings file sending every record to one file, in the target's code set."""
        lines = [comment, "log4j.rootLogger=INFO, shared",
                 "log4j.appender.shared=org.apache.log4j.FileAppender",
                 "log4j.appender.shared.layout=org.apache.log4j.PatternLayout",
                 f"log4j.appender.shared.layout.ConversionPattern={pattern}"]
        text = "".join(line + "\n" for line in lines if line)
        return (text.encode(self.CODE_SET).replace(b"\n", self.NEWLINE) +
                b"log4j.appender.shared.File=" + self.escaped(self.shown(log_file)) +
                self.NEWLINE)


class LinuxHost(Host):
    target = LINUX
    RUN_OBJECT = "OvTaxLinkRun.so"
    LIBRARY_SUFFIX = ".so"
    SEPARATOR = "/"
    NEWLINE = b"\n"
    CODE_SET = "utf-8"
    fatal_trace = None
    diagnostic_trace = None

    def program_file(self, name):
        return name

    def launcher_neighbours(self, _):
        # log4cxx's library, when the build placed one beside the launcher (not the system's).
        return glob.glob(os.path.join(self.bin_dir, "liblog4cxx.so.*"))

    def environment(self, home, env_extra=None):
        """A user whose home is `home`, without a desktop session or the build's libraries."""
        removed = ("DISPLAY", "WAYLAND_DISPLAY", "XDG_CONFIG_HOME", "LD_LIBRARY_PATH")
        env = {k: v for k, v in os.environ.items() if k not in removed}
        env.update({"LANG": "C.UTF-8", "HOME": home, **(env_extra or {})})
        return env

    def start(self, program, *arguments, home, env_extra=None, cwd=None, trace=None,
              wait=True, prefix=(), timeout=60):
        command = [*prefix, program, *arguments]
        env = self.environment(home, env_extra)
        if not wait:
            return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                    env=env, cwd=cwd)
        return subprocess.run(command, capture_output=True, env=env, cwd=cwd, timeout=timeout)

    def begin_case(self, case):
        pass

    def documents(self, case):
        """The documents folder of the case's user: the one a new account has."""
        return os.path.join(case.home, "Documents")

    def use_documents_folder(self, case, folder):
        """Points the user's documents folder at `folder`, as the user's desktop would."""
        config = os.path.join(case.home, ".config")
        os.makedirs(config, exist_ok=True)
        with open(os.path.join(config, "user-dirs.dirs"), "w", encoding="utf-8") as dirs:
            dirs.write('# written by xdg-user-dirs-update\n'
                       'XDG_DESKTOP_DIR="$HOME/デスクトップ"\n'
                       'XDG_DOCUMENTS_DIR="%s"\n' % folder.replace(case.home, "$HOME", 1))

    def shown(self, path):
        return path

    def unix_path(self, path):
        return path

    def escaped(self, path):
        return path.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r").encode()

    def command_line(self, launcher, *arguments):
        """The command line as the run object logs it, for a start by that path."""
        return " ".join([launcher, *arguments])

    def diagnostics(self, result):
        """The lines the launcher said why in, for a start made with `diagnostic_trace`."""
        return result.stderr.decode("utf-8").splitlines()

    def hold_lock(self, case, path, marker, seconds):
        """A process that takes the lock that a rollover of `path` takes, touches `marker`
        and then goes on no more for `seconds`."""
        holder = subprocess.Popen(["flock", "-x", path, "sh", "-c",
                                   f"touch '{marker}'; exec sleep {seconds}"],
                                  start_new_session=True)
        case.addCleanup(holder.wait)
        case.addCleanup(os.killpg, holder.pid, 9)
        return holder

    def assertFatalShownOnce(self, case, result):
        """The message was shown once (on the error stream), last; returns the diagnostic line
        before it, which says why first."""
        stderr = result.stderr.decode("utf-8")
        case.assertEqual(result.returncode, 255)
        case.assertEqual(result.stdout, b"", "the run object never ran")
        case.assertTrue(stderr.endswith(FATAL_MESSAGE + "\n"), stderr)
        case.assertEqual(stderr.count("AppRunオブジェクト"), 1, "the message is shown once")
        return stderr[:-len(FATAL_MESSAGE) - 1]


# Wine's relay trace of one MessageBoxA call: owner window, text, caption, style.
MESSAGE_BOX_CALL = re.compile(
    rb'Call user32\.MessageBoxA\(([0-9a-f]{8}),[0-9a-f]{8} "((?:[^"\\]|\\.)*)",'
    rb"([0-9a-f]{8}),([0-9a-f]{8})\)")
# Wine's trace of OutputDebugStringA (channel debugstr): the text as debugstr_a prints it.
DEBUG_STRING = re.compile(rb'warn:debugstr:OutputDebugStringA "((?:[^"\\]|\\.)*)"')
MB_ICONERROR = 0x10
USER_SHELL_FOLDERS = ("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                      "User Shell Folders")
# What a new Wine prefix holds there: the documents folder inside the user's profile.
DEFAULT_PERSONAL = "%USERPROFILE%\\Documents"


def unescape_debugstr(escaped):
    """Bytes of a string as Wine's debug traces print it (debugstr_a)."""
    out = bytearray()
    at = 0
    while at < len(escaped):
        if escaped[at] != ord("\\"):
            out.append(escaped[at])
            at += 1
            continue
        kind = chr(escaped[at + 1])
        if kind == "x":
            out.append(int(escaped[at + 2:at + 4], 16))
            at += 4
        else:
            out.append({"n": 10, "r": 13, "t": 9}.get(kind, ord(kind)))
            at += 2
    return bytes(out)


class WineHost(Host):
    """The Windows build under Wine, with nothing registered. Its prefix is the emulator's
    (LAUNCHER_EMULATOR, e.g. "scripts/wine-run build/windows-x86/wineprefix"), one per run:
    the cases point the Wine user's documents folder elsewhere and take the profile folder
    away for a moment, and put both back."""

    target = WINDOWS
    RUN_OBJECT = "OvTaxLinkRun.dll"
    LIBRARY_SUFFIX = ".dll"
    DEPENDENT_ASSEMBLY = "Orvane.CommonApp.CCProxy.manifest"
    SEPARATOR = "\\"
    NEWLINE = b"\r\n"
    CODE_SET = "cp932"
    fatal_trace = "+relay"
    diagnostic_trace = "+debugstr"
    # The box's call and the debugger's output, in the order the program made them.
    fatal_reason_trace = "+relay,+debugstr"
    # A Japanese system whose user chose English formats: the ANSI code page stays 932 while
    # the thread's locale, and with it CP_THREAD_ACP, is English (1252).
    ENGLISH_FORMATS = {"WINE_RUN_FORMATS": "en_US.UTF-8"}

    def __init__(self, environment):
        super().__init__(environment)
        self.emulator = shlex.split(environment["LAUNCHER_EMULATOR"])
        self.drive_c = None  # until the prefix is asked where its drive C: lies

    def __enter__(self):
        # Wine links a documents folder that it creates to the Unix home and keeps menu files
        # there: the prefix's own commands get a home of the run's own, every start the case's.
        self.home = tempfile.mkdtemp(prefix="launcher-wine-home-")
        # Starts run from C:\, inside the prefix: had a start without a documents folder taken
        # the root of the current drive for its log root, that would still be the prefix's.
        self.drive_c = self.unix_path("C:\\").rstrip("/")
        # Two runs against one prefix would move each other's folders: one waits.
        self.lock = open(os.path.join(self.drive_c, "launcher-e2e-tests.lock"), "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        # Starting from Wine's own settings, also after a run that was cut short.
        profile = self.checked(self.run("cmd", "/c", "echo %USERPROFILE%")).decode("cp932")
        self.profile = (profile.strip(), self.unix_path(profile.strip()))
        self.restore_profile()
        self.set_documents_folder(DEFAULT_PERSONAL)
        self.default_documents = (self.profile[0] + "\\Documents",
                                  os.path.join(self.profile[1], "Documents"))
        self.restore_documents_folder()
        # Relay traces of MessageBoxA only, so that the failure cases can see the box's call.
        self.checked(self.run("reg", "add", "HKCU\\Software\\Wine\\Debug", "/v", "RelayInclude",
                              "/t", "REG_SZ", "/d", "user32.MessageBoxA", "/f"))
        return self

    def __exit__(self, *_):
        self.lock.close()
        shutil.rmtree(self.home)
        return False

    def run(self, *command, home=None, env_extra=None, trace=None, cwd=None, wait=True,
            timeout=120):
        """Runs a Windows program through the emulator; arguments and environment go over as
        UTF-8, as from a shell in a Japanese UTF-8 locale."""
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env["WINE_RUN_HOME"] = home or self.home
        if trace:
            env["LAUNCHER_WINEDEBUG"] = trace
        env.update(env_extra or {})
        command = [part.encode("utf-8") for part in (*self.emulator, *command)]
        cwd = cwd or self.drive_c
        if not wait:
            return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                    env=env, cwd=cwd)
        return subprocess.run(command, capture_output=True, env=env, cwd=cwd, timeout=timeout)

    def start(self, program, *arguments, home, **options):
        return self.run(program, *arguments, home=home, **options)

    @staticmethod
    def checked(result):
        if result.returncode != 0:
            raise RuntimeError("Wine command failed (%d): %r" % (result.returncode, result.stderr))
        return result.stdout

    def unix_path(self, windows):
        return self.checked(self.run("winepath", "-u", windows)).decode("utf-8").strip()

    def program_file(self, name):
        return name + ".exe"

    def launcher_neighbours(self, dependent_assembly):
        # log4cxx.dll is shared by the launcher and the run object, as where it is installed.
        return [os.path.join(self.bin_dir, name) for name in
                ["log4cxx.dll"] + ([self.DEPENDENT_ASSEMBLY] if dependent_assembly else [])]

    def begin_case(self, case):
        # Nothing left from an earlier case: the log root and its parents are missing.
        for stale in (os.path.join(self.default_documents[1], "Orvane"),
                      os.path.join(self.drive_c, "Orvane")):
            shutil.rmtree(stale, ignore_errors=True)
        case.addCleanup(shutil.rmtree, os.path.join(self.drive_c, "Orvane"), ignore_errors=True)

    def documents(self, case):
        return self.default_documents[1]

    def set_documents_folder(self, value):
        """Points the Wine user's documents folder elsewhere, as a user who moves it does. The
        write is idempotent, so a `reg` that Wine let fail without a word is simply run again."""
        for _ in range(3):
            result = self.run("reg", "add", USER_SHELL_FOLDERS, "/v", "Personal", "/t",
                              "REG_EXPAND_SZ", "/d", value, "/f")
            if result.returncode == 0:
                return
        self.checked(result)

    def use_documents_folder(self, case, folder):
        """`folder` is a Unix path, or a Windows one as it is to be set."""
        self.set_documents_folder(self.shown(folder) if folder.startswith("/") else folder)
        case.addCleanup(self.set_documents_folder, DEFAULT_PERSONAL)

    def restore_documents_folder(self):
        documents = self.default_documents[1]
        if os.path.islink(documents):
            # Wine linked it to a home folder that outlives the case: what the start wrote
            # there would be found by the next run's case.
            shutil.rmtree(os.path.join(documents, "Orvane"), ignore_errors=True)
            os.remove(documents)
        os.makedirs(documents, exist_ok=True)

    def restore_profile(self):
        aside = self.profile[1] + ".set-aside-by-test"
        if os.path.exists(aside):
            if os.path.isfile(self.profile[1]):
                os.remove(self.profile[1])
            os.rename(aside, self.profile[1])

    def shown(self, path):
        """The path as a Windows program sees it: inside the prefix by its drive C:, the
        user's documents folder as the profile names it, elsewhere through drive Z:, the
        Unix root."""
        path = os.path.abspath(path)
        for unix, windows in (self.default_documents[::-1], (self.drive_c, "C:")):
            if path == unix or path.startswith(unix + "/"):
                return windows + path[len(unix):].replace("/", "\\")
        return "Z:" + path.replace("/", "\\")

    def escaped(self, path):
        """In code page 932, every separator doubled, a 0x5C that is the second byte of a
        double-byte character left as it is."""
        return b"".join(b"\\\\" if char == "\\" else char.encode("cp932") for char in path)

    def command_line(self, launcher, *arguments):
        return " ".join(['"%s"' % self.shown(launcher), *arguments])

    def diagnostics(self, result):
        """What the program sent to OutputDebugStringA (under trace "+debugstr"), in code
        page 932, one entry a call."""
        return [unescape_debugstr(text).decode("cp932")
                for text in DEBUG_STRING.findall(result.stderr)]

    def hold_lock(self, case, path, marker, seconds):
        holder = self.run(os.path.join(self.bin_dir, "rolling_file_writer.exe"), "lock",
                          self.shown(path), self.shown(marker), str(seconds), wait=False)
        case.addCleanup(holder.communicate, timeout=120)
        return holder

    def assertFatalShownOnce(self, case, result):
        """The message box was shown once, ownerless, with the default error caption; the
        reason goes to the debugger's output (assertReasonBeforeFatal), so there is no
        diagnostic line to return."""
        case.assertEqual(result.returncode, 255, "exit code -1")
        case.assertEqual(result.stdout, b"", "the run object never ran")
        calls = MESSAGE_BOX_CALL.findall(result.stderr)
        case.assertEqual(len(calls), 1, result.stderr.decode(errors="replace"))
        owner, text, caption, style = calls[0]
        case.assertEqual(int(owner, 16), 0, "no active window: the box has no owner")
        case.assertEqual(unescape_debugstr(text), FATAL_MESSAGE.encode("cp932"))
        case.assertEqual(int(caption, 16), 0, "null caption: the default error caption")
        case.assertEqual(int(style, 16), MB_ICONERROR)
        return None

    def assertReasonBeforeFatal(self, case, result, program="launcher"):
        """For a start made with `fatal_reason_trace`: the message box once and, before it
        waits, one line on the debugger's output that says why, as the Linux line does, then
        the system's text for the code (which the trace may cut short: Wine prints 300
        characters of a string at most, so it may end inside a double-byte character).
        Returns the line and its code."""
        self.assertFatalShownOnce(case, result)
        head = program + ": activation failed"
        lines = [unescape_debugstr(text).decode("cp932", errors="replace")
                 for text in DEBUG_STRING.findall(result.stderr)]
        lines = [line for line in lines if line.startswith(head)]
        case.assertEqual(len(lines), 1, result.stderr.decode(errors="replace"))
        code = re.match(re.escape(head) + r" \((0x[0-9A-F]{8})\)", lines[0])
        case.assertIsNotNone(code, lines[0])
        case.assertGreaterEqual(int(code.group(1), 16), 0x80000000, "a failure code")
        said = result.stderr.index(b'OutputDebugStringA "' + head.encode("cp932"))
        case.assertLess(said, MESSAGE_BOX_CALL.search(result.stderr).start(),
                        "said before the box is shown")
        return lines[0], code.group(1)


def host_from(environment):
    """The host of this build: Windows when the build names an emulator."""
    return WineHost(environment) if "LAUNCHER_EMULATOR" in environment else LinuxHost(environment)


class Scenario:
    """The base of every scenario: a folder of the case's own (root), a user's home in it
    (home), and the launcher started through the host."""

    host = None  # the host of the run, on the test case that run_e2e.py makes of a scenario

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="launcher-e2e-")
        os.chmod(self.root, 0o755)
        self.addCleanup(shutil.rmtree, self.root)
        self.home = os.path.join(self.root, "home")
        os.makedirs(self.home)
        self.host.begin_case(self)

    def deploy(self, name="app", **options):
        return Deployment(self.host, self.root, name, **options)

    def start(self, launcher, *arguments, **options):
        """Starts a launcher as the case's user; self.days holds the date stamps the start may
        have seen (two when the date changed meanwhile)."""
        first = today()
        result = self.host.start(launcher, *arguments, home=self.home, **options)
        self.days = sorted({first, today()})
        return result

    def read(self, path):
        with open(path, "rb") as file:
            return file.read()

    def records(self, log_file):
        """The command lines of the run object's records in a log file, which must hold
        nothing else; log4cxx writes UTF-8."""
        lines = self.read(log_file).decode("utf-8").splitlines()
        for line in lines:
            self.assertRegex(line, RECORD)
        return [RECORD.match(line).group(1) for line in lines]

    def assertRunObjectRan(self, result, status):
        self.assertEqual(result.returncode, status, result.stderr.decode(errors="replace"))
        self.assertTrue(result.stdout.startswith(RUN_OUTPUT.encode()), result.stdout)

    def assertRunObjectGot(self, result, launcher, arguments, status=0):
        """The run object ran once, with the whole command line: the launcher as started
        (under Windows its full path, quoted) at its head, then `arguments`."""
        self.assertEqual(result.returncode, status, result.stderr.decode(errors="replace"))
        if self.host.target == LINUX:
            self.assertEqual(result.stderr, b"")
        lines = result.stdout.decode("utf-8").split("\n")
        self.assertEqual(len(lines), 2, "Run is called exactly once: %r" % lines)
        self.assertEqual(lines[1], "")
        self.assertTrue(lines[0].rstrip("\r").startswith(RUN_OUTPUT), lines[0])
        command_line = lines[0].rstrip("\r")[len(RUN_OUTPUT):]
        head = self.host.shown(launcher) if self.host.target == WINDOWS else launcher
        if self.host.target == WINDOWS:
            self.assertTrue(command_line.startswith('"%s"' % head), command_line)
        self.assertEqual(split_windows_command_line(command_line), [head, *arguments])
        return command_line

    def assertActivationFailed(self, result, looked_for, code, reason=None, program="launcher"):
        """The fatal message, once; where the target shows a diagnostic line, it names the
        program, the code, the file looked for and the reason."""
        diagnostic = self.host.assertFatalShownOnce(self, result)
        if diagnostic is None:
            return
        self.assertEqual(diagnostic.count("\n"), 1, diagnostic)
        self.assertTrue(diagnostic.startswith(program + ": activation failed (0x"), diagnostic)
        self.assertIn("0x%08X" % code, diagnostic)
        self.assertIn(looked_for, diagnostic)
        if reason:
            self.assertIn(reason, diagnostic)


class LoggingScenario(Scenario):
    """A case about logging: the launcher deployed with the sample run object (app), started
    by start(); the documents folder and log root the user has."""

    def setUp(self):
        super().setUp()
        self.app = self.deploy()

    def start(self, *arguments, launcher=None, **options):
        return super().start(launcher or self.app.launcher, *arguments, **options)

    def documents(self):
        return self.host.documents(self)

    def log_root(self, documents=None):
        return os.path.join(documents or self.documents(), "Orvane", "SystemLog")

    def generated(self, log_root, program, day):
        """The properties file for `program` on `day` under `log_root` (a Unix path), and the
        daily log it names (a Unix path)."""
        text, _ = self.host.properties(self.host.shown(log_root), program, day)
        return text, os.path.join(log_root, program, f"{program}.1.0.0Log_{day}.txt")

    def expected(self, log_root, program="launcher"):
        """generated() for the day the last start saw."""
        candidates = [self.generated(log_root, program, day) for day in self.days]
        properties = os.path.join(log_root, program + ".ini")
        for text, log_file in candidates:
            if os.path.exists(properties) and self.read(properties) == text:
                return text, log_file
        return candidates[-1]

    def log_file(self, program="launcher"):
        """Today's log under the user's log root."""
        return os.path.join(self.log_root(), program, f"{program}.1.0.0Log_{today()}.txt")

    def command_line(self, *arguments, launcher=None):
        return self.host.command_line(launcher or self.app.launcher, *arguments)

    def messages(self, path):
        """The message of every record in the file ("<tag> <number>" for the burst server)."""
        if not os.path.exists(path):
            return []
        return [line.split(" - ", 1)[1] for line in self.read(path).decode().splitlines()]


def make_case(scenario, host):
    """The test case of a scenario on a host: only the cases for its target, the host bound."""
    def for_target(item):
        return host.target in getattr(item, "targets", (host.target,))

    dropped = {name: None for name in dir(scenario)
               if name.startswith("test") and not for_target(getattr(scenario, name))}
    return type(scenario.__name__, (scenario, unittest.TestCase),
                {"host": host, "__module__": scenario.__module__,
                 "__qualname__": scenario.__qualname__, **dropped})


def cases(module, host, loader):
    """The tests of a module's scenarios for the host's target."""
    suite = unittest.TestSuite()
    for scenario in vars(module).values():
        if (isinstance(scenario, type) and issubclass(scenario, Scenario)
                and scenario.__module__ == module.__name__
                and host.target in getattr(scenario, "targets", (host.target,))):
            suite.addTests(loader.loadTestsFromTestCase(make_case(scenario, host)))
    return suite

