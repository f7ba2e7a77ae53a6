"""A one-minute soak of the full-screen saver at 1920x1080 (scripts/soak.sh runs the long one):
private memory, GDI objects, windows, threads and file handles stay flat once it has warmed up."""

import unittest

import harness
import soak


class Soak(unittest.TestCase):
    def test_one_minute_full_screen(self):
        with harness.Session(1920, 1080) as session:
            soak.soak_full_screen(session, 60)


if __name__ == "__main__":
    harness.main(budget=170)
