"""The Windows launcher under Wine, started as a user starts it, with nothing registered:
activation through the embedded manifest, the command line as Windows holds it (also under
English formats over code page 932), the exit code, and the fatal-error box when the run
object cannot be created.

Reads from the environment LAUNCHER_BIN_DIR (launcher.exe, log4cxx.dll, the sample run object
and the assembly its manifest depends on), LAUNCHER_EMULATOR (the command that runs a Windows
program in a Japanese locale, e.g. "scripts/wine-run build/windows-x86/wineprefix") and,
optionally, LAUNCHER_FIXTURE_DIR (the faulty servers)."""

import os
import re
import shlex
import shutil
import subprocess
import tempfile
import unittest

from windows_command_line import split_windows_command_line

if "LAUNCHER_EMULATOR" not in os.environ:
    raise unittest.SkipTest("Windows end-to-end tests: LAUNCHER_EMULATOR is not set")
BIN_DIR = os.environ["LAUNCHER_BIN_DIR"]
EMULATOR = shlex.split(os.environ["LAUNCHER_EMULATOR"])
FIXTURE_DIR = os.environ.get("LAUNCHER_FIXTURE_DIR")

LAUNCHER = "launcher.exe"
RUN_OBJECT = "OvTaxLinkRun.dll"
LOG4CXX = "log4cxx.dll"
DEPENDENT_ASSEMBLY = "Orvane.CommonApp.CCProxy.manifest"
CLSID_APP_RUN = "{1368DB73-5337-4934-BDD1-5BD251843AFE}"

FATAL_MESSAGE = "AppRunオブジェクトの作成に失敗しました。\n処理を継続することができません。"
MB_ICONERROR = 0x10

# Wine's relay trace of one MessageBoxA call: owner window, text, caption, style.
MESSAGE_BOX_CALL = re.compile(
    rb'Call user32\.MessageBoxA\(([0-9a-f]{8}),[0-9a-f]{8} "((?:[^"\\]|\\.)*)",'
    rb"([0-9a-f]{8}),([0-9a-f]{8})\)")


# Wine's trace of OutputDebugStringA (channel debugstr): the text as debugstr_a prints it.
DEBUG_STRING = re.compile(rb'warn:debugstr:OutputDebugStringA "((?:[^"\\]|\\.)*)"')

# A Japanese system whose user chose English formats: the ANSI code page stays 932 while the
# thread's locale, and with it CP_THREAD_ACP, is English (1252).
ENGLISH_FORMATS = {"WINE_RUN_FORMATS": "en_US.UTF-8"}


def run(program, *arguments, trace=None, env_extra=None):
    """Starts a Windows program through the emulator; arguments go over as UTF-8, as a user's
    shell in a Japanese UTF-8 locale would pass them."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    if trace:
        env["LAUNCHER_WINEDEBUG"] = trace
    env.update(env_extra or {})
    command = [*EMULATOR, program, *arguments]
    return subprocess.run([part.encode("utf-8") for part in command], capture_output=True,
                          env=env, timeout=120)


def windows_path(unix_path):
    """The path as Wine shows it to a Windows program: drive Z: is the Unix root."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def unescape_debugstr(escaped):
    """Bytes of a string as Wine's debug traces print it (debugstr_a)."""
    out = bytearray()
    at = 0
    while at < len(escaped):
        byte = escaped[at]
        if byte != ord("\\"):
            out.append(byte)
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


def debug_strings(stderr):
    """What the program sent to OutputDebugStringA (under trace "+debugstr"), in code page
    932, one entry a call."""
    return [unescape_debugstr(text).decode("cp932") for text in DEBUG_STRING.findall(stderr)]


class Deployment:
    """A folder with a copy of the launcher and whichever of its neighbours a case wants."""

    def __init__(self, root, name="app", run_object=True, dependent_assembly=True):
        self.folder = os.path.join(root, name)
        os.makedirs(self.folder)
        self.launcher = os.path.join(self.folder, LAUNCHER)
        shutil.copy2(os.path.join(BIN_DIR, LAUNCHER), self.launcher)
        # Shared by the launcher and the run object, as where the product is installed.
        shutil.copy2(os.path.join(BIN_DIR, LOG4CXX), self.folder)
        if dependent_assembly:
            shutil.copy2(os.path.join(BIN_DIR, DEPENDENT_ASSEMBLY), self.folder)
        if run_object is True:
            run_object = os.path.join(BIN_DIR, RUN_OBJECT)
        if run_object:
            shutil.copy2(run_object, os.path.join(self.folder, RUN_OBJECT))


