"""The harness's own readings, against real Wine and Xvfb output: the registry as `wine reg`
prints it, and the image checks on a display where nothing runs (black, unchanging); which
programs it skips where the machine runs no 32-bit programs."""

import os
import tempfile
import unittest

import harness


class Harness(unittest.TestCase):
    def test_registry_round_trip_and_image_checks(self):
        with harness.Session(640, 480) as session:
            self.assertIsNone(session.reg_query(), "a fresh prefix holds the key")
            session.reg_add("Number", "REG_DWORD", 4294967295)
            session.reg_add("Zero", "REG_DWORD", 0)
            session.reg_add("Spaced Name", "REG_SZ", r"C:\Program Files\two    spaces")
            session.reg_add("Empty", "REG_SZ", "")
            session.reg_add("Expand", "REG_EXPAND_SZ", r"%WINDIR%\x")
            self.assertEqual(session.reg_query(), {
                "Number": ("REG_DWORD", 0xFFFFFFFF),
                "Zero": ("REG_DWORD", 0),
                "Spaced Name": ("REG_SZ", r"C:\Program Files\two    spaces"),
                "Empty": ("REG_SZ", ""),
                "Expand": ("REG_EXPAND_SZ", r"%WINDIR%\x"),
            })
            session.reg_delete("Zero")
            self.assertNotIn("Zero", session.reg_query())
            session.reg_delete()
            self.assertIsNone(session.reg_query())

            first, second = session.screenshot(), session.screenshot()
            self.assertTrue(harness.is_black(first))
            self.assertEqual(harness.differing_pixels(first, second), 0)
            self.assertEqual(session.shown_windows(), [])

    def test_a_32_bit_product_is_skipped_only_where_32_bit_programs_do_not_run(self):
        self.assertEqual(harness.WINE, os.environ["LUMORA_WINE"])
        with tempfile.TemporaryDirectory() as folder:
            programs = {}
            for name, machine in (("x86.exe", b"\x4c\x01"), ("x64.exe", b"\x64\x86"),
                                  ("text.exe", None)):
                programs[name] = os.path.join(folder, name)
                with open(programs[name], "wb") as f:
                    f.write(b"MZ" + bytes(58) + b"\x40\0\0\0PE\0\0" + machine if machine else b"text")
            self.assertEqual(harness.pe_machine(programs["x86.exe"]), harness.MACHINE_I386)
            self.assertEqual(harness.pe_machine(programs["x64.exe"]), 0x8664)
            self.assertIsNone(harness.pe_machine(programs["text.exe"]))
            self.assertEqual(harness.pe_machine(harness.PRODUCT) == harness.MACHINE_I386,
                             os.path.basename(os.path.dirname(harness.PRODUCT)) == "win32")
            saved = harness.RUNS_32BIT
            try:
                harness.RUNS_32BIT = False
                self.assertIn("x86.exe is a 32-bit program, and this machine runs none",
                              harness.skip_reason(programs["x86.exe"]))
                self.assertIsNone(harness.skip_reason(programs["x64.exe"]))
                harness.RUNS_32BIT = True
                self.assertIsNone(harness.skip_reason(programs["x86.exe"]))
            finally:
                harness.RUNS_32BIT = saved


if __name__ == "__main__":
    harness.main()
