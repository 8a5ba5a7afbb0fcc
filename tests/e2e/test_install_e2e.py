"""What `cmake --install` lays out is a deployment that starts: the launcher and, on Windows,
the DLLs it loads, side by side, the text of what the component adds beside them and, on
Windows, the licence and notice texts of the third-party code inside them; never the sample run
object, the stand-in assembly or a test program. The component's own files (its run object; on
Windows also the maker's assembly that the manifest depends on) are added to it as a real
deployment adds them. The release archive that `cmake --build <build> --target package` makes
from the same rules holds exactly that, and, unpacked into an empty folder with the component's
files added, starts.

Reads from the environment LAUNCHER_CMAKE (the cmake program), LAUNCHER_BUILD_DIR (the build to
install) and LAUNCHER_PACKAGE (the release archive that the build makes; empty for a build that
makes none: a sanitizer build, a Linux build against a log4cxx of its own)."""

import os
import shutil
import subprocess
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile

from harness import WINDOWS, Scenario

CMAKE = os.environ["LAUNCHER_CMAKE"]
BUILD_DIR = os.environ["LAUNCHER_BUILD_DIR"]
PACKAGE = os.environ.get("LAUNCHER_PACKAGE", "")
MANIFEST = os.path.join(BUILD_DIR, "launcher", "launcher.manifest")
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"

# The texts that go with log4cxx.dll (and the libraries linked into it) and with mingw-w64's
# runtime, linked into every binary, and how each begins or what it names.
WINDOWS_NOTICES = {
    "licenses/apache-log4cxx-1.8.0/LICENSE": "Apache License",
    "licenses/apache-log4cxx-1.8.0/NOTICE": "Apache log4cxx\n",
    "licenses/apr-1.7.4/LICENSE": "Apache License",
    "licenses/apr-1.7.4/NOTICE": "Apache Portable Runtime\n",
    "licenses/apr-util-1.6.3/LICENSE": "Apache License",
    "licenses/apr-util-1.6.3/NOTICE": "Apache Portable Runtime Utility Library\n",
    "licenses/expat-2.6.2/COPYING": "Copyright (c) 1998-2000 Thai Open Source Software Center",
    "licenses/mingw-w64-runtime/copyright": "winpthreads",
}


class Layout:
    """Where a deployment's files lie below the install prefix (on Windows all in one folder),
    and which files are the component's own."""

    def __init__(self, host):
        windows = host.target == WINDOWS
        self.windows = windows
        self.launcher = host.program_file("launcher")
        self.run_object = host.RUN_OBJECT
        self.component_files = [host.RUN_OBJECT] + ([host.DEPENDENT_ASSEMBLY] if windows else [])
        self.folder = "" if windows else "bin"
        self.deployment_text = ("DEPLOYMENT.txt" if windows
                                else "share/doc/orvane-taxlink-launcher/DEPLOYMENT.txt")
        self.notices = WINDOWS_NOTICES if windows else {}


def manifest_names(windows):
    """The files that the launcher's manifest names beside it: every in-process server file
    (a Linux build loads the .so of each .dll) and, on Windows, the dependent assembly's
    manifest, without which Windows does not start the program at all."""
    assembly = ElementTree.parse(MANIFEST).getroot()
    names = [element.get("name") for element in assembly.iter(ASM_V1 + "file")]
    if not windows:
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


class DeploymentChecks(Scenario):
    def setUp(self):
        super().setUp()
        self.layout = Layout(self.host)

    def start(self, folder, *arguments, **options):
        return super().start(os.path.join(folder, self.layout.launcher), *arguments, **options)

    def assertIsADeployment(self, files, root):
        """The launcher (on Windows with the DLLs it loads), its text and its notices, and
        nothing else: no sample, no stand-in, no test program."""
        launcher = "/".join(filter(None, [self.layout.folder, self.layout.launcher]))
        expected_texts = {self.layout.deployment_text, *self.layout.notices}
        self.assertIn(launcher, files)
        for name in files:
            with self.subTest(file=name):
                if name == launcher or name in expected_texts:
                    continue
                # On Windows the DLLs it loads beside it; on Linux log4cxx and the C++ runtime
                # come with the system's packages.
                self.assertTrue(self.layout.windows, "only the launcher and its texts")
                self.assertEqual(os.path.dirname(name), self.layout.folder)
                self.assertTrue(name.lower().endswith(".dll"))
                self.assertNotIn(os.path.basename(name), self.layout.component_files)
        for name, beginning in {self.layout.deployment_text: "Orvane TaxLink launcher", **self.layout.notices}.items():
            with self.subTest(text=name):
                self.assertIn(name, files)
                with open(os.path.join(root, name), encoding="utf-8") as text:
                    self.assertIn(beginning, text.read(50000))
        with open(os.path.join(root, self.layout.deployment_text), encoding="utf-8") as text:
            what_to_add = text.read()
        for name in self.layout.component_files:
            self.assertIn(name, what_to_add)


