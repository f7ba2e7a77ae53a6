"""lumora.scr /a ends at once with status 0 and never shows a window."""

import time
import unittest

import harness


class ModeA(unittest.TestCase):
    def test_ends_at_once_without_a_window(self):
        with harness.Session(800, 600) as session:
            for args in (["/a"], ["/A"], ["/a", "1234"]):
                with self.subTest(args=args):
                    started = time.monotonic()
                    proc = session.start(*args)
                    seen = []
                    # Watch the screen for the whole life of the process.
                    while proc.poll() is None and time.monotonic() - started < 10:
                        seen += session.shown_windows()
                        time.sleep(0.05)
                    status = session.wait_exit(proc, max(0.1, 10 - (time.monotonic() - started)))
                    self.assertEqual(status, 0, "exit status (None: still running after 10 s)")
                    self.assertEqual(seen + session.shown_windows(), [], "windows shown")
                    self.assertEqual(session.program_processes(), [])


if __name__ == "__main__":
    harness.main()
