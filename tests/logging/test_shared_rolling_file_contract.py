"""What the shared rolling file promises to every process that logs through it, tried with
real processes (tests/logging/rolling_file_writer.cpp) on both systems: Linux natively, and
Windows under Wine when ROLLING_FILE_EMULATOR names the command that runs a Windows program.

- Processes started together across a rollover: no record missing, doubled or torn, and
  the live file within its limit; the same with more processes than cores while two busy
  loops keep the machine busy, for several rounds (ROLLING_FILE_BUSY_ROUNDS, 3 by default).
- A process that logged once and stays idle holds the backup while two rollovers pass.
- A process stopped while it holds the lock: a start finishes, with its records.
- The log's folder removed, or the log moved away (to the recycle bin, the trash), while a
  process runs: the records from then on go into a new log at the path.
- On Windows, another program holding the live log without delete sharing (a viewer, a sync
  agent, a scanner) while it passes its limit twice: no backup or record is lost, and the
  next rollover after it lets go happens.

Reads ROLLING_FILE_WRITER (the helper program), ROLLING_FILE_EMULATOR (optional) and, on
Windows, ROLLING_FILE_HOLDER (tests/logging/share_holder_win32.cpp)."""

import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

WRITER = os.environ["ROLLING_FILE_WRITER"]
EMULATOR = shlex.split(os.environ.get("ROLLING_FILE_EMULATOR", ""))
ON_WINE = bool(EMULATOR)
HOLDER = os.environ.get("ROLLING_FILE_HOLDER")
RECORD_SIZE = 100
# What a writer may append between two looks at its file (the README's bounds).
LOOK_AFTER_BYTES = 16 * 1024
RECORD = re.compile(r"^(\S+) (\d+) x+$")
BOUND = 120  # seconds: far more than any case needs, so that a hang fails instead of waits
BUSY_ROUNDS = int(os.environ.get("ROLLING_FILE_BUSY_ROUNDS", "3"))