class Installation(DeploymentChecks):
    def setUp(self):
        super().setUp()
        self.prefix = os.path.join(self.root, "prefix")
        install(self.prefix)

    def test_the_launcher_what_it_loads_and_their_texts_only(self):
        self.assertIsADeployment(files_below(self.prefix), self.prefix)

    def test_whatever_the_manifest_names_that_this_build_ships_is_installed(self):
        # The build's run object and assembly are stand-ins for the component's own, which a
        # deployment adds; anything else named there that the build makes must be installed.
        names = manifest_names(self.layout.windows)
        self.assertIn(self.layout.run_object, names)
        installed = set(os.listdir(os.path.join(self.prefix, self.layout.folder)))
        for name in names:
            with self.subTest(file=name):
                if name in self.layout.component_files:
                    self.assertNotIn(name, installed, "the component supplies its own")
                elif os.path.exists(os.path.join(self.host.bin_dir, name)):
                    self.assertIn(name, installed)

    def test_the_installed_launcher_starts_the_component(self):
        folder = os.path.join(self.prefix, self.layout.folder)
        for name in self.layout.component_files:
            shutil.copy2(os.path.join(self.host.bin_dir, name), folder)
        self.assertRunObjectRan(self.start(folder, "--exit-code=7"), 7)


class ReleaseArchive(DeploymentChecks):
    """The archive as the package target leaves it in the build folder, unpacked into an empty
    folder: the ZIP's one top folder, or what the Debian package installs into /opt."""

    @classmethod
    def setUpClass(cls):
        cls.release_root = tempfile.mkdtemp(prefix="launcher-release-")
        if os.path.exists(PACKAGE):
            os.unlink(PACKAGE)
        made = subprocess.run([CMAKE, "--build", BUILD_DIR, "--target", "package"],
                              capture_output=True, timeout=600)
        assert made.returncode == 0, made.stdout.decode(errors="replace")[-3000:]
        unpacked = os.path.join(cls.release_root, "unpacked")
        if cls.host.target == WINDOWS:
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
        cls.installed = os.path.join(cls.release_root, "installed")
        install(cls.installed)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.release_root)

    def test_holds_what_the_installation_lays_out(self):
        files = files_below(self.prefix)
        self.assertEqual(files, files_below(self.installed))
        self.assertIsADeployment(files, self.prefix)
        if not self.layout.windows:
            depends = subprocess.run(["dpkg-deb", "-f", PACKAGE, "Depends"], check=True,
                                     capture_output=True, text=True).stdout
            self.assertIn("liblog4cxx15", depends)
            launcher = os.path.join(self.prefix, self.layout.folder, self.layout.launcher)
            dynamic = subprocess.run(["readelf", "-d", launcher], check=True,
                                     capture_output=True, text=True).stdout
            self.assertNotIn("PATH", dynamic, "no run path: log4cxx is the system's")

    def test_starts_once_the_component_is_beside_it(self):
        folder = os.path.join(self.prefix, self.layout.folder)
        # Without the run object (on Windows with the maker's assembly): the message, -1.
        for name in self.layout.component_files[1:]:
            shutil.copy2(os.path.join(self.host.bin_dir, name), folder)
        result = self.start(folder, "--exit-code=7", trace=self.host.fatal_trace)
        self.host.assertFatalShownOnce(self, result)
        shutil.copy2(os.path.join(self.host.bin_dir, self.layout.run_object), folder)
        self.assertRunObjectRan(self.start(folder, "--exit-code=7"), 7)


if not PACKAGE:
    del ReleaseArchive  # this build makes no release archive

