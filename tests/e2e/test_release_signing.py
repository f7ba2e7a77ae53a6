"""A release signed with a certificate: every program of it carries a valid Authenticode
signature of that certificate, signing changed nothing else in them, the checksums and the
manifests are those of the signed files, and the signed programs still run under Wine.

The certificate is a throw-away one made here with openssl (no time-stamping service: no
network); package.sh writes into a folder of this test's own.
"""

import hashlib
import json
import os
import shutil
import subprocess
import tempfile
import unittest
import zipfile

import harness
import release_package as release

PASSWORD = "correct horse"
INSTALLED = r"C:\windows\system32\lumora.scr"
UNINSTALLER = r"C:\Program Files\Lumora\uninstall.exe"
RUN_TIMEOUT = 60


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_certificate(folder, name):
    """A self-signed code-signing certificate: (its PEM file, a PKCS#12 file of it and its
    key under PASSWORD)."""
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
            "-subj", f"/CN={name}", "-keyout", f"{name}.key", "-out", f"{name}.pem",
            "-addext", "keyUsage=critical,digitalSignature",
            "-addext", "extendedKeyUsage=codeSigning", cwd=folder)
    openssl("pkcs12", "-export", "-inkey", f"{name}.key", "-in", f"{name}.pem",
            "-out", f"{name}.p12", "-passout", f"pass:{PASSWORD}", cwd=folder)
    return os.path.join(folder, f"{name}.pem"), os.path.join(folder, f"{name}.p12")


def verify(path, ca_file):
    """osslsigncode verify of path against ca_file: (passed, its output)."""
    done = subprocess.run(["osslsigncode", "verify", "-CAfile", ca_file, "-in", path],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=60)
    return done.returncode == 0 and "Signature verification: ok" in done.stdout, done.stdout


def sha256(data):
    return hashlib.sha256(data).hexdigest()


