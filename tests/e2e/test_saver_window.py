"""The full-screen saver window: it covers the screen, shows a moving field and ends
with status 0 on a key, leaving no process behind. The first run stores the defaults."""

import os
import unittest

import harness

# The field moves: between two shots a second apart, at least this share of pixels differs.
MIN_CHANGED_SHARE = 0.01


class SaverWindow(unittest.TestCase):
    def check_covers_screen_and_moves(self, session):
        session.mouse_move(session.width // 2, session.height // 2)
        proc = session.start("/s")
        window = session.find_window(proc=proc)
        self.assertIsNotNone(window, "no window named " + harness.TITLE)
        self.assertEqual(session.geometry(window), (0, 0, session.width, session.height))

        screen = (0, 0, session.width, session.height)
        self.assertEqual(session.field_moving([screen], MIN_CHANGED_SHARE), [])
        self.assertIsNone(proc.poll(), "the saver ended by itself")

        session.key("a")
        self.assertEqual(session.wait_exit(proc, 10), 0)
        self.assertTrue(session.wait_idle(15), "Wine processes still run 15 s after the exit")
        self.assertEqual(session.program_processes(), [])

    def test_1366x768(self):
        with harness.Session(1366, 768) as session:
            self.check_covers_screen_and_moves(session)

    def test_1920x1080_and_first_run_settings(self):
        with harness.Session(1920, 1080) as session:
            self.assertIsNone(session.reg_query(), "the fresh prefix already holds settings")
            self.check_covers_screen_and_moves(session)
            stored = session.reg_query()
            self.assertIsNotNone(stored, "the first run stored no settings")
            self.assertEqual(
                {name: stored.get(name) for name in ("Speed", "Bright", "Algoritm", "Wall", "Rands")},
                {"Speed": ("REG_DWORD", 20), "Bright": ("REG_DWORD", 0),
                 "Algoritm": ("REG_DWORD", 7), "Wall": ("REG_DWORD", 12),
                 "Rands": ("REG_DWORD", 1)})
            # Stills go by default to a directory the user can write to, which exists.
            kind, directory = stored.get("Path_Wall", (None, ""))
            self.assertEqual(kind, "REG_SZ")
            self.assertTrue(os.path.isdir(session.linux_path(directory)), directory)

    def test_screen_wider_than_the_grid_can_be(self):
        # A quarter of 8200 is 2050 columns, more than the 2001 the planes hold: the grid is
        # clamped, and its frame is still stretched over the whole screen.
        with harness.Session(8200, 600) as session:
            log = harness.FrameLog(session)
            session.mouse_move(100, 100)
            proc = session.start("/s", env=log.env)
            self.assertTrue(log.wait_frames(3, timeout=60, proc=proc), "no frames drawn")
            self.assertEqual(log.start()["grid"], "2001x150")
            # One monitor: the one window covers it and no other is made.
            self.assertEqual(log.monitors(), [{"rect": (0, 0, 8200, 600), "primary": True,
                                               "window": (0, 0, 8200, 600)}])
            self.assertEqual(len(session.windows_named()), 1)
            window = session.find_window(timeout=0)
            self.assertEqual(session.geometry(window), (0, 0, 8200, 600))
            # Wine shows what the saver drew a moment later, on a busy machine several frames
            # later: look again until every strip shows the field, or time runs out.
            strips, spreads = (0, 4000, 8200 - 200), []

            def every_strip_drawn():
                shot = session.screenshot()
                spreads[:] = [harness.image_stats(shot, (left, 0, 200, 600))[1] for left in strips]
                return min(spreads) > 0.01

            harness.wait_for(every_strip_drawn, timeout=10)
            for left, std in zip(strips, spreads):
                self.assertGreater(std, 0.01, f"no field drawn at x={left}")
            session.key("a")
            self.assertEqual(session.wait_exit(proc, 10), 0)


if __name__ == "__main__":
    harness.main()
