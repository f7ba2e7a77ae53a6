"""Every build of one commit gives the same release, byte for byte.

package.sh runs twice from the same build trees into two folders of different names, some
seconds apart, the second with another time zone and umask: every file must be the same. The
programs carry no build folder and no link time (a relink elsewhere, later, gives the same
bytes); the zip's entries and the installer's files carry the commit's time.
"""

import datetime
import os
import re
import shlex
import shutil
import subprocess
import tempfile
import unittest
import zipfile

import release_package as release

PROGRAMS = ("lumora.scr", "lumora-render.exe")
LINK_TIMEOUT = 120


def commit_time():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    return int(subprocess.run(["git", "-C", release.TOP, "log", "-1", "--format=%ct"], check=True,
                              stdout=subprocess.PIPE, text=True, timeout=30).stdout)


def relink(link_txt, out):
    """Links a program again from its tree's objects, with the output in another folder:
    the compiler's line of CMake's link.txt, its output and import library moved to out."""
    with open(link_txt) as f:
        line = next(l for l in f.read().splitlines() if "-o " in l and "mingw32-g++" in l)
    args = shlex.split(line)
    args[args.index("-o") + 1] = out
    args = [re.sub(r"--out-implib,[^,]*", "--out-implib," + out + ".a", a) for a in args]
    subprocess.run(args, cwd=os.path.dirname(os.path.dirname(os.path.dirname(link_txt))),
                   check=True, timeout=LINK_TIMEOUT)


class Reproducible(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="lumora-reproducible-")
        cls.dists = [os.path.join(cls.folder, "one"), os.path.join(cls.folder, "the-other-release")]
        cls.outputs = []
        for dist, zone, umask in zip(cls.dists, ("UTC", "Pacific/Chatham"), (0o022, 0o077)):
            done = release.package(dist, {"TZ": zone, "SOURCE_DATE_EPOCH": None,
                                          "LUMORA_SIGN_PKCS12": None}, umask=umask)
            if done.returncode != 0:
                raise RuntimeError(f"package.sh failed:\n{done.stdout}")
            cls.outputs.append(done.stdout)
        cls.files = [release.files(dist) for dist in cls.dists]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def test_two_packagings_write_the_same_bytes(self):
        one, other = self.files
        self.assertEqual(sorted(one), sorted(other))
        self.assertIn("SHA256SUMS", one)
        for name in (release.SETUP, release.ARCHIVE, "SHA256SUMS"):
            self.assertIn(name, one)
        differing = [name for name in one if one[name] != other[name]]
        self.assertEqual(differing, [], "files that differ between two packagings")
        for output in self.outputs:
            self.assertEqual(output.count("not signed"), 1, output)

    def test_the_zip_holds_the_commit_time_and_the_builds(self):
        when = datetime.datetime.fromtimestamp(commit_time(), datetime.timezone.utc)
        with zipfile.ZipFile(os.path.join(self.dists[0], release.ARCHIVE)) as zipped:
            entries = zipped.infolist()
            names = [entry.filename for entry in entries]
            self.assertEqual(names, sorted(names))
            for entry in entries:
                stored = datetime.datetime(*entry.date_time, tzinfo=datetime.timezone.utc)
                # DOS times count in steps of 2 s.
                self.assertLessEqual(abs((stored - when).total_seconds()), 2, entry.filename)
                self.assertEqual(entry.extra, b"", f"{entry.filename}: extra fields")
            for flavour, name in release.ZIPPED_PROGRAMS.items():
                with open(os.path.join(release.BUILDS[flavour], "lumora.scr"), "rb") as f:
                    self.assertTrue(zipped.read(name) == f.read(), f"{name} is not the {flavour} build")

    def test_programs_carry_no_build_folder_and_no_link_time(self):
        for flavour, build in release.BUILDS.items():
            for name in PROGRAMS:
                with open(os.path.join(build, name), "rb") as f:
                    data = f.read()
                self.assertEqual(release.pe_header(data).time_stamp, 0, f"{flavour} {name}")
                for folder in (release.TOP, os.path.realpath(release.TOP)):
                    for encoding in ("utf-8", "utf-16-le"):
                        self.assertNotIn(folder.encode(encoding), data,
                                         f"{flavour} {name} names {folder} ({encoding})")

    def test_a_relink_elsewhere_gives_the_same_bytes(self):
        build = release.BUILDS["win32"]
        out = os.path.join(self.folder, "relinked", "lumora.scr")
        os.makedirs(os.path.dirname(out))
        relink(os.path.join(build, "shell", "CMakeFiles", "lumora.dir", "link.txt"), out)
        with open(out, "rb") as f, open(os.path.join(build, "lumora.scr"), "rb") as g:
            self.assertTrue(f.read() == g.read(), "a relink gave other bytes")


if __name__ == "__main__":
    unittest.main(verbosity=2)
