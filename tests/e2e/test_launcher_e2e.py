"""The launcher as a user starts it: exit codes, the command line that reaches the run
object, and every way activation can fail. Reads LAUNCHER_BIN_DIR (the launcher and the
sample run object) and LAUNCHER_FIXTURE_DIR (the faulty servers) from the environment."""

import glob
import os
import shutil
import subprocess
import tempfile
import unittest

from windows_command_line import split_windows_command_line

BIN_DIR = os.environ["LAUNCHER_BIN_DIR"]
FIXTURE_DIR = os.environ["LAUNCHER_FIXTURE_DIR"]
LAUNCHER = os.path.join(BIN_DIR, "launcher")
RUN_OBJECT = "OvTaxLinkRun.so"
# log4cxx's library, when the build placed one beside the launcher (it is not the system's).
LOG4CXX = glob.glob(os.path.join(BIN_DIR, "liblog4cxx.so.*"))

FATAL_MESSAGE = "AppRunオブジェクトの作成に失敗しました。\n処理を継続することができません。\n"


def launcher_env(home, env_extra=None):
    """The environment of a user whose home is `home`, without a desktop session."""
    removed = ("DISPLAY", "WAYLAND_DISPLAY", "XDG_CONFIG_HOME")
    env = {k: v for k, v in os.environ.items() if k not in removed}
    env["LANG"] = "C.UTF-8"
    env["HOME"] = home
    env.update(env_extra or {})
    return env


def run(launcher, *arguments, home, cwd=None, env_extra=None):
    return subprocess.run([launcher, *arguments], capture_output=True, cwd=cwd,
                          env=launcher_env(home, env_extra), timeout=60)


class Deployment:
    """A folder holding a copy of the launcher and, optionally, a run object file."""

    def __init__(self, root, name="app", run_object=None, program="launcher"):
        self.folder = os.path.join(root, name)
        os.makedirs(self.folder)
        self.launcher = os.path.join(self.folder, program)
        shutil.copy2(LAUNCHER, self.launcher)
        for library in LOG4CXX:
            shutil.copy2(library, self.folder)
        if run_object is not None:
            shutil.copy2(run_object, os.path.join(self.folder, RUN_OBJECT))

    @property
    def run_object_path(self):
        return os.path.join(self.folder, RUN_OBJECT)


class E2ETestCase(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="launcher-e2e-")
        self.addCleanup(shutil.rmtree, self.root)
        self.home = os.path.join(self.root, "home")
        os.makedirs(self.home)

    def run_launcher(self, launcher, *arguments, **options):
        return run(launcher, *arguments, home=self.home, **options)

    def decoy_folder(self, name):
        """A folder holding a file of the run object's name that is no library."""
        folder = os.path.join(self.root, name)
        os.makedirs(folder)
        with open(os.path.join(folder, RUN_OBJECT), "w") as planted:
            planted.write("not a library")
        return folder

    def assertRunObjectGot(self, result, launcher, arguments, exit_status=0):
        stdout = result.stdout.decode("utf-8")
        self.assertEqual(result.returncode, exit_status, result.stderr.decode())
        self.assertEqual(result.stderr, b"")
        self.assertTrue(stdout.startswith("AppRun: show=10 cmdline="), stdout)
        self.assertTrue(stdout.endswith("\n"))
        self.assertEqual(stdout.count("\n"), 1, "Run is called exactly once")
        command_line = stdout[len("AppRun: show=10 cmdline="):-1]
        self.assertEqual(split_windows_command_line(command_line), [launcher, *arguments])

    def assertActivationFailed(self, result, looked_for, code, reason=None, program="launcher"):
        stderr = result.stderr.decode("utf-8")
        self.assertEqual(result.returncode, 255)
        self.assertEqual(result.stdout, b"", "the run object never ran")
        # The reason first, then the message, which waits for the user on Windows.
        self.assertTrue(stderr.endswith(FATAL_MESSAGE), stderr)
        self.assertEqual(stderr.count("AppRunオブジェクト"), 1, "the message is shown once")
        diagnostic = stderr[:-len(FATAL_MESSAGE)]
        self.assertEqual(diagnostic.count("\n"), 1, diagnostic)
        self.assertTrue(diagnostic.startswith(program + ": activation failed (0x"), diagnostic)
        self.assertIn("0x%08X" % code, diagnostic)
        self.assertIn(looked_for, diagnostic)
        if reason:
            self.assertIn(reason, diagnostic)