class SignedRelease(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="lumora-signing-")
        cls.ca_file, cls.pkcs12 = make_certificate(cls.folder, "Lumora test signer")
        cls.dist = os.path.join(cls.folder, "dist")
        done = release.package(cls.dist, {"LUMORA_SIGN_PKCS12": cls.pkcs12,
                                          "LUMORA_SIGN_PASSWORD": PASSWORD,
                                          "LUMORA_SIGN_TIMESTAMP_URL": None})
        if done.returncode != 0:
            raise RuntimeError(f"package.sh failed:\n{done.stdout}")
        cls.output = done.stdout
        cls.files = release.files(cls.dist)
        cls.programs = {}
        with zipfile.ZipFile(os.path.join(cls.dist, release.ARCHIVE)) as zipped:
            for flavour, name in release.ZIPPED_PROGRAMS.items():
                cls.programs[flavour] = os.path.join(cls.folder, f"{flavour}.scr")
                with open(cls.programs[flavour], "wb") as f:
                    f.write(zipped.read(name))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def assertSignedBy(self, path, ca_file):
        passed, output = verify(path, ca_file)
        self.assertTrue(passed, f"{os.path.basename(path)}: {output}")

    def test_every_program_verifies_and_signing_changed_nothing_else(self):
        self.assertIn("signing with", self.output)
        self.assertNotIn("not signed", self.output)
        for setup in (release.SETUP, release.SETUP64):
            self.assertSignedBy(os.path.join(self.dist, setup), self.ca_file)
        for flavour, path in self.programs.items():
            self.assertSignedBy(path, self.ca_file)
            with open(path, "rb") as f:
                signed = f.read()
            with open(os.path.join(release.BUILDS[flavour], "lumora.scr"), "rb") as f:
                built = f.read()
            body = release.without_signature(signed)
            self.assertIsNotNone(body, f"{flavour}: no signature at the end")
            self.assertEqual(body[:len(built)], release.cleared_checksum(built), flavour)
            self.assertLess(len(body) - len(built), 8, flavour)
            self.assertEqual(body[len(built):].strip(b"\0"), b"", flavour)
        # The check is against that certificate: another one's does not vouch for them.
        other_ca, _ = make_certificate(self.folder, "Someone else")
        for path in (os.path.join(self.dist, release.SETUP), self.programs["win32"]):
            self.assertFalse(verify(path, other_ca)[0], f"{path} verified against another certificate")

    def test_checksums_and_manifests_are_the_signed_files(self):
        names = (release.SETUP, release.SETUP64, release.ARCHIVE)
        hashes = {name: sha256(self.files[name]) for name in names}
        self.assertEqual(self.files["SHA256SUMS"].decode(),
                         "".join(f"{hashes[n]}  {n}\n" for n in names))
        installer = self.files[os.path.join("winget", "Lumora.Lumora", release.VERSION,
                                            "Lumora.Lumora.installer.yaml")].decode()
        for setup in (release.SETUP, release.SETUP64):
            self.assertIn(f"InstallerSha256: {hashes[setup].upper()}", installer)
        scoop = json.loads(self.files[os.path.join("scoop", "lumora.json")])
        for bits, entry in scoop["architecture"].items():
            self.assertEqual(entry["hash"], hashes[release.ARCHIVE], bits)

    def test_a_wrong_password_makes_no_release(self):
        dist = os.path.join(self.folder, "refused")
        done = release.package(dist, {"LUMORA_SIGN_PKCS12": self.pkcs12,
                                      "LUMORA_SIGN_PASSWORD": "wrong",
                                      "LUMORA_SIGN_TIMESTAMP_URL": None})
        self.assertNotEqual(done.returncode, 0, done.stdout)
        self.assertIn("sign: signing", done.stdout)
        left = release.files(dist) if os.path.isdir(dist) else {}
        self.assertEqual(left, {}, "files of a release that was not signed")
        # Nothing of it was left in the build trees either: they stay unsigned.
        for flavour, build in release.BUILDS.items():
            with open(os.path.join(build, "lumora.scr"), "rb") as f:
                self.assertEqual(release.pe_header(f.read()).signature, (0, 0), flavour)

    def test_installer_writes_a_signed_uninstaller_and_a_signed_saver_that_runs(self):
        # The x86 installer where 32-bit programs run, else the x64 one (a 64-bit program).
        setup = release.SETUP if harness.RUNS_32BIT else release.SETUP64
        with harness.Session(800, 600) as session:
            self.run_program(session, os.path.join(self.dist, setup), "/S")
            installed = session.linux_path(INSTALLED)
            uninstaller = session.linux_path(UNINSTALLER)
            # The uninstaller was signed before it went into the installer.
            self.assertSignedBy(uninstaller, self.ca_file)
            with open(installed, "rb") as f, open(self.programs["win64"], "rb") as g:
                self.assertTrue(f.read() == g.read(), "installed program is not the signed 64-bit one")
            self.check_runs(session, installed)
            if harness.RUNS_32BIT:
                # The signed 32-bit one as well, as a 32-bit host starts it.
                self.check_runs(session, self.programs["win32"], loader=harness.WINE)
            self.run_program(session, uninstaller, "/S")
            self.assertTrue(session.wait_idle(RUN_TIMEOUT), "uninstaller still running")
            self.assertFalse(os.path.exists(installed), "the signed uninstaller left the program")

    def run_program(self, session, program, *args, loader=harness.WINE):
        proc = session.start(*args, program=program, loader=loader)
        self.assertEqual(session.wait_exit(proc, RUN_TIMEOUT), 0, f"{program} {' '.join(args)}")

    def check_runs(self, session, program, loader=harness.WINE64):
        """The saver full screen from program: its window comes, it draws and a key ends it."""
        log = harness.FrameLog(session, f"frames-{os.path.basename(program)}-{loader[-2:]}.log")
        proc = session.start("/s", program=program, loader=loader, env=log.env)
        self.assertIsNotNone(session.find_window(proc=proc), f"{program}: no saver window")
        self.assertTrue(log.wait_frames(3, timeout=30, proc=proc), f"{program}: no frames drawn")
        session.key("a")
        self.assertEqual(session.wait_exit(proc, RUN_TIMEOUT), 0, f"{program}: did not end on a key")


if __name__ == "__main__":
    harness.main()
