"""The fetch of the pinned third-party archives (scripts/fetch-third-party, which calls what the
build scripts call), against an HTTP server on the loopback address that stands in for the
upstream sources through LAUNCHER_THIRD_PARTY_MIRROR. Nothing here reaches outside the machine:
every run names a loopback mirror (and only the mirror is then asked), and the environment's
proxies are dropped.

The archives served are made from the pinned ones on this machine (in LAUNCHER_THIRD_PARTY_DIR,
by default ../shared/third_party, or in the download cache) and differ from them as GitHub's
exports do: compressed afresh, another top folder, and the files that the pinned ones lack."""

import gzip
import http.server
import io
import os
import shutil
import socket
import subprocess
import tarfile
import tempfile
import threading
import unittest

REPO = os.path.realpath(os.path.join(os.path.dirname(__file__), "..", ".."))
FETCH = os.path.join(REPO, "scripts", "fetch-third-party")
ARCHIVE_TOOL = os.path.join(REPO, "scripts", "third-party-archive")
EXPAT = "libexpat-2.6.2.tar.gz"
LOG4CXX = "apache-log4cxx-1.8.0.tar.gz"
ALL = [EXPAT, "apr-1.7.4.tar.gz", "apr-util-1.6.3.tar.gz", LOG4CXX]
ORIGINS = {
    EXPAT: "https://github.com/libexpat/libexpat, tag R_2_6_2",
    "apr-1.7.4.tar.gz": "https://github.com/apache/apr, tag 1.7.4",
    "apr-util-1.6.3.tar.gz": "https://github.com/apache/apr-util, tag 1.6.3",
    LOG4CXX: "https://github.com/apache/logging-log4cxx, tag rel/v1.8.0",
}
PINNED = {}  # file name: the pinned archive's members, as (TarInfo, content)


