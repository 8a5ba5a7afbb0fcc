"""The launcher as a user starts it: exit codes, the command line that reaches the run object
(under Windows through the embedded manifest, with nothing registered, also under English
formats over code page 932), every way activation can fail, and the environments a new user's
machine may have: closed standard streams, a reader that went away, no /proc, Shift_JIS and
EUC-JP locales."""

import os
import re
import shutil
import subprocess
import sys
import tempfile

from harness import FATAL_MESSAGE, LINUX, RECORD, WINDOWS, Scenario, on


class RunObjectHandOff(Scenario):
    def test_exit_code_is_what_run_returns(self):
        launcher = self.host.built_launcher
        for requested, status in (("0", 0), ("7", 7), ("-5", 251)):
            with self.subTest(requested=requested):
                argument = "--exit-code=" + requested
                result = self.start(launcher, argument)
                self.assertRunObjectGot(result, launcher, [argument], status)

    def test_folder_with_spaces_and_japanese_characters(self):
        # 表 and ソ end in 0x5C in Shift_JIS.
        deployment = self.deploy("会計 連携/表ソ bin")
        arguments = ["C:\\Program Files\\Orvane\\帳簿.dat", "消費税申告 2026", "", 'say "hi"',
                     "--exit-code=3"]
        result = self.start(deployment.launcher, *arguments)
        command_line = self.assertRunObjectGot(result, deployment.launcher, arguments, 3)
        self.assertIn(' "C:\\Program Files\\Orvane\\帳簿.dat" ', command_line)

    @on(LINUX)
    def test_arguments_reach_run_intact(self):
        arguments = ["C:\\Program Files\\Orvane\\帳簿.dat", "", "two  spaces", 'say "hi"',
                     "trailing\\", "\\\\server\\share\\", "消費税申告 2026", "--exit-code=3"]
        result = self.start(self.host.built_launcher, *arguments)
        self.assertRunObjectGot(result, self.host.built_launcher, arguments, 3)

    @on(LINUX)
    def test_a_32_kilobyte_command_line(self):
        arguments = ["x" * 1000 + str(i) for i in range(33)]
        result = self.start(self.host.built_launcher, *arguments)
        self.assertGreater(len(result.stdout), 32 * 1024)
        self.assertRunObjectGot(result, self.host.built_launcher, arguments)

    @on(WINDOWS)
    def test_characters_outside_code_page_932_survive(self):
        # The run object gets the command line as Windows holds it, in UTF-16: Hangul and 𠮷
        # (a surrogate pair), which Shift_JIS lacks, arrive as they were typed.
        arguments = ["한表", "𠮷野 家"]
        result = self.start(self.host.built_launcher, *arguments)
        self.assertRunObjectGot(result, self.host.built_launcher, arguments, 0)

    @on(WINDOWS)
    def test_english_formats_over_code_page_932(self):
        deployment = self.deploy("会計 連携/表ソ bin")
        arguments = ["表示.txt", "帳簿 2026", "--exit-code=4"]
        result = self.start(deployment.launcher, *arguments,
                            env_extra=self.host.ENGLISH_FORMATS)
        self.assertRunObjectGot(result, deployment.launcher, arguments, 4)

    @on(WINDOWS)
    def test_the_class_is_found_through_the_manifest_only(self):
        query = self.host.run("reg", "query", "HKCR\\CLSID\\{1368DB73-5337-4934-BDD1-5BD251843AFE}")
        self.assertNotEqual(query.returncode, 0, "the run object's class is registered")


@on(LINUX)
class StartedFromElsewhere(Scenario):
    """The run object beside the executable file itself answers, however it was started."""

    def decoy_folder(self, name):
        """A folder holding a file of the run object's name that is no library."""
        folder = os.path.join(self.root, name)
        os.makedirs(folder)
        with open(os.path.join(folder, self.host.RUN_OBJECT), "w") as planted:
            planted.write("not a library")
        return folder

    def test_run_object_comes_from_the_executables_folder_only(self):
        # A file of the run object's name in the current folder or on the library path is
        # never what gets loaded.
        deployment = self.deploy()
        decoy = self.decoy_folder("decoy")
        result = self.start(deployment.launcher, cwd=decoy, env_extra={"LD_LIBRARY_PATH": decoy})
        self.assertRunObjectGot(result, deployment.launcher, [])

    def test_started_through_the_search_path(self):
        deployment = self.deploy()
        path = deployment.folder + os.pathsep + os.environ.get("PATH", "")
        result = self.start("launcher", "--exit-code=4", env_extra={"PATH": path})
        self.assertRunObjectGot(result, "launcher", ["--exit-code=4"], 4)

    def test_started_through_a_link_in_another_folder(self):
        # Never a file beside the link, however the link is named when started.
        deployment = self.deploy()
        elsewhere = self.decoy_folder("elsewhere")
        link = os.path.join(elsewhere, "launcher")
        os.symlink(deployment.launcher, link)
        for started in (link, "./launcher"):
            with self.subTest(started=started):
                result = self.start(started, "--exit-code=6", cwd=elsewhere)
                self.assertRunObjectGot(result, started, ["--exit-code=6"], 6)


