"""The harness's own readings, against real Wine and Xvfb output: the registry as `wine reg`
prints it, and the image checks on a display where nothing runs (black, unchanging)."""

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


if __name__ == "__main__":
    harness.main()
