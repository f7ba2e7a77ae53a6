"""The full-screen saver on two monitors (Wine made to see them by the harness): the primary
window stays as on one monitor (its own rectangle, grid a quarter of it), the other monitor
gets a window covering exactly its rectangle, also left of the primary at negative
coordinates; both show the moving field; a key on the other monitor's window, or a jump of
101 pixels there, ends both with status 0. A display turned off stops the frames and nearly
all CPU use until it comes back on (here dimmed). Monitors unplugged and plugged in while it
runs lose and get their windows. The power notifications and the monitor changes come from the
test helper send_to_saver."""

import time
import unittest

import harness

PRIMARY = "1024x768"
OTHER = "1280x1024"
# The field moves: between two shots a second apart, at least this share of pixels differs.
MIN_CHANGED_SHARE = 0.01
# CPU the saver may use over 5 s with the display off: its idle 30 ms timer and Wine's own.
IDLE_CPU_SECONDS = 0.25


class Monitors(unittest.TestCase):
    def start(self, session, x, y):
        """Starts the saver with the cursor at (x, y) on the X screen; returns the process and
        its frame log once both windows are shown and drawing."""
        session.mouse_move(x, y)
        log = harness.FrameLog(session, f"frames-{x}-{y}.log")
        proc = session.start("/s", env=log.env)
        self.addCleanup(self.end, session, proc)
        self.assertTrue(log.wait_frames(3, timeout=60, proc=proc), "no frames drawn")
        deadline = time.monotonic() + 20
        while len(session.windows_named()) < 2 and time.monotonic() < deadline:
            time.sleep(0.2)
        return proc, log

    @staticmethod
    def end(session, proc):
        if proc.poll() is None:
            session.key("Escape")
            proc.wait(10)

    def assert_covers(self, session, log, expected):
        """expected: (primary, other) rectangles in Windows coordinates."""
        self.assertEqual(log.start()["grid"], "256x192")
        self.assertEqual(log.start()["window"], PRIMARY)
        self.assertEqual(log.monitors(), [
            {"rect": expected[0], "primary": True, "window": expected[0]},
            {"rect": expected[1], "primary": False, "window": expected[1]}])
        on_screen = []
        for x, y, w, h in expected:
            on_screen.append(session.screen_point(x, y) + (w, h))
        shown = sorted(session.geometry(w) for w in session.windows_named())
        self.assertEqual(shown, sorted(on_screen))
        return on_screen

    def assert_field_moves(self, session, regions):
        self.assertEqual(session.field_moving(regions, MIN_CHANGED_SHARE), [])

    def assert_ended_cleanly(self, session, proc, what):
        self.assertEqual(session.wait_exit(proc, 10), 0,
                         what + ": exit status (None: still running 10 s later)")
        self.assertTrue(session.wait_idle(15), what + ": Wine processes still run")
        self.assertEqual(session.program_processes(), [], what + ": program left behind")
        self.assertEqual(session.windows_named(), [], what + ": a window is left")

    def test_other_monitor_on_the_right(self):
        with harness.Session(monitors=[PRIMARY + "+0+0", OTHER + "+1024+0"]) as session:
            proc, log = self.start(session, 512, 384)
            regions = self.assert_covers(session, log, [(0, 0, 1024, 768), (1024, 0, 1280, 1024)])
            self.assert_field_moves(session, regions)

            # The other monitor unplugged: its window goes, the primary one draws on; plugged in
            # again with another one below the primary: both are covered.
            self.assertTrue(session.change_monitors([PRIMARY + "+0+0"]), "Wine kept the monitors")
            self.assertTrue(log.wait_frames(3, proc=proc), "no frames after a display change")
            self.assertEqual(log.monitors(after="display change"), [
                {"rect": (0, 0, 1024, 768), "primary": True, "window": (0, 0, 1024, 768)}])
            self.assertEqual([session.geometry(w) for w in session.windows_named()],
                             [regions[0]])
            self.assertTrue(session.change_monitors(
                [PRIMARY + "+0+0", OTHER + "+1024+0", "800x256+0+768"]), "Wine kept the monitors")
            self.assertTrue(log.wait_frames(3, proc=proc), "no frames after a display change")
            below = (0, 768, 800, 256)
            self.assertEqual(log.monitors(after="display change")[1:], [
                {"rect": regions[1], "primary": False, "window": regions[1]},
                {"rect": below, "primary": False, "window": below}])
            self.assertEqual(sorted(session.geometry(w) for w in session.windows_named()),
                             sorted(regions + [below]))
            self.assert_field_moves(session, [regions[1], below])
            self.assertEqual(log.count("display change"), 2)

            # Display off: no frame, (almost) no CPU for 5 s; dimmed: the frames go on.
            self.assertTrue(session.send_to_saver("power", "0"))
            time.sleep(0.5)
            frames, cpu = log.frames(), harness.cpu_seconds(proc.pid)
            time.sleep(5)
            self.assertEqual(log.frames(), frames, "frames drawn with the display off")
            used = harness.cpu_seconds(proc.pid) - cpu
            self.assertLess(used, IDLE_CPU_SECONDS, "CPU used with the display off")
            self.assertEqual(log.count("pause"), 1)
            self.assertIsNone(proc.poll(), "the display going off ended the saver")
            self.assertTrue(session.send_to_saver("power", "2"))
            self.assertTrue(log.wait_frames(5, proc=proc), "no frames with the display dimmed")
            self.assertTrue(session.send_to_saver("power", "1"))
            self.assertTrue(log.wait_frames(3, proc=proc), "no frames with the display on")
            self.assertEqual((log.count("pause"), log.count("resume")), (1, 1))

            # A key on the other monitor's window ends the saver on both.
            other = [w for w in session.windows_named() if session.geometry(w) == regions[1]]
            session.focus(other[0])
            session.key("a")
            self.assert_ended_cleanly(session, proc, "a key on the other monitor")
            self.assertEqual(log.count("close"), 1)

            # A jump of 100 pixels on the other monitor is tolerated, 101 ends both.
            proc, log = self.start(session, 1500, 500)
            session.mouse_move(1600, 500)
            self.assertTrue(log.wait_frames(5, timeout=30, proc=proc), "100 pixels ended it")
            self.assertIsNone(proc.poll(), "100 pixels ended it")
            session.mouse_move(1701, 500)
            self.assert_ended_cleanly(session, proc, "a jump of 101 on the other monitor")

    def test_other_monitor_on_the_left(self):
        # X puts the other head at 0 and the primary right of it; Windows puts the primary at
        # (0, 0), so the other monitor lies at negative x.
        with harness.Session(monitors=[PRIMARY + "+1280+0", OTHER + "+0+0"]) as session:
            proc, log = self.start(session, 300, 500)
            regions = self.assert_covers(session, log, [(0, 0, 1024, 768), (-1280, 0, 1280, 1024)])
            self.assertEqual(regions, [(1280, 0, 1024, 768), (0, 0, 1280, 1024)])
            self.assert_field_moves(session, regions)
            session.mouse_move(300, 601)
            self.assert_ended_cleanly(session, proc, "a jump of 101 on the left monitor")


if __name__ == "__main__":
    harness.main()