class RunObjectHandOff(E2ETestCase):
    def test_exit_code_is_what_run_returns(self):
        for requested, status in (("0", 0), ("7", 7), ("-5", 251)):
            with self.subTest(requested=requested):
                argument = "--exit-code=" + requested
                result = self.run_launcher(LAUNCHER, argument)
                self.assertRunObjectGot(result, LAUNCHER, [argument], status)

    def test_arguments_reach_run_intact(self):
        arguments = ["C:\\Program Files\\Orvane\\帳簿.dat", "", "two  spaces", 'say "hi"',
                     "trailing\\", "\\\\server\\share\\", "消費税申告 2026", "--exit-code=3"]
        result = self.run_launcher(LAUNCHER, *arguments)
        self.assertRunObjectGot(result, LAUNCHER, arguments, 3)

    def test_a_32_kilobyte_command_line(self):
        arguments = ["x" * 1000 + str(i) for i in range(33)]
        result = self.run_launcher(LAUNCHER, *arguments)
        self.assertGreater(len(result.stdout), 32 * 1024)
        self.assertRunObjectGot(result, LAUNCHER, arguments)

    def test_folder_with_spaces_and_japanese_characters(self):
        deployment = Deployment(self.root, "会計 連携/bin dir",
                                run_object=os.path.join(BIN_DIR, RUN_OBJECT))
        result = self.run_launcher(deployment.launcher, "--exit-code=9")
        self.assertRunObjectGot(result, deployment.launcher, ["--exit-code=9"], 9)

    def test_run_object_comes_from_the_executables_folder_only(self):
        # A file of the run object's name in the current folder or on the library path is
        # never what gets loaded.
        deployment = Deployment(self.root, run_object=os.path.join(BIN_DIR, RUN_OBJECT))
        decoy = self.decoy_folder("decoy")
        result = self.run_launcher(deployment.launcher, cwd=decoy, env_extra={"LD_LIBRARY_PATH": decoy})
        self.assertRunObjectGot(result, deployment.launcher, [])

    def test_started_through_the_search_path(self):
        deployment = Deployment(self.root, run_object=os.path.join(BIN_DIR, RUN_OBJECT))
        path = deployment.folder + os.pathsep + os.environ.get("PATH", "")
        result = self.run_launcher("launcher", "--exit-code=4", env_extra={"PATH": path})
        self.assertRunObjectGot(result, "launcher", ["--exit-code=4"], 4)

    def test_started_through_a_link_in_another_folder(self):
        # The run object beside the file itself answers, never a file beside the link, however
        # the link is named when started.
        deployment = Deployment(self.root, run_object=os.path.join(BIN_DIR, RUN_OBJECT))
        elsewhere = self.decoy_folder("elsewhere")
        link = os.path.join(elsewhere, "launcher")
        os.symlink(deployment.launcher, link)
        for started in (link, "./launcher"):
            with self.subTest(started=started):
                result = self.run_launcher(started, "--exit-code=6", cwd=elsewhere)
                self.assertRunObjectGot(result, started, ["--exit-code=6"], 6)


class ActivationFailure(E2ETestCase):
    def test_run_object_missing(self):
        # The line is headed by the program's own name, whatever the launcher is called.
        deployment = Deployment(self.root, program="TaxLink")
        result = self.run_launcher(deployment.launcher, "--exit-code=7")
        self.assertActivationFailed(result, deployment.run_object_path, 0x8007007E,
                                    "does not exist", program="TaxLink")

    def test_file_that_is_not_a_library(self):
        deployment = Deployment(self.root)
        with open(deployment.run_object_path, "w") as text:
            text.write("MZ? not really\n")
        result = self.run_launcher(deployment.launcher)
        self.assertActivationFailed(result, deployment.run_object_path, 0x8007007E)

    def start_beside_faulty_server(self, fault):
        """Starts the launcher with one of the faulty servers as its run object's file."""
        server = os.path.join(FIXTURE_DIR, f"faulty_server_{fault}.so")
        deployment = Deployment(self.root, run_object=server)
        return self.run_launcher(deployment.launcher), deployment.run_object_path

    def test_library_without_a_class_object_export(self):
        result, looked_for = self.start_beside_faulty_server("no_class_object")
        self.assertActivationFailed(result, looked_for, 0x800401F9, "DllGetClassObject")

    def test_library_that_does_not_serve_the_class(self):
        result, looked_for = self.start_beside_faulty_server("wrong_class")
        self.assertActivationFailed(result, looked_for, 0x80040111)

    def test_factory_whose_objects_lack_the_run_interface(self):
        result, looked_for = self.start_beside_faulty_server("no_interface")
        self.assertActivationFailed(result, looked_for, 0x80004002)


if __name__ == "__main__":
    unittest.main()
