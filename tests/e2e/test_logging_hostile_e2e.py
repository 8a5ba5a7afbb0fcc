"""Logging set-up on a hostile day: several processes logging into one daily file across the
size limit, a shared settings file that refers to itself, FIFOs and planted links where files
should be, names that look like variables, a log root that cannot be written. Each case
starts the real launcher with the real log4cxx; the run object's result must always stand."""

import os
import pwd
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from test_launcher_e2e import FIXTURE_DIR, LOG4CXX, launcher_env
from test_logging_e2e import LoggingTestCase, as_unprivileged_user, expected_properties, today

LOG_BURST_SERVER = os.path.join(FIXTURE_DIR, "log_burst_server.so")
MAX_FILE_SIZE = 5 * 1024 * 1024  # the generated file's 5MB, as log4cxx reads it
HANG = 20  # seconds: a start that waits on a FIFO never ends, one that does not takes far less


class HostileTestCase(LoggingTestCase):
    def use_log_burst_server(self):
        os.remove(self.app.run_object_path)
        os.symlink(LOG_BURST_SERVER, self.app.run_object_path)

    def popen(self, *arguments):
        return subprocess.Popen([self.app.launcher, *arguments], stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, env=launcher_env(self.home))

    def log_file(self):
        return expected_properties(self.log_root(), "launcher", today())[1]

    def messages(self, path):
        """The message of every record in the file ("<tag> <number>" for the burst server)."""
        return messages_of(self.read(path)) if os.path.exists(path) else []


def earlier_records(size):
    """Records of the day logged before the test, in the file's own format, `size` bytes."""
    line = "2026-01-01 00:00:00 [ INFO] earlier.cpp(1) Earlier - earlier %07d\n"
    count = size // len(line % 0) - 1
    records = "".join(line % n for n in range(count))
    last = line % count
    return (records + last[:-1] + "x" * (size - len(records) - len(last)) + "\n").encode()


def messages_of(text):
    return [line.split(" - ", 1)[1] for line in text.decode("utf-8").splitlines()]


class ProcessesCrossingTheRollover(HostileTestCase):
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

    def kept(self):
        log_file = self.log_file()
        return self.messages(log_file + ".1") + self.messages(log_file)

    def test_two_long_lived_run_objects_keep_every_record(self):
        # 4 MiB logged earlier today, then two run objects at once log 15,000 records each
        # (about 1.5 MB apiece): the file is rolled over once, and the file with its one
        # backup still holds every record, the earlier ones included.
        self.use_log_burst_server()
        earlier = self.fill_the_days_file(4 * 1024 * 1024)
        go = os.path.join(self.root, "go")
        records = 15000
        starts = [self.popen(f"--wait-for={go}", f"--records={records}", f"--tag={tag}")
                  for tag in ("first", "second")]
        time.sleep(0.5)
        open(go, "w").close()
        for start in starts:
            self.assertEqual(start.wait(timeout=300), 0, start.stderr.read())
            start.stderr.close()

        self.assertTrue(self.read(self.log_file() + ".1").startswith(earlier),
                        "the backup holds the day's earlier records")
        self.assertEqual(sorted(self.kept()),
                         sorted(messages_of(earlier) + [f"{tag} {n}" for tag in ("first", "second")
                                 for n in range(records)]))

    def test_sixteen_starts_at_the_size_limit(self):
        # The day's file lacks 50 bytes of its limit: the first record fills it, the next
        # one rolls it over, once; every later record goes into the new file. Records are
        # appended without a lock, so every start that looked at the file before the first
        # record landed may add one record of its own before the rollover: at most 16.
        self.use_log_burst_server()
        for round_number in range(5):
            with self.subTest(round=round_number):
                earlier = self.fill_the_days_file(MAX_FILE_SIZE - 50)
                starts = [self.popen(f"--records=3", f"--tag=start{n}", f"--exit-code={n}")
                          for n in range(16)]
                statuses = [start.wait(timeout=60) for start in starts]
                for start in starts:
                    start.stderr.close()
                self.assertEqual(statuses, list(range(16)))
                backup = self.read(self.log_file() + ".1")
                self.assertTrue(backup.startswith(earlier), "the day's backup is kept")
                self.assertIn(backup.count(b"\n") - earlier.count(b"\n"), range(1, 17),
                              "rolled over right after the records that filled the file")
                ours = [m for m in self.kept() if m.startswith("start")]
                self.assertEqual(sorted(ours),
                                 sorted(f"start{n} {r}" for n in range(16) for r in range(3)))