class ActivationFailure(Scenario):
    def start_failing(self, deployment, *arguments, **options):
        return self.start(deployment.launcher, *arguments, trace=self.host.fatal_trace,
                          **options)

    def test_run_object_missing(self):
        # The line is headed by the program's own name, whatever the launcher is called.
        deployment = self.deploy(program="TaxLink", run_object=None)
        result = self.start_failing(deployment, "--exit-code=7")
        self.assertActivationFailed(result, deployment.run_object_path, 0x8007007E,
                                    "does not exist", program="TaxLink")

    @on(WINDOWS)
    def test_the_message_in_code_page_932_under_english_formats(self):
        deployment = self.deploy(run_object=None)
        result = self.start_failing(deployment, env_extra=self.host.ENGLISH_FORMATS)
        self.host.assertFatalShownOnce(self, result)

    @on(WINDOWS)
    def test_executable_without_the_assembly_its_manifest_depends_on(self):
        # Windows builds no activation context at all then, so no class can be found.
        deployment = self.deploy(dependent_assembly=False)
        result = self.start_failing(deployment, "--exit-code=7")
        self.host.assertFatalShownOnce(self, result)

    def test_run_object_files_that_cannot_create_the_object(self):
        not_a_library = os.path.join(self.root, "not a library" + self.host.LIBRARY_SUFFIX)
        with open(not_a_library, "w") as text:
            text.write("MZ? not really\n")
        fixture = self.host.fixture
        servers = {
            "not a library": (not_a_library, 0x8007007E, None),
            "no DllGetClassObject": (fixture("faulty_server_no_class_object"), 0x800401F9,
                                     "DllGetClassObject"),
            "another class": (fixture("faulty_server_wrong_class"), 0x80040111, None),
            "no IAppRun": (fixture("faulty_server_no_interface"), 0x80004002, None),
            "success without an object": (fixture("faulty_server_no_object"), 0x80004003,
                                          "reported success but gave no"),
        }
        for index, (fault, (server, code, reason)) in enumerate(servers.items()):
            with self.subTest(fault=fault):
                deployment = self.deploy("app%d" % index, run_object=server)
                result = self.start_failing(deployment)
                self.assertActivationFailed(result, deployment.run_object_path, code, reason)

    @on(WINDOWS)
    def test_the_reason_goes_to_the_debug_output_before_the_box(self):
        # DebugView shows it while the box waits: the code, the file that the manifest names
        # for the run object, its state, and the system's text for the code.
        not_a_library = os.path.join(self.root, "not a library.dll")
        with open(not_a_library, "w") as text:
            text.write("a text file under the run object's name\n")
        there = "the file is there but could not be loaded: "
        cases = {
            "run object missing": (None, "the file does not exist; "),
            "a text file under its name": (not_a_library, there + "it is no Windows library"),
            "a library it depends on missing": (
                self.host.fixture("faulty_server_missing_dependency"),
                there + "a library it depends on is missing (error 126"),
        }
        for index, (fault, (server, state)) in enumerate(cases.items()):
            with self.subTest(fault=fault):
                deployment = self.deploy("app%d" % index, run_object=server)
                result = self.start(deployment.launcher, trace=self.host.fatal_reason_trace)
                line, code = self.host.assertReasonBeforeFatal(self, result)
                looked_for = "): looked for %s: " % self.host.shown(deployment.run_object_path)
                self.assertIn(looked_for, line)
                self.assertTrue(line.split(looked_for, 1)[1].startswith(state), line)
                if server is None:  # a line short enough for the trace to keep it whole
                    self.assertRegex(line, "; the system's message for %s: .+" % code)

    @on(LINUX)
    def test_names_the_file_and_the_real_reason(self):
        cases = {
            "a folder": (os.makedirs, "it is a folder, not a file"),
            "a FIFO": (os.mkfifo, "it is not a regular file"),
        }
        for index, (what, (make, reason)) in enumerate(cases.items()):
            with self.subTest(run_object=what):
                deployment = self.deploy("odd%d" % index, run_object=None)
                make(deployment.run_object_path)
                result = self.start_failing(deployment)
                self.assertActivationFailed(result, deployment.run_object_path, 0x8007007E,
                                            reason)


