"""What `cmake --install` lays out is a deployment that starts: the launcher and, on Windows,
the DLLs it loads, side by side, the text of what the component adds beside them and, on
Windows, the licence and notice texts of the third-party code inside them; never the sample run
object, the stand-in assembly or a test program. The component's own files (its run object; on
Windows also the maker's assembly that the manifest depends on) are added to it as a real
deployment adds them. The release archive that `cmake --build <build> --target package` makes
from the same rules holds exactly that, and, unpacked into an empty folder with the component's
files added, starts.

Reads from the environment LAUNCHER_CMAKE (the cmake program), LAUNCHER_BUILD_DIR (the build to
install), LAUNCHER_BIN_DIR (where the sample run object lies), LAUNCHER_PACKAGE (the release
archive that the build makes; empty for a build that makes none: a sanitizer build, a Linux
build against a log4cxx of its own) and, for the Windows build, LAUNCHER_EMULATOR (the command
that runs a Windows program)."""

import os
import shlex
import shutil
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zipfile

CMAKE = os.environ["LAUNCHER_CMAKE"]
BUILD_DIR = os.environ["LAUNCHER_BUILD_DIR"]
BIN_DIR = os.environ["LAUNCHER_BIN_DIR"]
PACKAGE = os.environ.get("LAUNCHER_PACKAGE", "")
EMULATOR = shlex.split(os.environ.get("LAUNCHER_EMULATOR", ""))
WINDOWS = bool(EMULATOR)
if WINDOWS:
    import test_windows_e2e as wine

LAUNCHER = "launcher.exe" if WINDOWS else "launcher"
RUN_OBJECT = "OvTaxLinkRun.dll" if WINDOWS else "OvTaxLinkRun.so"
COMPONENT_FILES = [RUN_OBJECT] + (["Orvane.CommonApp.CCProxy.manifest"] if WINDOWS else [])
MANIFEST = os.path.join(BUILD_DIR, "launcher", "launcher.manifest")
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
FATAL_MESSAGE = ("AppRunオブジェクトの作成に失敗しました。\n"
                 "処理を継続することができません。\n")

# Where a deployment's files lie below the install prefix: on Windows all in one folder.
FOLDER = "" if WINDOWS else "bin"
DEPLOYMENT_TEXT = ("DEPLOYMENT.txt" if WINDOWS
                   else "share/doc/orvane-taxlink-launcher/DEPLOYMENT.txt")
# The texts that go with log4cxx.dll (and the libraries linked into it) and with mingw-w64's
# runtime, linked into every binary, and how each begins or what it names.
NOTICES = {
    "licenses/apache-log4cxx-1.8.0/LICENSE": "Apache License",
    "licenses/apache-log4cxx-1.8.0/NOTICE": "Apache log4cxx\n",
    "licenses/apr-1.7.4/LICENSE": "Apache License",
    "licenses/apr-1.7.4/NOTICE": "Apache Portable Runtime\n",
    "licenses/apr-util-1.6.3/LICENSE": "Apache License",
    "licenses/apr-util-1.6.3/NOTICE": "Apache Portable Runtime Utility Library\n",
    "licenses/expat-2.6.2/COPYING": "Copyright (c) 1998-2000 Thai Open Source Software Center",
    "licenses/mingw-w64-runtime/copyright": "winpthreads",
} if WINDOWS else {}


def manifest_names():
    """The files that the launcher's manifest names beside it: every in-process server file
    (a Linux build loads the .so of each .dll) and, on Windows, the dependent assembly's
    manifest, without which Windows does not start the program at all."""
    assembly = ElementTree.parse(MANIFEST).getroot()
    names = [element.get("name") for element in assembly.iter(ASM_V1 + "file")]
    if not WINDOWS:
        return [name[:-len(".dll")] + ".so" if name.lower().endswith(".dll") else name
                for name in names]
    for dependency in assembly.iter(ASM_V1 + "dependentAssembly"):
        names.append(dependency.find(ASM_V1 + "assemblyIdentity").get("name") + ".manifest")
    return names


def files_below(root):
    return sorted(os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
                  for folder, _, names in os.walk(root) for name in names)


def install(prefix):
    installed = subprocess.run([CMAKE, "--install", BUILD_DIR, "--prefix", prefix],
                               capture_output=True, timeout=120)
    assert installed.returncode == 0, installed.stderr.decode(errors="replace")


def start(folder, *arguments, home, trace=None):
    # Nothing of the build on the library path.
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "LD_LIBRARY_PATH")}
    if not WINDOWS:
        env.update({"HOME": home, "LANG": "C.UTF-8"})
    else:
        env["WINE_RUN_HOME"] = home
        if trace:
            env["LAUNCHER_WINEDEBUG"] = trace
    return subprocess.run([*EMULATOR, os.path.join(folder, LAUNCHER), *arguments],
                          capture_output=True, env=env, timeout=120)


class DeploymentChecks(unittest.TestCase):
    def assertIsADeployment(self, files, root):
        """The launcher (on Windows with the DLLs it loads), its text and its notices, and
        nothing else: no sample, no stand-in, no test program."""
        launcher = "/".join(filter(None, [FOLDER, LAUNCHER]))
        expected_texts = {DEPLOYMENT_TEXT, *NOTICES}
        self.assertIn(launcher, files)
        for name in files:
            with self.subTest(file=name):
                if name == launcher or name in expected_texts:
                    continue
                # On Windows the DLLs it loads beside it; on Linux log4cxx and the C++ runtime
                # come with the system's packages.
                self.assertTrue(WINDOWS, "only the launcher and its texts")
                self.assertEqual(os.path.dirname(name), FOLDER)
                self.assertTrue(name.lower().endswith(".dll"))
                self.assertNotIn(os.path.basename(name), COMPONENT_FILES)
        for name, beginning in {DEPLOYMENT_TEXT: "Orvane TaxLink launcher", **NOTICES}.items():
            with self.subTest(text=name):
                self.assertIn(name, files)
                with open(os.path.join(root, name), encoding="utf-8") as text:
                    self.assertIn(beginning, text.read(50000))
        with open(os.path.join(root, DEPLOYMENT_TEXT), encoding="utf-8") as text:
            what_to_add = text.read()
        for name in COMPONENT_FILES:
            self.assertIn(name, what_to_add)


