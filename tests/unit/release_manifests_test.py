"""scripts/release_manifests.py over stand-in release files: SHA256SUMS lists both installers and
the zip; winget's x86 entry names the x86 installer (for 32- and 64-bit Windows), its x64 entry
the x64 installer, each with its own SHA-256; Scoop's manifest names the zip.
    release_manifests_test.py SCRIPTS_DIR"""

import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import yaml

SCRIPT = os.path.join(sys.argv.pop(1) if len(sys.argv) > 1 else
                      os.path.join(os.path.dirname(__file__), "..", "..", "scripts"),
                      "release_manifests.py")
VERSION = "1.2.3"
URL = "https://example.org/releases/1.2.3"
FILES = {"setup": f"Lumora-{VERSION}-setup.exe", "setup64": f"Lumora-{VERSION}-x64-setup.exe",
         "zip": f"Lumora-{VERSION}-win.zip"}


class ReleaseManifests(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dist = tempfile.mkdtemp()
        cls.hashes = {}
        for key, name in FILES.items():
            data = f"stand-in {key}".encode()
            with open(os.path.join(cls.dist, name), "wb") as f:
                f.write(data)
            cls.hashes[name] = hashlib.sha256(data).hexdigest()
        subprocess.run([sys.executable, SCRIPT, VERSION, cls.dist], check=True,
                       env=dict(os.environ, LUMORA_RELEASE_URL=URL))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dist, ignore_errors=True)

    def read(self, *path):
        with open(os.path.join(self.dist, *path)) as f:
            return f.read()

    def test_sha256sums_lists_both_installers_and_the_zip(self):
        self.assertEqual(self.read("SHA256SUMS"),
                         "".join(f"{self.hashes[n]}  {n}\n" for n in FILES.values()))

    def test_winget_names_the_installer_of_each_architecture(self):
        manifest = yaml.safe_load(self.read("winget", "Lumora.Lumora", VERSION,
                                            "Lumora.Lumora.installer.yaml"))
        entries = {entry["Architecture"]: entry for entry in manifest["Installers"]}
        self.assertEqual(sorted(entries), ["x64", "x86"])
        for architecture, key in (("x86", "setup"), ("x64", "setup64")):
            name = FILES[key]
            self.assertEqual(entries[architecture]["InstallerUrl"], f"{URL}/{name}")
            self.assertEqual(entries[architecture]["InstallerSha256"], self.hashes[name].upper())

    def test_scoop_names_the_zip(self):
        manifest = json.loads(self.read("scoop", "lumora.json"))
        for entry in manifest["architecture"].values():
            self.assertEqual((entry["url"], entry["hash"]),
                             (f"{URL}/{FILES['zip']}", self.hashes[FILES["zip"]]))


if __name__ == "__main__":
    unittest.main(verbosity=2)