def native(path):
    """The path as the helper program sees it: Wine shows the Unix root as drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\") if ON_WINE else path


def writer(*arguments):
    return subprocess.Popen([*EMULATOR, WRITER, *arguments], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)


def finished(process, timeout=BOUND):
    output, errors = process.communicate(timeout=timeout)
    return process.returncode, (output + errors).decode(errors="replace")


def wait_for(path, timeout=BOUND):
    deadline = time.monotonic() + timeout
    while not os.path.exists(path):
        if time.monotonic() > deadline:
            raise AssertionError(f"{path} never appeared")
        time.sleep(0.01)


def stop(process):
    if process.poll() is None and not ON_WINE:
        os.killpg(process.pid, 9)
    process.communicate(timeout=BOUND)


def record(tag, number):
    text = f"{tag} {number} "
    return text + "x" * (RECORD_SIZE - 1 - len(text)) + "\n"


class SharedRollingFileContract(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="rolling-contract-")
        self.addCleanup(shutil.rmtree, self.root, ignore_errors=True)
        self.log = os.path.join(self.root, "log", "day.txt")
        os.makedirs(os.path.dirname(self.log))

    def write(self, maximum, tag, count, *waits):
        return writer("write", native(self.log), str(maximum), tag, str(count),
                      *("-" if path is None else native(path) for path in waits))

    def assertWrote(self, process, timeout=BOUND):
        status, output = finished(process, timeout)
        self.assertEqual(status, 0, output)

    def records(self, path):
        """The records of a file as (tag, number), each checked whole."""
        if not os.path.exists(path):
            return []
        with open(path, "rb") as file:
            text = file.read().decode()
        self.assertTrue(text == "" or text.endswith("\n"), f"{path} ends in a whole record")
        lines = text.splitlines(keepends=True)
        for line in lines:
            self.assertEqual(len(line), RECORD_SIZE, f"torn record in {path}: {line!r}")
            self.assertRegex(line[:-1], RECORD)
        return [(RECORD.match(line).group(1), int(RECORD.match(line).group(2)))
                for line in lines]

    def started_together(self, processes, count, maximum):
        """Processes that start appending at one moment, across a rollover: every record
        once, none torn, each process's in order, and each generation within its bound."""
        go = os.path.join(self.root, "go")
        started = [self.write(maximum, f"p{n}", count, go) for n in range(processes)]
        time.sleep(3 if ON_WINE else 0.3)
        open(go, "w").close()
        for process in started:
            self.assertWrote(process)
        os.remove(go)

        backup, live = self.records(self.log + ".1"), self.records(self.log)
        self.assertEqual(sorted(backup + live),
                         sorted((f"p{n}", r) for n in range(processes) for r in range(count)))
        self.assertGreaterEqual(os.path.getsize(self.log + ".1"), maximum)
        # Each process may write up to its next look at the file past the limit.
        self.assertLess(os.path.getsize(self.log + ".1"),
                        maximum + processes * (LOOK_AFTER_BYTES + RECORD_SIZE))
        self.assertLess(os.path.getsize(self.log), maximum)
        for n in range(processes):
            numbers = [r for tag, r in backup + live if tag == f"p{n}"]
            self.assertEqual(numbers, sorted(numbers), "each process's records in order")

    def test_processes_started_together_across_a_rollover(self):
        processes = 4 if ON_WINE else 8
        # One rollover in the 400,000 bytes written.
        self.started_together(processes, 4000 // processes, 250_000)

    def test_more_processes_than_cores_on_a_busy_machine(self):
        # Two busy loops keep the cores busy, so that a process is set aside by the scheduler
        # in the middle of anything, an append that holds a lock included: that may cost
        # waiting, never a record.
        busy = [subprocess.Popen([sys.executable, "-c", "while True: pass"]) for _ in range(2)]
        for loop in busy:
            self.addCleanup(loop.wait)
            self.addCleanup(loop.kill)
        count = 1500 if ON_WINE else 4000
        for round in range(BUSY_ROUNDS):
            with self.subTest(round=round):
                shutil.rmtree(os.path.dirname(self.log))
                os.makedirs(os.path.dirname(self.log))
                # One rollover in each round's records.
                self.started_together(8, count, 8 * count * RECORD_SIZE * 3 // 5)

    def test_an_idle_holder_of_the_backup_across_two_rollovers(self):
        # The idle process logs one record and waits: its file becomes the backup at the
        # first rollover and is dropped at the second, while it still holds it open.
        maximum = 100 * RECORD_SIZE
        pause = os.path.join(self.root, "wake")
        idle = self.write(maximum, "idle", 10, None, pause)
        wait_for(pause + ".reached")
        self.assertWrote(self.write(maximum, "busy", 250))
        open(pause, "w").close()
        self.assertWrote(idle)

        # 100 records fill a generation: idle 0 and busy 0-98, then busy 99-198, then the
        # rest; the idle process's later records follow the live file.
        self.assertEqual(self.records(self.log + ".1"), [("busy", n) for n in range(99, 199)])
        self.assertEqual(self.records(self.log),
                         [("busy", n) for n in range(199, 250)] + [("idle", n) for n in range(1, 10)])
        self.assertLess(os.path.getsize(self.log), maximum)
        self.assertEqual(sorted(os.listdir(os.path.dirname(self.log))), ["day.txt", "day.txt.1"])

    def test_a_stopped_process_holding_the_lock(self):
        # The day's file is full, and a process that holds the lock goes on no more: a start
        # neither waits for it nor loses a record; it appends without rolling over, and once
        # the lock is free again the next record rolls the file over.
        maximum = 10 * RECORD_SIZE
        with open(self.log, "w") as file:
            file.write("".join(record("earlier", n) for n in range(10)))
        marker = os.path.join(self.root, "locked")
        if ON_WINE:
            # Ends by itself: stopping the emulator's script would leave Wine's process.
            holder = writer("lock", native(self.log), native(marker), "10")
        else:
            # In a group of its own: the lock is held by flock's child, the shell.
            holder = subprocess.Popen(["flock", "-x", self.log, "sh", "-c",
                                       f"touch {shlex.quote(marker)}; exec sleep 60"],
                                      start_new_session=True)
        self.addCleanup(stop, holder)
        wait_for(marker)

        started = time.monotonic()
        self.assertWrote(self.write(maximum, "start", 3), timeout=30)
        print(f"\n3 records past a held lock in {time.monotonic() - started:.2f} s")
        self.assertEqual(self.records(self.log),
                         [("earlier", n) for n in range(10)] + [("start", n) for n in range(3)])
        self.assertFalse(os.path.exists(self.log + ".1"))

        stop(holder)
        self.assertWrote(self.write(maximum, "after", 1))
        self.assertEqual(len(self.records(self.log + ".1")), 13)
        self.assertEqual(self.records(self.log), [("after", 0)])

    def test_the_log_taken_away_while_a_process_runs(self):
        # Removed, the open file tells so at the next look; moved away, the path does within
        # a second. Explorer's Delete and the desktop trash are moves.
        folder = os.path.dirname(self.log)
        moved = os.path.join(self.root, "trash", "day.txt")
        cases = [("folder removed", lambda: shutil.rmtree(folder), 0, None),
                 ("moved to another folder", lambda: os.renames(self.log, moved), 2, moved)]
        for case, take_away, wait, taken in cases:
            with self.subTest(case):
                os.makedirs(folder, exist_ok=True)
                pause = os.path.join(self.root, "wake-" + str(wait))
                running = self.write(10**6, "run", 5, None, pause)
                wait_for(pause + ".reached")
                take_away()
                time.sleep(wait)
                open(pause, "w").close()
                self.assertWrote(running)
                self.assertEqual(self.records(self.log), [("run", n) for n in range(1, 5)])
                if taken:
                    self.assertEqual(self.records(taken), [("run", 0)])
                shutil.rmtree(folder)

    if HOLDER:
        def test_a_program_holding_the_live_log_without_delete_sharing(self):
            # While it holds the log, every rollover is refused: the backup stays as it was
            # and the records go on into the live file; once it lets go, the next record
            # rolls over. Two writers, so that the refused rollover is tried twice.
            maximum = 20 * RECORD_SIZE
            earlier = [("earlier", 0), ("earlier", 1)]
            with open(self.log + ".1", "w") as file:
                file.write("".join(record(tag, n) for tag, n in earlier))
            open(self.log, "w").close()
            marker, release = (os.path.join(self.root, name) for name in ("held", "release"))
            holder = subprocess.Popen([*EMULATOR, HOLDER, native(self.log), native(marker),
                                       native(release)])
            self.addCleanup(holder.wait, BOUND)
            self.addCleanup(lambda: open(release, "a").close())
            wait_for(marker)
            held = [(tag, n) for tag in ("held-a", "held-b") for n in range(25)]
            for tag in ("held-a", "held-b"):
                self.assertWrote(self.write(maximum, tag, 25))
            self.assertEqual(self.records(self.log + ".1"), earlier)
            self.assertEqual(self.records(self.log), held)

            open(release, "w").close()
            self.assertEqual(holder.wait(BOUND), 0)
            self.assertWrote(self.write(maximum, "after", 1))
            self.assertEqual(self.records(self.log + ".1"), held)
            self.assertEqual(self.records(self.log), [("after", 0)])
            self.assertEqual(sorted(os.listdir(os.path.dirname(self.log))),
                             ["day.txt", "day.txt.1"])

    if HOLDER:
        def test_a_log_that_another_program_holds_for_reading_only(self):
            # An editor or a spreadsheet that opened the log shares it for reading only, so
            # that nobody can open it to write: the log is tried again at most once a second,
            # the records between are dropped without a system call, and once it is let go
            # records go on within a second.
            open(self.log, "w").close()
            marker, release = (os.path.join(self.root, name) for name in ("held", "release"))
            holder = subprocess.Popen([*EMULATOR, HOLDER, native(self.log), native(marker),
                                       native(release), "read"])
            self.addCleanup(holder.wait, BOUND)
            self.addCleanup(lambda: open(release, "a").close())
            wait_for(marker)
            freed = os.path.join(self.root, "freed")
            # Wine's trace of every file it opens, kept apart from what the writer says.
            with open(os.path.join(self.root, "trace"), "w+b") as trace:
                running = subprocess.Popen(
                    [*EMULATOR, WRITER, "unopenable", native(self.log), "2000", native(freed)],
                    stdout=subprocess.PIPE, stderr=trace,
                    env={**os.environ, "LAUNCHER_WINEDEBUG": "+file"})
                wait_for(freed + ".reached")
                open(release, "w").close()
                self.assertEqual(holder.wait(BOUND), 0)
                open(freed, "w").close()
                output, _ = running.communicate(timeout=BOUND)
                status, output = running.returncode, output.decode(errors="replace")
                trace.seek(0)
                traced = trace.read().decode(errors="replace")
            self.assertEqual(status, 0, output + traced[-2000:])
            self.assertIn("dropped 2000 of 2000", output)
            resumed = float(re.search(r"resumed after ([\d.]+) s", output).group(1))
            self.assertLess(resumed, 1.5, "within the one-second retry, and a slow machine's margin")
            name = os.path.basename(self.log)
            opens = [line for line in traced.splitlines()
                     if "NtCreateFile" in line and name in line]
            print(f"\n{len(opens)} opens of the log for 2,000 records, resumed after {resumed:.2f} s")
            self.assertGreater(len(opens), 0, "the trace shows the opens")
            self.assertLessEqual(len(opens), 10, "\n".join(opens[:20]))
            self.assertEqual(traced.count("cannot be opened"), 1, traced[-2000:])
            # The first record that could be written, and none before it.
            self.assertEqual([tag for tag, _ in self.records(self.log)], ["resumed"])

if __name__ == "__main__":
    unittest.main()
