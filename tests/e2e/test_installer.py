"""The release's installers and uninstallers in fresh 64-bit and 32-bit prefixes.

The x86 installer (scripts/package.sh) puts the build that fits the system into
C:\\windows\\system32 (on 64-bit Windows the real one, not the 32-bit programs' redirected one);
the x64 installer, a 64-bit program, puts the 64-bit build there. Each registers its uninstaller
and, with /ACTIVE, makes Lumora the active screen saver. The uninstaller takes all of that away
again; it removes the user's settings only when the user ticks that box, and never the saved
stills. Every installer the machine can run is installed and removed: where it runs no 32-bit
programs (scripts/wine-env.sh) only the x64 one, and the others' tests are skipped.
"""

import hashlib
import json
import os
import time
import unittest
import zipfile

import yaml

import harness
import pe_resources

VERSION = os.environ.get("LUMORA_VERSION", "")
DIST = os.environ.get("LUMORA_DIST", "")
SETUP = os.path.join(DIST, f"Lumora-{VERSION}-setup.exe")
SETUP64 = os.path.join(DIST, f"Lumora-{VERSION}-x64-setup.exe")
BUILDS = {"win32": os.environ.get("LUMORA_SCR32", ""), "win64": os.environ.get("LUMORA_SCR64", "")}
MACHINES = {"win32": pe_resources.MACHINE_I386, "win64": pe_resources.MACHINE_AMD64}

INSTALLED = r"C:\windows\system32\lumora.scr"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumora"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
STILLS = r"C:\users\Public\Pictures\Lumora stills"
OTHER_SAVER = r"C:\windows\system32\other.scr"