@on(LINUX)
class StandardStreams(Scenario):
    """Closed standard streams must not hand their numbers to the log file."""

    def log_lines(self):
        logs = [os.path.join(folder, name) for folder, _, names in
                os.walk(os.path.join(self.home, "Documents", "Orvane", "SystemLog"))
                for name in names if name.endswith(".txt")]
        self.assertEqual(len(logs), 1, logs)
        with open(logs[0], "rb") as log:
            return log.read().decode("utf-8").splitlines()

    def start_with_closed(self, descriptors, *arguments, run_object=True):
        """A start in a deployment and home of its own with `descriptors` closed."""
        name = "closed" + "".join(map(str, descriptors))
        self.home = os.path.join(self.root, name + "-home")
        os.makedirs(self.home)
        deployment = self.deploy(name, run_object=run_object)
        return subprocess.run([deployment.launcher, *arguments],
                              env=self.host.environment(self.home), stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=60,
                              preexec_fn=lambda: [os.close(fd) for fd in descriptors])

    def test_closed_streams_never_write_into_the_log(self):
        for descriptors in ((0,), (1,), (2,), (0, 1, 2)):
            with self.subTest(closed=descriptors):
                result = self.start_with_closed(descriptors, "--exit-code=7")
                self.assertEqual(result.returncode, 7)
                lines = self.log_lines()
                self.assertEqual(len(lines), 1, lines)
                self.assertRegex(lines[0], RECORD)

    def test_the_fatal_message_never_goes_into_the_log(self):
        result = self.start_with_closed((2,), run_object=None)
        self.assertEqual(result.returncode, 255)
        self.assertEqual(self.log_lines(), [])

    def test_a_reader_that_went_away_does_not_end_the_start(self):
        # The run object's output fails with EPIPE; its result and its log record still count.
        reader, writer = os.pipe()
        os.close(reader)
        try:
            deployment = self.deploy()
            result = subprocess.run([deployment.launcher, "--exit-code=7"], stdout=writer,
                                    stderr=subprocess.PIPE, env=self.host.environment(self.home),
                                    timeout=60)
        finally:
            os.close(writer)
        self.assertEqual(result.returncode, 7, "ended by a signal" if result.returncode < 0 else "")
        self.assertEqual(len(self.log_lines()), 1)


# Starts the launcher with /proc hidden behind an empty file system, as in a chroot without
# it; a fresh mount namespace keeps the rest of the machine untouched. Only an environ file
# is put back: the sanitizer runtime of the sanitizer build reads its options from there.
WITHOUT_PROC = ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                'mount -t tmpfs none /proc && mkdir /proc/self && env -0 >/proc/self/environ'
                ' && exec "$@"', "sh"]
# What the sanitizer runtime says when it cannot read its own file's name there.
SANITIZER_WITHOUT_PROC = re.compile(rb"==\d+==WARNING: reading executable name failed[^\n]*\n")
# Starts a program from an open descriptor (fexecve) with the start name given: the kernel
# then knows the program only as /dev/fd/N, which leads nowhere without /proc.
FROM_DESCRIPTOR = [sys.executable, "-c",
                   "import os, sys\n"
                   "descriptor = os.open(sys.argv[1], os.O_RDONLY)\n"
                   "os.execve(descriptor, sys.argv[2:], os.environ)\n"]


