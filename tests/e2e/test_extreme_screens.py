"""Screens at the ends of what the grid can take, full screen and in the settings mode:
8192x6144, whose quarter (2048x1536) and whose live view's half (2048x1536) are more than the
planes hold, runs on the clamped grid of 2001x1501 stretched over the screen or the live view;
1x1, whose quarter rounds to an empty grid and whose live view has no client area, runs without
drawing a point. Each keeps its frame timer going and ends on Esc with status 0."""

import re
import time
import unittest

import harness


class ExtremeScreens(unittest.TestCase):
    def run_saver(self, session, frames, timeout):
        session.mouse_move(0, 0)
        log = harness.FrameLog(session)
        proc = session.start("/s", env=log.env)
        self.assertTrue(log.wait_frames(frames, timeout=timeout, proc=proc), "no frames drawn")
        window = session.find_window(timeout=10)
        self.assertEqual(session.geometry(window), (0, 0, session.width, session.height))
        return proc, log

    def run_settings(self, session, grid, window):
        """The settings mode on this screen: its live view's grid and the dialog; Esc over the
        live view ends it, or, where the screen has no room for the pointer to reach it, the
        live view's close (as its close box)."""
        log = harness.FrameLog(session, "settings.log")
        proc = session.start("/c", env=log.env)
        self.assertTrue(log.wait_frames(5, timeout=90, proc=proc), "no frames in the live view")
        self.assertEqual((log.start()["grid"], log.start()["window"]), (grid, window))
        dialog = None
        deadline = time.monotonic() + 20
        while dialog is None and time.monotonic() < deadline:
            dialog = session.process_probe("window", "Settings")
        self.assertIsNotNone(dialog, "no settings dialog")
        x, y, width, height = session.geometry(session.find_window(harness.TITLE, timeout=10))
        if session.width > 1:
            session.mouse_move(x + width // 2, y + height // 2)
            session.key("Escape")
        else:
            self.assertIsNotNone(session.process_probe("close", harness.TITLE))
        self.assertEqual(session.wait_exit(proc, 30), 0)
        self.assertTrue(session.wait_idle(15))

    def end(self, session, proc):
        session.key("Escape")
        self.assertEqual(session.wait_exit(proc, 20), 0)
        self.assertTrue(session.wait_idle(15))

    def test_8192x6144_runs_on_the_clamped_grid(self):
        with harness.Session(8192, 6144) as session:
            proc, log = self.run_saver(session, 5, 90)
            self.assertEqual(log.start()["grid"], "2001x1501")
            self.assertEqual(log.start()["window"], "8192x6144")
            # The frame reaches every corner of the screen.
            shot = session.screenshot()
            for x, y in ((0, 0), (8192 - 256, 0), (0, 6144 - 256), (8192 - 256, 6144 - 256)):
                mean, spread = harness.image_stats(shot, (x, y, 256, 256))
                self.assertGreater(mean + spread, 0.02, f"nothing drawn at ({x}, {y})")
            draws = [float(m.group(1)) for line in log.lines()
                     if (m := re.search(r"draw=([\d.]+)", line))]
            print(f"8192x6144: {log.frames()} frames, draw {max(draws, default=0):.1f} ms at most")
            self.end(session, proc)
            self.run_settings(session, "2001x1501", "4096x3072")

    def test_1x1_runs_on_an_empty_grid(self):
        with harness.Session(1, 1) as session:
            proc, log = self.run_saver(session, 20, 60)
            self.assertEqual(log.start()["grid"], "0x0")
            self.assertEqual(log.start()["window"], "1x1")
            self.end(session, proc)
            self.run_settings(session, "0x0", "0x0")


if __name__ == "__main__":
    harness.main()