# What winget requires of each manifest of a set, and of each installer entry.
WINGET_REQUIRED = {
    "version": ("PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"),
    "installer": ("PackageIdentifier", "PackageVersion", "InstallerType", "Installers", "ManifestType",
                  "ManifestVersion"),
    "defaultLocale": ("PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                      "License", "ShortDescription", "ManifestType", "ManifestVersion"),
    "entry": ("Architecture", "InstallerUrl", "InstallerSha256"),
}

# Skips a test that runs the x86 installer where the machine runs no 32-bit programs.
needs_32_bit = unittest.skipUnless(
    harness.RUNS_32BIT, "the x86 installer is a 32-bit program, and this machine runs none: "
    + os.environ.get("LUMORA_32BIT_WHY", ""))

# Each run is a few seconds; this bound only catches a hang.
RUN_TIMEOUT = 60


def wait_settled(session, timeout=RUN_TIMEOUT):
    """True once the screen shows something and has not changed for half a second."""
    deadline = time.monotonic() + timeout
    before = session.screenshot()
    while time.monotonic() < deadline:
        time.sleep(0.5)
        after = session.screenshot()
        if not harness.is_black(after) and harness.differing_pixels(before, after) == 0:
            return True
        before = after
    return False


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


class Installer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for setup in (SETUP, SETUP64):
            if not os.path.isfile(setup):
                raise RuntimeError(f"no installer at '{setup}': run scripts/package.sh")

    def run_program(self, session, program, *args, loader=None):
        proc = session.start(*args, program=program, loader=loader)
        status = session.wait_exit(proc, RUN_TIMEOUT)
        self.assertEqual(status, 0, f"{program} {' '.join(args)} (None: still running)")

    def check_installed(self, session, flavour):
        """The installed program is that build, and its entry names it; returns the entry."""
        installed = session.linux_path(INSTALLED)
        self.assertTrue(os.path.isfile(installed), "nothing in system32")
        self.assertEqual(pe_resources.read(installed).machine, MACHINES[flavour])
        self.assertTrue(read_bytes(installed) == read_bytes(BUILDS[flavour]),
                        "installed program differs from the build (run scripts/package.sh?)")

        entry = session.reg_query(UNINSTALL_KEY, view=64 if flavour == "win64" else None)
        self.assertIsNotNone(entry, "no uninstall entry")
        self.assertEqual(entry["DisplayName"][1], "Lumora Screensaver")
        self.assertEqual(entry["DisplayVersion"][1], VERSION)
        self.assertEqual(entry["DisplayIcon"][1].lower(), INSTALLED.lower() + ",0")
        kib = (os.path.getsize(installed) + 1023) // 1024
        self.assertEqual(entry["EstimatedSize"], ("REG_DWORD", kib))
        self.assertEqual(entry["QuietUninstallString"][1], entry["UninstallString"][1] + " /S")
        self.assertTrue(os.path.isfile(self.uninstaller(session, entry)))
        return entry

    @staticmethod
    def uninstaller(session, entry):
        return session.linux_path(entry["UninstallString"][1].strip('"'))

    def make_user_data(self, session):
        """Settings and a saved still, as a user of the program leaves them."""
        os.makedirs(session.linux_path(STILLS))
        still = os.path.join(session.linux_path(STILLS), "Lumora1.bmp")
        with open(still, "wb") as f:
            f.write(b"BM" + bytes(range(64)))
        session.reg_add("Speed", "REG_DWORD", 25)
        session.reg_add("Path_Wall", "REG_SZ", STILLS)
        return still, session.reg_query()

    def uninstall(self, session, entry, remove_settings=False):
        """Silently, or through the uninstaller's window as a user who ticks the second box
        ("Remove my Lumora settings"), presses Uninstall and then Close."""
        uninstaller = self.uninstaller(session, entry)
        if not remove_settings:
            self.run_program(session, uninstaller, "/S")
        else:
            session.start(program=uninstaller)
            # Its caption ends in a blank that the pages add; it is the session's only window.
            # Keys go to a page only once it is drawn: on a loaded machine that takes a while.
            self.assertTrue(harness.wait_for(session.shown_windows) and wait_settled(session),
                            "no uninstaller window")
            for key in ("Down", "space", "Return"):
                session.key(key)
                time.sleep(0.3)
            self.assertTrue(harness.wait_for(lambda: not os.path.exists(session.linux_path(INSTALLED))),
                            "Uninstall was not pressed")
            deadline = time.monotonic() + RUN_TIMEOUT
            while session.shown_windows() and time.monotonic() < deadline:
                wait_settled(session, 10)
                session.key("Return")  # Close, on the last page
                harness.wait_for(lambda: not session.shown_windows(), 3)
        # The uninstaller copies itself out of the way and runs the copy: wait for the prefix.
        self.assertTrue(session.wait_idle(RUN_TIMEOUT), "uninstaller still running")
        self.assertFalse(os.path.exists(session.linux_path(INSTALLED)), "program left behind")
        self.assertFalse(os.path.exists(uninstaller), "uninstaller left behind")
        for view in (32, 64) if session.arch is None else (None,):
            self.assertIsNone(session.reg_query(UNINSTALL_KEY, view), "uninstall entry left")

    def test_installer_metadata(self):
        for setup, machine in ((SETUP, pe_resources.MACHINE_I386), (SETUP64, pe_resources.MACHINE_AMD64)):
            program = pe_resources.read(setup)
            self.assertEqual(program.machine, machine, setup)
            info = pe_resources.version_info(program.resources)
            self.assertEqual(info.strings.get("ProductVersion"), VERSION, setup)
            self.assertEqual(info.strings.get("ProductName"), "Lumora", setup)

    def test_release_manifests_carry_every_required_field_and_the_files_hashes(self):
        setup, setup64 = os.path.basename(SETUP), os.path.basename(SETUP64)
        archive = f"Lumora-{VERSION}-win.zip"
        files = (setup, setup64, archive)
        hashes = {name: hashlib.sha256(read_bytes(os.path.join(DIST, name))).hexdigest()
                  for name in files}
        with open(os.path.join(DIST, "SHA256SUMS")) as f:
            self.assertEqual(f.read(), "".join(f"{hashes[n]}  {n}\n" for n in files))

        folder = os.path.join(DIST, "winget", "Lumora.Lumora", VERSION)
        manifests = {}
        for kind, name in (("version", ""), ("installer", ".installer"),
                           ("defaultLocale", ".locale.en-US")):
            with open(os.path.join(folder, f"Lumora.Lumora{name}.yaml")) as f:
                manifests[kind] = yaml.safe_load(f)
            for field in WINGET_REQUIRED[kind]:
                self.assertTrue(manifests[kind].get(field), f"winget {kind}: no {field}")
            self.assertEqual((manifests[kind]["PackageIdentifier"], manifests[kind]["PackageVersion"],
                              manifests[kind]["ManifestType"]), ("Lumora.Lumora", VERSION, kind))
        self.assertEqual(manifests["version"]["DefaultLocale"], manifests["defaultLocale"]["PackageLocale"])
        installer = manifests["installer"]
        self.assertEqual(installer["InstallerType"], "nullsoft")
        self.assertEqual(installer["InstallerSwitches"]["Silent"], "/S")  # as the tests below run it
        self.assertEqual(installer["ProductCode"], UNINSTALL_KEY.rsplit("\\", 1)[1])
        self.assertEqual(installer["AppsAndFeaturesEntries"][0]["DisplayName"], "Lumora Screensaver")
        entries = installer["Installers"]
        self.assertEqual(sorted(e["Architecture"] for e in entries), ["x64", "x86"])
        for entry in entries:
            for field in WINGET_REQUIRED["entry"]:
                self.assertTrue(entry.get(field), f"winget installer entry: no {field}")
            # x86: the installer for both, which 32-bit Windows can run; x64: the 64-bit one.
            name = setup64 if entry["Architecture"] == "x64" else setup
            self.assertTrue(entry["InstallerUrl"].startswith("https://"))
            self.assertTrue(entry["InstallerUrl"].endswith("/" + name), entry)
            self.assertEqual(entry["InstallerSha256"], hashes[name].upper(), entry)

        with open(os.path.join(DIST, "scoop", "lumora.json")) as f:
            scoop = json.load(f)
        for field in ("version", "description", "homepage", "license", "architecture"):
            self.assertTrue(scoop.get(field), f"scoop: no {field}")
        self.assertEqual(scoop["version"], VERSION)
        with zipfile.ZipFile(os.path.join(DIST, archive)) as zipped:
            names = set(zipped.namelist())
        self.assertEqual(sorted(scoop["architecture"]), ["32bit", "64bit"])
        for bits, entry in scoop["architecture"].items():
            self.assertTrue(entry["url"].startswith("https://") and entry["url"].endswith("/" + archive))
            self.assertEqual(entry["hash"], hashes[archive], bits)
            self.assertIn(entry["extract_dir"] + "/lumora.scr", names, bits)

    def test_x64_installer_in_a_64_bit_prefix(self):
        self.install_in_a_64_bit_prefix(SETUP64)

    @needs_32_bit
    def test_x86_installer_in_a_64_bit_prefix(self):
        self.install_in_a_64_bit_prefix(SETUP)

    def install_in_a_64_bit_prefix(self, setup):
        with harness.Session(800, 600) as session:
            self.run_program(session, setup, "/S", "/ACTIVE")
            entry = self.check_installed(session, "win64")
            self.assertFalse(os.path.exists(session.linux_path(r"C:\windows\syswow64\lumora.scr")))
            self.assertIsNone(session.reg_query(UNINSTALL_KEY, view=32), "entry in the 32-bit view")
            desktop = session.reg_query(DESKTOP_KEY)
            self.assertEqual(desktop["SCRNSAVE.EXE"][1].lower(), INSTALLED.lower())
            self.assertEqual(desktop["ScreenSaveActive"][1], "1")
            # As the 64-bit screen saver host starts it.
            self.run_program(session, INSTALLED, "/a", loader=harness.WINE64)

            still, settings = self.make_user_data(session)
            self.uninstall(session, entry)
            desktop = session.reg_query(DESKTOP_KEY)
            self.assertNotIn("SCRNSAVE.EXE", desktop)
            self.assertEqual(desktop["ScreenSaveActive"][1], "0")
            self.assertEqual(session.reg_query(), settings, "settings changed")
            self.assertEqual(read_bytes(still), b"BM" + bytes(range(64)))

    @needs_32_bit
    def test_x86_installer_in_a_32_bit_prefix(self):
        with harness.Session(800, 600, arch="win32") as session:
            # Without /ACTIVE a silent install leaves the user's screen saver as it is.
            session.reg_add("SCRNSAVE.EXE", "REG_SZ", OTHER_SAVER, key=DESKTOP_KEY)
            self.run_program(session, SETUP, "/S")
            entry = self.check_installed(session, "win32")
            self.assertEqual(session.reg_query(DESKTOP_KEY)["SCRNSAVE.EXE"][1], OTHER_SAVER)
            self.run_program(session, INSTALLED, "/a")

            # The user asks for the settings to go: the still stays, and so does a screen
            # saver that is not Lumora.
            still, _ = self.make_user_data(session)
            self.uninstall(session, entry, remove_settings=True)
            self.assertIsNone(session.reg_query(), "settings left")
            self.assertEqual(session.reg_query(DESKTOP_KEY)["SCRNSAVE.EXE"][1], OTHER_SAVER)
            self.assertTrue(os.path.isfile(still))


if __name__ == "__main__":
    harness.main()
