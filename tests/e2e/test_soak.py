"""Short soaks (scripts/soak.sh runs the long ones): the full-screen saver for one minute at
1920x1080, and the settings mode through 6 rounds of "Save Image" then Cancel and 3 of Save:
private memory, GDI objects, windows, threads and file handles stay flat once warmed up."""

import unittest

import harness
import soak


class Soak(unittest.TestCase):
    def test_one_minute_full_screen(self):
        with harness.Session(1920, 1080) as session:
            soak.soak_full_screen(session, 60)

    def test_settings_rounds_of_save_image(self):
        with harness.Session(1366, 768) as session:
            soak.soak_settings(session, cancel_rounds=6, save_rounds=3)


if __name__ == "__main__":
    harness.main()