class AStoppedProcessHoldingTheLock(HostileTestCase):
    def test_a_start_neither_waits_for_it_nor_loses_a_record(self):
        # The day's file is full, so the first record would roll it over; the process that
        # holds the lock goes on no more. The start appends without rolling over and ends
        # while the lock is still held.
        self.use_log_burst_server()
        log_file = self.log_file()
        os.makedirs(os.path.dirname(log_file))
        earlier = earlier_records(MAX_FILE_SIZE)
        with open(log_file, "wb") as file:
            file.write(earlier)
        marker = os.path.join(self.root, "locked")
        holder = subprocess.Popen(["flock", "-x", log_file, "sh", "-c",
                                   f"touch '{marker}'; exec sleep 60"], start_new_session=True)
        self.addCleanup(holder.wait)
        self.addCleanup(os.killpg, holder.pid, 9)
        for _ in range(1000):
            if os.path.exists(marker):
                break
            time.sleep(0.01)

        start = self.popen("--records=3", "--tag=held", "--exit-code=6")
        self.assertEqual(start.wait(timeout=30), 6, start.stderr.read())
        start.stderr.close()
        self.assertIsNone(holder.poll(), "the lock is still held")
        self.assertTrue(self.read(log_file).startswith(earlier))
        self.assertEqual(self.messages(log_file)[-3:], ["held 0", "held 1", "held 2"])
        self.assertFalse(os.path.exists(log_file + ".1"))


class SharedSettingsThatWouldBringLog4cxxDown(HostileTestCase):
    def test_cyclic_reference_leaves_log4cxx_unconfigured(self):
        log_root = self.log_root()
        os.makedirs(log_root)
        cases = {
            "itself": "log4j.rootLogger=${log4j.rootLogger}\n",
            "through another": "log4j.rootLogger=${a}\na=INFO${b}\nb=${a}\n",
            "growing without bound": "log4j.rootLogger=${v0}\n" + "".join(
                f"v{n}=${{v{n + 1}}}${{v{n + 1}}}\n" for n in range(40)) + "v40=xx\n",
        }
        for name, text in cases.items():
            with self.subTest(name):
                with open(os.path.join(log_root, "OvDefault.ini"), "w") as shared:
                    shared.write(text)
                result = self.start("--exit-code=4")
                self.assertEqual(result.returncode, 4, result.stderr)
                self.assertTrue(result.stdout.startswith(b"AppRun: show=10 cmdline="))
                # One line of ours says why; log4cxx's own complaints about the missing
                # configuration may follow when the run object logs.
                ours = [line for line in result.stderr.decode().splitlines()
                        if not line.startswith("log4cxx: ")]
                self.assertEqual(len(ours), 1, result.stderr)
                self.assertIn("OvDefault.ini", ours[0])
                self.assertEqual(os.listdir(log_root), ["OvDefault.ini"])


class FifosWhereFilesShouldBe(HostileTestCase):
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
                self.assertEqual(result.returncode, 9, result.stderr)
                self.assertTrue(result.stdout.startswith(b"AppRun: show=10 cmdline="))

    def start(self, *arguments, timeout):
        return subprocess.run([self.app.launcher, *arguments], capture_output=True,
                              env=launcher_env(self.home), timeout=timeout)