class WineTestCase(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="launcher-wine-e2e-")
        self.addCleanup(shutil.rmtree, self.root)

    def assertRunObjectGot(self, result, launcher, arguments, exit_status):
        self.assertEqual(result.returncode, exit_status, result.stderr.decode(errors="replace"))
        lines = result.stdout.decode("utf-8").splitlines()
        self.assertEqual(len(lines), 1, "Run is called exactly once: %r" % lines)
        prefix = "AppRun: show=10 cmdline="
        self.assertTrue(lines[0].startswith(prefix), lines[0])
        command_line = lines[0][len(prefix):]
        # The whole command line, the executable's own path quoted at its head.
        self.assertTrue(command_line.startswith('"%s"' % windows_path(launcher)), command_line)
        self.assertEqual(split_windows_command_line(command_line),
                         [windows_path(launcher), *arguments])
        return command_line

    def assertFatalBoxShownOnce(self, result):
        self.assertEqual(result.returncode, 255, "exit code -1")
        self.assertEqual(result.stdout, b"", "the run object never ran")
        calls = MESSAGE_BOX_CALL.findall(result.stderr)
        self.assertEqual(len(calls), 1, result.stderr.decode(errors="replace"))
        owner, text, caption, style = calls[0]
        self.assertEqual(int(owner, 16), 0, "no active window: the box has no owner")
        self.assertEqual(unescape_debugstr(text), FATAL_MESSAGE.encode("cp932"))
        self.assertEqual(int(caption, 16), 0, "null caption: the default error caption")
        self.assertEqual(int(style, 16), MB_ICONERROR)


class ActivationThroughTheManifest(WineTestCase):
    @classmethod
    def setUpClass(cls):
        # Nothing registered: the class is found through the manifest or not at all.
        query = run("reg", "query", "HKCR\\CLSID\\" + CLSID_APP_RUN)
        assert query.returncode != 0, "the run object's class is registered in the prefix"

    def test_exit_code_is_what_run_returns(self):
        for requested, status in (("0", 0), ("7", 7), ("-5", 251)):
            with self.subTest(requested=requested):
                argument = "--exit-code=" + requested
                result = run(os.path.join(BIN_DIR, LAUNCHER), argument)
                self.assertRunObjectGot(result, os.path.join(BIN_DIR, LAUNCHER), [argument],
                                        status)

    def test_command_line_reaches_run_through_code_page_932(self):
        # 表 and ソ end in 0x5C in Shift_JIS; the folder has spaces and Japanese characters.
        deployment = Deployment(self.root, "会計 連携/表ソ bin")
        arguments = ["C:\\Program Files\\Orvane\\帳簿.dat", "消費税申告 2026", "", 'say "hi"',
                     "--exit-code=3"]
        result = run(deployment.launcher, *arguments)
        command_line = self.assertRunObjectGot(result, deployment.launcher, arguments, 3)
        self.assertIn(' "C:\\Program Files\\Orvane\\帳簿.dat" ', command_line)

    def test_characters_outside_code_page_932_survive(self):
        # The run object gets the command line as Windows holds it, in UTF-16: Hangul and 𠮷
        # (a surrogate pair), which Shift_JIS lacks, arrive as they were typed.
        arguments = ["한表", "𠮷野 家"]
        result = run(os.path.join(BIN_DIR, LAUNCHER), *arguments)
        self.assertRunObjectGot(result, os.path.join(BIN_DIR, LAUNCHER), arguments, 0)

    def test_english_formats_over_code_page_932(self):
        deployment = Deployment(self.root, "会計 連携/表ソ bin")
        arguments = ["表示.txt", "帳簿 2026", "--exit-code=4"]
        result = run(deployment.launcher, *arguments, env_extra=ENGLISH_FORMATS)
        self.assertRunObjectGot(result, deployment.launcher, arguments, 4)