def closed_port():
    """A loopback port that nothing listens on."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def environment(folder, cache, mirror):
    env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()
           and not k.startswith("LAUNCHER_")}
    env.update(LAUNCHER_THIRD_PARTY_DIR=folder, LAUNCHER_DEPS_CACHE=cache,
               LAUNCHER_THIRD_PARTY_MIRROR=mirror)
    return env


def read_members(path):
    with tarfile.open(path) as archive:
        return [(member, archive.extractfile(member).read() if member.isreg() else None)
                for member in archive.getmembers()]


def export(name, change=None, extra=(), top=None):
    """A tar.gz of the pinned archive's members under the folder TOP (by default the pinned
    one's), with CHANGE(path, content) -> content (None drops the file) applied and the members
    EXTRA (TarInfo, content) added; compressed at another level than the pinned ones."""
    top = top or PINNED[name][0][0].name.split("/")[0]
    out = io.BytesIO()
    with gzip.GzipFile(fileobj=out, mode="wb", compresslevel=1, mtime=0) as zipped:
        with tarfile.open(fileobj=zipped, mode="w", format=tarfile.PAX_FORMAT) as archive:
            for member, content in PINNED[name] + list(extra):
                member = copy_member(member)
                path = member.name.split("/", 1)[1] if "/" in member.name else ""
                member.name = top + ("/" + path if path else "")
                if change and member.isreg():
                    content = change(path, content)
                    if content is None:
                        continue
                    member.size = len(content)
                archive.addfile(member, io.BytesIO(content) if member.isreg() else None)
    return out.getvalue()


def copy_member(member):
    copy = tarfile.TarInfo(member.name)
    for field in ("size", "mode", "mtime", "type", "linkname", "uid", "gid", "uname", "gname"):
        setattr(copy, field, getattr(member, field))
    return copy


def extra_file(path, content=b"not in the pinned archive\n"):
    member = tarfile.TarInfo(f"top/{path}")
    member.size = len(content)
    member.mode = 0o664
    return member, content


class Mirror(http.server.ThreadingHTTPServer):
    """Serves FILES (name: bytes) by name; remembers the paths asked for."""

    def __init__(self):
        self.files = {}
        self.requests = []

        mirror = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                mirror.requests.append(self.path)
                data = mirror.files.get(self.path.lstrip("/"))
                if data is None:
                    self.send_error(404)
                    return
                self.send_response(200)
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)

            def log_message(self, *_):
                pass

        super().__init__(("127.0.0.1", 0), Handler)
        self.url = "http://127.0.0.1:%d" % self.server_address[1]
        self.thread = threading.Thread(target=self.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        self.shutdown()
        self.server_close()


class Fetch(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="third-party-fetch-")
        self.addCleanup(shutil.rmtree, self.root)
        self.folder = os.path.join(self.root, "third_party")
        os.makedirs(self.folder)
        self.cache = os.path.join(self.root, "cache")
        self.downloads = os.path.join(self.cache, "archives")
        self.mirror = Mirror()
        self.addCleanup(self.mirror.stop)

    def fetch(self, *names, mirror=None):
        return subprocess.run([FETCH, *names], capture_output=True, text=True, timeout=120,
                              env=environment(self.folder, self.cache, mirror or self.mirror.url))

    def extract(self, name, destination):
        return subprocess.run(["python3", ARCHIVE_TOOL, "--archives", self.folder, "--cache",
                               self.cache, "extract", name, destination], capture_output=True,
                              text=True, timeout=120, env=environment(
                                  self.folder, self.cache, "http://127.0.0.1:%d" % closed_port()))

    def cached(self):
        return sorted(os.listdir(self.downloads)) if os.path.isdir(self.downloads) else []

    def test_a_missing_archive_is_fetched_checked_kept_and_used(self):
        # As GitHub exports them: expat's whole repository with its large test files, log4cxx
        # with its ABI dump; neither is used.
        served = {
            EXPAT: export(EXPAT, top="libexpat-R_2_6_2", extra=[
                extra_file("README.md"), extra_file("expat/testdata/largefiles/nes96.xml")]),
            LOG4CXX: export(LOG4CXX, top="logging-log4cxx-rel-v1.8.0",
                            extra=[extra_file("src/main/abi-symbols/abi.dump")]),
        }
        self.mirror.files.update(served)
        result = self.fetch(EXPAT, LOG4CXX)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.split(),
                         [os.path.join(self.downloads, EXPAT), os.path.join(self.downloads, LOG4CXX)])
        self.assertEqual(sorted(self.mirror.requests), ["/" + LOG4CXX, "/" + EXPAT])
        self.assertEqual(self.cached(), sorted(served))
        for name, data in served.items():
            with open(os.path.join(self.downloads, name), "rb") as kept:
                self.assertEqual(kept.read(), data, "kept as fetched")

        # Used: what is unpacked is the pinned archive's files, without what it lacks.
        for name in served:
            with self.subTest(unpacked=name):
                destination = os.path.join(self.root, "src", name)
                result = self.extract(name, destination)
                self.assertEqual(result.returncode, 0, result.stderr)
                unpacked = sorted(os.path.relpath(os.path.join(folder, file), destination)
                                  for folder, _, files in os.walk(destination) for file in files)
                self.assertEqual(unpacked, sorted(member.name.split("/", 1)[1]
                                                  for member, _ in PINNED[name] if member.isreg()))
                for member, content in PINNED[name]:
                    if member.isreg():
                        with open(os.path.join(destination, member.name.split("/", 1)[1]),
                                  "rb") as file:
                            self.assertEqual(file.read(), content, member.name)

        # Once kept, it is taken from the cache: the server is not asked again.
        self.mirror.stop()
        self.mirror = Mirror()
        result = self.fetch(EXPAT, LOG4CXX, mirror="http://127.0.0.1:%d" % closed_port())
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.mirror.requests, [])

    def test_a_tampered_archive_is_refused_and_not_kept(self):
        link = tarfile.TarInfo("top/expat/lib/passwd")
        link.type, link.linkname = tarfile.SYMTYPE, "/etc/passwd"
        tampered = {
            "a file changed": export(EXPAT, change=lambda path, content: content.replace(
                b"XML_Parse", b"XML_Pars3", 1) if path == "expat/lib/xmlparse.c" else content),
            "a file dropped": export(EXPAT, change=lambda path, content:
                                     None if path == "expat/COPYING" else content),
            "a file added to what is used": export(EXPAT, extra=[extra_file("expat/lib/x.c")]),
            "a symbolic link": export(EXPAT, extra=[(link, None)]),
            "a path out of its folder": export(EXPAT, extra=[extra_file("../expat/lib/x.c")]),
            "not an archive": b"<html>Too many requests</html>\n",
        }
        for case, data in tampered.items():
            with self.subTest(case=case):
                self.mirror.files[EXPAT] = data
                result = self.fetch(EXPAT)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(f"{EXPAT} fetched from {self.mirror.url}/{EXPAT} is not the "
                              "pinned archive", result.stderr)
                self.assertIn("not used, nothing kept", result.stderr)
                self.assertEqual(self.cached(), [])
                self.assertEqual(result.stdout, "")

    def test_with_the_server_down_the_message_names_what_is_missing(self):
        mirror = "http://127.0.0.1:%d" % closed_port()
        result = self.fetch(mirror=mirror)
        self.assertNotEqual(result.returncode, 0)
        for name in ALL:
            with self.subTest(archive=name):
                self.assertIn(f"missing {name} (", result.stderr)
                self.assertIn(f"an export of {ORIGINS[name]}): not in {self.folder}",
                              result.stderr)
                self.assertIn(f"fetching it from {mirror}/{name} failed", result.stderr)
        # ... and how to point the build at a folder that holds them.
        self.assertIn("point LAUNCHER_THIRD_PARTY_DIR at it", result.stderr)
        self.assertEqual(self.cached(), [])

    def test_an_archive_in_the_folder_is_used_as_it_is_without_the_network(self):
        pinned = os.path.join(self.folder, EXPAT)
        with open(pinned, "wb") as file:
            file.write(export(EXPAT))
        result = self.fetch(EXPAT)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.split(), [pinned])
        self.assertEqual(self.mirror.requests, [])
        self.assertEqual(self.cached(), [])

    def test_a_changed_archive_in_the_folder_stops_the_build(self):
        self.mirror.files[EXPAT] = export(EXPAT)
        with open(os.path.join(self.folder, EXPAT), "wb") as file:
            file.write(export(EXPAT, extra=[extra_file("expat/lib/x.c")]))
        result = self.fetch(EXPAT)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn(f"{os.path.join(self.folder, EXPAT)} is not the pinned {EXPAT}",
                      result.stderr)
        self.assertEqual(self.mirror.requests, [], "not fetched in its place")


def setUpModule():
    # The pinned archives as this machine has them, found without the network.
    env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    env["LAUNCHER_THIRD_PARTY_MIRROR"] = "http://127.0.0.1:%d" % closed_port()
    found = subprocess.run([FETCH, EXPAT, LOG4CXX], capture_output=True, text=True,
                           timeout=120, env=env)
    if found.returncode != 0:
        raise RuntimeError("the fetch tests make what they serve from the pinned archives, "
                           "which are not on this machine (scripts/fetch-third-party gets "
                           "them):\n" + found.stderr)
    for name, path in zip([EXPAT, LOG4CXX], found.stdout.split()):
        PINNED[name] = read_members(path)


if __name__ == "__main__":
    unittest.main()
