"""The built program's own name and version, read natively from the file: string 1 is the
name the desktop's screen saver list shows; the version resource carries the project's
version. No Wine needed."""

import os
import unittest

import pe_resources

PROGRAM = os.environ.get("LUMORA_SCR", "")
VERSION = os.environ.get("LUMORA_VERSION", "")
MACHINES = {"win32": pe_resources.MACHINE_I386, "win64": pe_resources.MACHINE_AMD64}


class Resources(unittest.TestCase):
    def test_name_version_and_icon(self):
        self.assertRegex(VERSION, r"^\d+\.\d+\.\d+$", "LUMORA_VERSION")
        program = pe_resources.read(PROGRAM)
        self.assertEqual(program.machine, MACHINES[os.environ["LUMORA_FLAVOUR"]])
        self.assertEqual(pe_resources.string(program.resources, 1), "Lumora")

        info = pe_resources.version_info(program.resources)
        self.assertIsNotNone(info, "no version resource")
        numbers = tuple(int(n) for n in VERSION.split(".")) + (0,)
        self.assertEqual(info.file_version, numbers)
        self.assertEqual(info.product_version, numbers)
        expected = {"FileDescription": "Lumora Screensaver", "ProductName": "Lumora",
                    "FileVersion": VERSION, "ProductVersion": VERSION,
                    "OriginalFilename": "lumora.scr"}
        for name, value in expected.items():
            self.assertEqual(info.strings.get(name), value, name)
        self.assertRegex(info.strings.get("LegalCopyright", ""), r"^Copyright \(C\) 20\d\d \S")
        self.assertEqual(info.translations, [(0x0409, 1200)])
        # The icon the desktop and the list of installed programs show is still there.
        self.assertIn(pe_resources.RT_GROUP_ICON, {kind for kind, _, _ in program.resources})


if __name__ == "__main__":
    unittest.main(verbosity=2)
