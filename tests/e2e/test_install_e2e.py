"""What `cmake --install` lays out is a deployment that starts: the launcher and, on Windows,
the DLLs it loads, side by side, and never the sample run object or a test program. The
component's own files (its run object; on Windows also the maker's assembly that the manifest
depends on) are added to it as a real deployment adds them.

Reads from the environment LAUNCHER_CMAKE (the cmake program), LAUNCHER_BUILD_DIR (the build to
install), LAUNCHER_BIN_DIR (where the sample run object lies) and, for the Windows build,
LAUNCHER_EMULATOR (the command that runs a Windows program)."""

import os
import shlex
import shutil
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

CMAKE = os.environ["LAUNCHER_CMAKE"]
BUILD_DIR = os.environ["LAUNCHER_BUILD_DIR"]
BIN_DIR = os.environ["LAUNCHER_BIN_DIR"]
EMULATOR = shlex.split(os.environ.get("LAUNCHER_EMULATOR", ""))
WINDOWS = bool(EMULATOR)

LAUNCHER = "launcher.exe" if WINDOWS else "launcher"
RUN_OBJECT = "OvTaxLinkRun.dll" if WINDOWS else "OvTaxLinkRun.so"
COMPONENT_FILES = [RUN_OBJECT] + (["Orvane.CommonApp.CCProxy.manifest"] if WINDOWS else [])
MANIFEST = os.path.join(BUILD_DIR, "launcher", "launcher.manifest")
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"


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


class Installation(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="launcher-install-")
        self.addCleanup(shutil.rmtree, self.root)
        self.prefix = os.path.join(self.root, "prefix")
        installed = subprocess.run([CMAKE, "--install", BUILD_DIR, "--prefix", self.prefix],
                                   capture_output=True, timeout=120)
        self.assertEqual(installed.returncode, 0, installed.stderr.decode(errors="replace"))

    def installed_files(self):
        return sorted(os.path.relpath(os.path.join(folder, name), self.prefix)
                      for folder, _, names in os.walk(self.prefix) for name in names)

    def test_the_launcher_and_what_it_loads_only(self):
        files = self.installed_files()
        self.assertIn(os.path.join("bin", LAUNCHER), files)
        others = [name for name in files if name != os.path.join("bin", LAUNCHER)]
        if WINDOWS:
            # The DLLs it loads beside it, and nothing else: no sample, no test program.
            for name in others:
                with self.subTest(file=name):
                    self.assertEqual(os.path.dirname(name), "bin")
                    self.assertTrue(name.lower().endswith(".dll"))
                    self.assertNotEqual(os.path.basename(name), RUN_OBJECT)
        else:
            # log4cxx and the C++ runtime come with the system's packages.
            self.assertEqual(others, [])

    def test_whatever_the_manifest_names_that_this_build_ships_is_installed(self):
        # The build's run object and assembly are stand-ins for the component's own, which a
        # deployment adds; anything else named there that the build makes must be installed.
        names = manifest_names()
        self.assertIn(RUN_OBJECT, names)
        installed = set(os.listdir(os.path.join(self.prefix, "bin")))
        for name in names:
            with self.subTest(file=name):
                if name in COMPONENT_FILES:
                    self.assertNotIn(name, installed, "the component supplies its own")
                elif os.path.exists(os.path.join(BIN_DIR, name)):
                    self.assertIn(name, installed)

    def test_the_installed_launcher_starts_the_component(self):
        folder = os.path.join(self.prefix, "bin")
        for name in COMPONENT_FILES:
            shutil.copy2(os.path.join(BIN_DIR, name), folder)
        home = os.path.join(self.root, "home")
        os.makedirs(home)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env.update({"HOME": home, "LANG": "C.UTF-8"} if not WINDOWS else {"WINE_RUN_HOME": home})
        result = subprocess.run([*EMULATOR, os.path.join(folder, LAUNCHER), "--exit-code=7"],
                                capture_output=True, env=env, timeout=120)
        self.assertEqual(result.returncode, 7, result.stderr.decode(errors="replace"))
        self.assertTrue(result.stdout.startswith(b"AppRun: show=10 cmdline="), result.stdout)


if __name__ == "__main__":
    unittest.main()