@on(LINUX)
class WithoutProc(Scenario):
    def run_without_proc(self, command, cwd, env_extra=None):
        env = self.host.environment(self.home, env_extra)
        # The sanitizer build's leak checker stops the process through /proc to look at it;
        # without /proc it can only fail. The other checks still run.
        env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
        result = subprocess.run([*WITHOUT_PROC, *command], capture_output=True, timeout=60,
                                env=env, cwd=cwd)
        self.assertNotIn(b"unshare:", result.stderr, "a mount namespace is needed (run as root)")
        self.assertNotIn(b"mount:", result.stderr, "a mount namespace is needed (run as root)")
        result.stderr = SANITIZER_WITHOUT_PROC.sub(b"", result.stderr)
        return result

    def test_the_launcher_finds_its_own_folder_from_how_it_was_started(self):
        deployment = self.deploy("会計 連携")
        path = deployment.folder + os.pathsep + os.environ.get("PATH", "")
        starts = {
            "absolute path": ([deployment.launcher], deployment.launcher, None),
            "relative path": (["./launcher"], "./launcher", deployment.folder),
            "search path": (["launcher"], "launcher", self.root),
            "start name only": ([*FROM_DESCRIPTOR, deployment.launcher, "launcher"], "launcher",
                                self.root),
        }
        for how, (command, head, cwd) in starts.items():
            with self.subTest(how=how):
                result = self.run_without_proc([*command, "--exit-code=5"], cwd=cwd,
                                               env_extra={"PATH": path})
                self.assertRunObjectGot(result, head, ["--exit-code=5"], 5)
                properties = os.path.join(self.home, "Documents", "Orvane", "SystemLog",
                                          "launcher.ini")
                self.assertTrue(os.path.exists(properties), "logging under the program's name")
                os.remove(properties)

    def test_a_launcher_that_cannot_find_itself_loads_nothing(self):
        # A working run object in the current folder is exactly what must not be picked up.
        deployment = self.deploy()
        shutil.copy2(deployment.run_object_path, self.root)
        result = self.run_without_proc([*FROM_DESCRIPTOR, deployment.launcher, "ghost"],
                                       cwd=self.root)
        # Without its own path the launcher has no program name either.
        self.assertActivationFailed(result, self.host.RUN_OBJECT, 0x8007007E,
                                    "own folder cannot be found", program="")
        self.assertNotIn("/" + self.host.RUN_OBJECT, result.stderr.decode("utf-8"))


@on(LINUX)
class LocaleCodeSets(Scenario):
    """The locale's own code set is the ANSI code page: arguments come in it, messages go out
    in it, and its double-byte characters are never split at a 0x5C second byte."""

    @classmethod
    def setUpClass(cls):
        cls.locales = tempfile.mkdtemp(prefix="launcher-locales-")
        for name, charmap in (("ja_JP.SJIS", "SHIFT_JIS"), ("ja_JP.eucJP", "EUC-JP")):
            subprocess.run(["localedef", "--no-warnings=ascii", "-i", "ja_JP", "-f", charmap,
                            os.path.join(cls.locales, name)], check=True, capture_output=True)
        # glibc's newlocale keeps the list it builds from LOCPATH (Debian 12's glibc 2.36):
        # the leak checker of the sanitizer build is told so, and nothing else. (GCC's runtime
        # names the frame __argz_add_sep, clang's argz_add_sep: the pattern matches both.)
        cls.leak_suppressions = os.path.join(cls.locales, "lsan.supp")
        with open(cls.leak_suppressions, "w") as suppressions:
            suppressions.write("leak:argz_add_sep\n")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.locales)

    def run_in(self, locale, launcher, *arguments, encoding):
        env = {"LOCPATH": self.locales, "LC_ALL": locale,
               "LSAN_OPTIONS": "print_suppressions=0:suppressions=" + self.leak_suppressions}
        return self.start(launcher, *(argument.encode(encoding) for argument in arguments),
                          env_extra=env)

    def test_arguments_and_messages_in_the_locales_code_set(self):
        for locale, encoding in (("ja_JP.SJIS", "cp932"), ("ja_JP.eucJP", "euc_jp")):
            with self.subTest(locale=locale):
                deployment = self.deploy(locale)
                # 表 and ソ end in 0x5C in Shift_JIS.
                arguments = ["a 表", "second", "帳簿", "ソ\\", '表"ソ', "--exit-code=3"]
                result = self.run_in(locale, deployment.launcher, *arguments, encoding=encoding)
                self.assertRunObjectGot(result, deployment.launcher, arguments, 3)

                os.remove(deployment.run_object_path)
                result = self.run_in(locale, deployment.launcher, encoding=encoding)
                self.assertEqual(result.returncode, 255)
                # The reason first, then the message.
                self.assertTrue(result.stderr.endswith((FATAL_MESSAGE + "\n").encode(encoding)),
                                result.stderr)
