"""Every switch other than C, P and A, and none at all, runs the full-screen saver."""

import unittest

import harness

FULL_SCREEN_SWITCHES = (["/s"], ["/S"], ["-s"], ["xs"], ["s"], ["/x"], [])


class Arguments(unittest.TestCase):
    def test_switches_that_run_the_full_screen_saver(self):
        with harness.Session(1024, 768) as session:
            for args in FULL_SCREEN_SWITCHES:
                with self.subTest(args=args):
                    session.mouse_move(512, 384)
                    proc = session.start(*args)
                    window = session.find_window(proc=proc)
                    self.assertIsNotNone(window, "no saver window")
                    self.assertEqual(session.geometry(window), (0, 0, 1024, 768))
                    session.key("a")
                    self.assertEqual(session.wait_exit(proc, 10), 0)


if __name__ == "__main__":
    harness.main()