class Installation(DeploymentChecks):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="launcher-install-")
        self.addCleanup(shutil.rmtree, self.root)
        self.prefix = os.path.join(self.root, "prefix")
        install(self.prefix)

    def test_the_launcher_what_it_loads_and_their_texts_only(self):
        self.assertIsADeployment(files_below(self.prefix), self.prefix)

    def test_whatever_the_manifest_names_that_this_build_ships_is_installed(self):
        # The build's run object and assembly are stand-ins for the component's own, which a
        # deployment adds; anything else named there that the build makes must be installed.
        names = manifest_names()
        self.assertIn(RUN_OBJECT, names)
        installed = set(os.listdir(os.path.join(self.prefix, FOLDER)))
        for name in names:
            with self.subTest(file=name):
                if name in COMPONENT_FILES:
                    self.assertNotIn(name, installed, "the component supplies its own")
                elif os.path.exists(os.path.join(BIN_DIR, name)):
                    self.assertIn(name, installed)

    def test_the_installed_launcher_starts_the_component(self):
        folder = os.path.join(self.prefix, FOLDER)
        for name in COMPONENT_FILES:
            shutil.copy2(os.path.join(BIN_DIR, name), folder)
        home = os.path.join(self.root, "home")
        os.makedirs(home)
        result = start(folder, "--exit-code=7", home=home)
        self.assertEqual(result.returncode, 7, result.stderr.decode(errors="replace"))
        self.assertTrue(result.stdout.startswith(b"AppRun: show=10 cmdline="), result.stdout)


class ReleaseArchive(DeploymentChecks):
    """The archive as the package target leaves it in the build folder, unpacked into an empty
    folder: the ZIP's one top folder, or what the Debian package installs into /opt."""

    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="launcher-release-")
        if os.path.exists(PACKAGE):
            os.unlink(PACKAGE)
        made = subprocess.run([CMAKE, "--build", BUILD_DIR, "--target", "package"],
                              capture_output=True, timeout=600)
        assert made.returncode == 0, made.stdout.decode(errors="replace")[-3000:]
        unpacked = os.path.join(cls.root, "unpacked")
        if WINDOWS:
            with zipfile.ZipFile(PACKAGE) as archive:
                tops = {name.split("/")[0] for name in archive.namelist()}
                assert len(tops) == 1, tops
                archive.extractall(unpacked)
            cls.prefix = os.path.join(unpacked, tops.pop())
        else:
            subprocess.run(["dpkg-deb", "-x", PACKAGE, unpacked], check=True, timeout=60)
            cls.prefix = os.path.join(unpacked, "opt/orvane-taxlink")
            outside = [name for name in files_below(unpacked)
                       if not name.startswith("opt/orvane-taxlink/")]
            assert not outside, outside
        cls.installed = os.path.join(cls.root, "installed")
        install(cls.installed)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root)

    def test_holds_what_the_installation_lays_out(self):
        files = files_below(self.prefix)
        self.assertEqual(files, files_below(self.installed))
        self.assertIsADeployment(files, self.prefix)
        if not WINDOWS:
            depends = subprocess.run(["dpkg-deb", "-f", PACKAGE, "Depends"], check=True,
                                     capture_output=True, text=True).stdout
            self.assertIn("liblog4cxx15", depends)
            launcher = os.path.join(self.prefix, FOLDER, LAUNCHER)
            dynamic = subprocess.run(["readelf", "-d", launcher], check=True,
                                     capture_output=True, text=True).stdout
            self.assertNotIn("PATH", dynamic, "no run path: log4cxx is the system's")

    def test_starts_once_the_component_is_beside_it(self):
        folder = os.path.join(self.prefix, FOLDER)
        home = os.path.join(self.root, "home")
        os.makedirs(home, exist_ok=True)
        # Without the run object (on Windows with the maker's assembly): the message, -1.
        for name in COMPONENT_FILES[1:]:
            shutil.copy2(os.path.join(BIN_DIR, name), folder)
        result = start(folder, "--exit-code=7", home=home, trace="+relay")
        self.assertEqual(result.returncode, 255, result.stderr.decode(errors="replace"))
        self.assertEqual(result.stdout, b"")
        if WINDOWS:
            calls = wine.MESSAGE_BOX_CALL.findall(result.stderr)
            self.assertEqual(len(calls), 1, result.stderr.decode(errors="replace"))
            self.assertEqual(wine.unescape_debugstr(calls[0][1]),
                             FATAL_MESSAGE.rstrip("\n").encode("cp932"))
        else:
            self.assertTrue(result.stderr.decode().endswith(FATAL_MESSAGE), result.stderr)
        shutil.copy2(os.path.join(BIN_DIR, RUN_OBJECT), folder)
        result = start(folder, "--exit-code=7", home=home)
        self.assertEqual(result.returncode, 7, result.stderr.decode(errors="replace"))
        self.assertTrue(result.stdout.startswith(b"AppRun: show=10 cmdline="), result.stdout)


if not PACKAGE:
    del ReleaseArchive  # this build makes no release archive


def setUpModule():
    if WINDOWS:
        wine.setUpModule()  # Wine's relay trace of MessageBoxA, for the message case


if __name__ == "__main__":
    unittest.main()