class PlantedLinks(HostileTestCase):
    def plant_victim(self):
        """The log root, and a file of someone else's that anybody may write."""
        log_root = self.log_root()
        os.makedirs(log_root)
        victim = os.path.join(self.root, "victim")
        with open(victim, "w") as file:
            file.write("precious")
        os.chmod(victim, 0o666)
        return log_root, victim

    def test_link_at_the_temporary_name_is_not_followed(self):
        # The temporary file's name used to be "<name>.ini.<pid>.tmp": a link planted there by
        # the process that is about to become the launcher catches a predictable write.
        log_root, victim = self.plant_victim()
        properties = os.path.join(log_root, "launcher.ini")

        def plant():
            os.symlink(victim, f"{properties}.{os.getpid()}.tmp")

        result = subprocess.run([self.app.launcher, "--exit-code=3"], capture_output=True,
                                env=launcher_env(self.home), preexec_fn=plant, timeout=60)
        self.assertEqual(result.returncode, 3, result.stderr)
        self.assertEqual(self.read(victim), b"precious")
        self.assertEqual(self.read(properties),
                         expected_properties(log_root, "launcher", today())[0])

    def test_writing_in_place_does_not_follow_a_link(self):
        # A log root where no new file can be made forces the write in place; the properties
        # file there is a link to someone else's file.
        log_root, victim = self.plant_victim()
        os.symlink(victim, os.path.join(log_root, "launcher.ini"))
        os.makedirs(os.path.join(log_root, "launcher"))
        os.chmod(log_root, 0o555)
        result = subprocess.run([*as_unprivileged_user(), self.app.launcher, "--exit-code=3"],
                                capture_output=True, env=launcher_env(self.home), timeout=60)
        self.assertEqual(result.returncode, 3, result.stderr)
        self.assertEqual(self.read(victim), b"precious")


class NamesThatLookLikeVariables(HostileTestCase):
    def test_home_variable_in_the_program_name_is_kept_literally(self):
        renamed = os.path.join(self.app.folder, "a${HOME}b")
        os.rename(self.app.launcher, renamed)
        self.app.launcher = renamed
        result = self.start("x")
        self.assertEqual(result.returncode, 0, result.stderr)
        log_root = self.log_root()
        expected, log_file = expected_properties(log_root, "a${HOME}b", today())
        self.assertEqual(self.read(os.path.join(log_root, "a${HOME}b.ini")), expected)
        self.assertEqual(self.records(log_file), [renamed + " x"])
        self.assertEqual(sorted(os.listdir(log_root)), ["a${HOME}b", "a${HOME}b.ini"])


class FailuresThatCannotBeRetriedAway(HostileTestCase):
    def test_unwritable_log_root_costs_no_retry_sleep(self):
        log_root = self.log_root()
        os.makedirs(log_root)
        os.chmod(log_root, 0o555)
        trace = os.path.join(self.root, "trace")
        # The sanitizer build's leak check cannot run under a tracer.
        without_leak_check = {"ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "") +
                              ":detect_leaks=0"}
        result = subprocess.run(
            ["strace", "-f", "-qq", "-e", "trace=nanosleep,clock_nanosleep", "-o", trace,
             *as_unprivileged_user(), self.app.launcher, "--exit-code=5"],
            capture_output=True, env=launcher_env(self.home, without_leak_check), timeout=60)
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
        text, log_file = expected_properties(log_root, "launcher", today())
        other_log = os.path.join(elsewhere, "other.txt")
        text = text.replace(log_file.encode(), other_log.encode())
        properties = os.path.join(log_root, "launcher.ini")
        with open(properties, "wb") as file:
            file.write(text)
        os.chmod(properties, 0o444)
        os.chmod(log_root, 0o555)
        result = subprocess.run([*as_unprivileged_user(), self.app.launcher, "x"],
                                capture_output=True, env=launcher_env(self.home), timeout=60)
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


class NoDocumentsFolder(HostileTestCase):
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
        for name in ("launcher", "OvTaxLinkRun.so"):
            shutil.copy2(os.path.join(self.app.folder, name), os.path.join(new_root, "app"))
        # A build against a log4cxx of its own keeps it beside the launcher, as deployed.
        for library in LOG4CXX:
            shutil.copy2(library, os.path.join(new_root, "app"))
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


if __name__ == "__main__":
    unittest.main()