class ActivationFailure(WineTestCase):
    def test_executable_copied_without_the_run_object(self):
        deployment = Deployment(self.root, run_object=False)
        result = run(deployment.launcher, "--exit-code=7", trace="+relay")
        self.assertFatalBoxShownOnce(result)

    def test_the_message_in_code_page_932_under_english_formats(self):
        deployment = Deployment(self.root, run_object=False)
        result = run(deployment.launcher, trace="+relay", env_extra=ENGLISH_FORMATS)
        self.assertFatalBoxShownOnce(result)

    def test_executable_without_the_assembly_its_manifest_depends_on(self):
        # Windows builds no activation context at all then, so no class can be found.
        deployment = Deployment(self.root, dependent_assembly=False)
        result = run(deployment.launcher, "--exit-code=7", trace="+relay")
        self.assertFatalBoxShownOnce(result)

    @unittest.skipUnless(FIXTURE_DIR, "LAUNCHER_FIXTURE_DIR is not set")
    def test_run_object_files_that_cannot_create_the_object(self):
        with open(os.path.join(self.root, "not a library.dll"), "w") as text:
            text.write("MZ? not really\n")
        servers = {
            "not a library": os.path.join(self.root, "not a library.dll"),
            "no DllGetClassObject": os.path.join(FIXTURE_DIR, "faulty_server_no_class_object.dll"),
            "another class": os.path.join(FIXTURE_DIR, "faulty_server_wrong_class.dll"),
            "no IAppRun": os.path.join(FIXTURE_DIR, "faulty_server_no_interface.dll"),
            "success without an object": os.path.join(FIXTURE_DIR, "faulty_server_no_object.dll"),
        }
        for index, (fault, server) in enumerate(servers.items()):
            with self.subTest(fault=fault):
                deployment = Deployment(self.root, "app%d" % index, run_object=server)
                result = run(deployment.launcher, trace="+relay")
                self.assertFatalBoxShownOnce(result)


class ActivationFailureReason(WineTestCase):
    """Before the box waits, the debug output (DebugView; WINEDEBUG=+debugstr) says why: the
    result code, the file that the manifest names for the run object, and its state."""

    def assertReasonBeforeTheBox(self, result, deployment, state):
        """The line as Linux writes it, then the system's text for the code (which Wine's
        trace may cut short: it prints 300 characters of a string at most)."""
        self.assertFatalBoxShownOnce(result)
        # Cut short, the line may end inside a double-byte character.
        lines = [unescape_debugstr(text).decode("cp932", errors="replace")
                 for text in DEBUG_STRING.findall(result.stderr)]
        lines = [line for line in lines if line.startswith("launcher: activation failed")]
        self.assertEqual(len(lines), 1, result.stderr.decode(errors="replace"))
        code = re.match(r"launcher: activation failed \((0x[0-9A-F]{8})\)", lines[0])
        self.assertIsNotNone(code, lines[0])
        self.assertGreaterEqual(int(code.group(1), 16), 0x80000000, "a failure code")
        looked_for = "): looked for %s: " % windows_path(os.path.join(deployment.folder,
                                                                      RUN_OBJECT))
        self.assertIn(looked_for, lines[0])
        self.assertTrue(lines[0].split(looked_for, 1)[1].startswith(state), lines[0])
        said = result.stderr.index(b'OutputDebugStringA "launcher: activation failed')
        self.assertLess(said, MESSAGE_BOX_CALL.search(result.stderr).start(),
                        "said before the box is shown")
        return lines[0], code.group(1)

    def test_the_run_object_missing(self):
        deployment = Deployment(self.root, run_object=False)
        result = run(deployment.launcher, trace="+relay,+debugstr")
        line, code = self.assertReasonBeforeTheBox(result, deployment,
                                                   "the file does not exist; ")
        self.assertRegex(line, "; the system's message for %s: .+" % code)

    @unittest.skipUnless(FIXTURE_DIR, "LAUNCHER_FIXTURE_DIR is not set")
    def test_the_run_object_there_but_not_loadable(self):
        not_a_library = os.path.join(self.root, "not a library.dll")
        with open(not_a_library, "w") as text:
            text.write("a text file under the run object's name\n")
        there = "the file is there but could not be loaded: "
        cases = {
            "no Windows library": (not_a_library, there + "it is no Windows library"),
            "a library it depends on missing": (
                os.path.join(FIXTURE_DIR, "faulty_server_missing_dependency.dll"),
                there + "a library it depends on is missing (error 126"),
        }
        for index, (fault, (server, state)) in enumerate(cases.items()):
            with self.subTest(fault=fault):
                deployment = Deployment(self.root, "app%d" % index, run_object=server)
                result = run(deployment.launcher, trace="+relay,+debugstr")
                self.assertReasonBeforeTheBox(result, deployment, state)


def setUpModule():
    # Relay traces of MessageBoxA only, so that the failure cases can see the box's call.
    result = run("reg", "add", "HKCU\\Software\\Wine\\Debug", "/v", "RelayInclude", "/t",
                 "REG_SZ", "/d", "user32.MessageBoxA", "/f")
    if result.returncode != 0:
        raise RuntimeError("cannot limit Wine's relay trace: %r" % result.stderr)


if __name__ == "__main__":
    unittest.main()
