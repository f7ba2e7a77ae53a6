"""The stored Monitors mode on several monitors. Two 1920x1080 monitors: a span (1) shows two
different halves of one frame that join without a seam, is made anew when a monitor goes and
comes, and ends on a key on the other monitor; without Monitors in the store both show the same
picture, as before; primary only (2) leaves the other one black, a key there ends it. Three
monitors of different sizes, one at negative x, one below, span without a seam. The field
stands still (speed 0), so that a screenshot shows one frame."""

import subprocess
import time
import unittest

import harness

FULL_HD = "1920x1080"
LEFT, RIGHT = (0, 0, 1920, 1080), (1920, 0, 1920, 1080)


def pixels(shot, region):
    """The region (x, y, width, height) of a screenshot as rows of (r, g, b)."""
    x, y, w, h = region
    data = subprocess.run(["convert", shot, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth",
                           "8", "rgb:-"], check=True, stdout=subprocess.PIPE, timeout=60).stdout
    return [[tuple(data[i:i + 3]) for i in range(r * w * 3, (r + 1) * w * 3, 3)]
            for r in range(h)]


class MonitorModes(unittest.TestCase):
    def start(self, session, mode, cursor):
        """The saver with the field standing still and Monitors `mode` (None: not stored),
        once it draws on every monitor; returns the process, its frame log and a screenshot."""
        values = {"Speed": 0, "Bright": 9, "Algoritm": 18, "Wall": 12, "Rands": 0}
        values = {name: ("REG_DWORD", value) for name, value in values.items()}
        values["Path_Wall"] = ("REG_SZ", "C:\\")
        if mode is not None:
            values["Monitors"] = ("REG_DWORD", mode)
        session.reg_import(harness.reg_file(values))
        session.mouse_move(*cursor)
        log = harness.FrameLog(session, f"frames-{mode}.log")
        proc = session.start("/s", env=log.env)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.assertTrue(log.wait_frames(3, timeout=60, proc=proc), "no frames drawn")
        self.wait_windows(session, log, proc)
        return proc, log, session.screenshot()

    def wait_windows(self, session, log, proc):
        deadline = time.monotonic() + 20
        while len(session.windows_named()) != len(session.heads):
            self.assertLess(time.monotonic(), deadline, "not every monitor has its window")
            time.sleep(0.2)
        self.assertTrue(log.wait_frames(3, proc=proc))

    def end_by_key_on(self, session, proc, region):
        window = [w for w in session.windows_named() if session.geometry(w) == region]
        session.focus(window[0])
        session.key("a")
        self.assertEqual(session.wait_exit(proc, 10), 0, "a key did not end the saver")
        self.assertTrue(session.wait_idle(15), "Wine processes still run")

    def assert_seamless(self, shot, seam, along, vertical=True):
        """Across the seam (an X column, or a row), over `along` (first, last), the colours step
        no more than between the lines beside it: the picture runs on as on one monitor. The
        stretch blends in 1/256 steps, so steps may differ by one per channel."""
        first, last = along
        if vertical:
            rows = pixels(shot, (seam - 4, first, 8, last - first))
            lines = [[row[i] for row in rows] for i in range(8)]
        else:
            lines = pixels(shot, (first, seam - 4, last - first, 8))
        steps = [sum(abs(p - q) for a, b in zip(lines[i - 1], lines[i]) for p, q in zip(a, b))
                 / len(lines[i]) for i in range(1, 8)]
        self.assertLessEqual(steps[3], 2 * max(steps[:3] + steps[4:]) + 3.0,
                             f"a seam at {seam}: steps {[round(s, 1) for s in steps]}")

    def test_two_monitors_span_mirror_and_primary_only(self):
        with harness.Session(monitors=[FULL_HD + "+0+0", FULL_HD + "+1920+0"]) as session:
            proc, log, shot = self.start(session, 1, (960, 540))
            self.assertEqual(log.mode(), {"name": "span", "divisor": 4, "grid": "960x270",
                                          "bounds": (0, 0, 3840, 1080)})
            self.assertEqual([(m["window"], m["source"]) for m in log.monitors()],
                             [(LEFT, (0, 0, 480, 270)), (RIGHT, (480, 0, 960, 270))])
            self.assertNotEqual(pixels(shot, (0, 0, 1920, 20)), pixels(shot, (1920, 0, 1920, 20)))
            self.assert_seamless(shot, 1920, (0, 1080))
            # Unplugged, the span is the primary alone; plugged in again, both once more.
            self.assertTrue(session.change_monitors([FULL_HD + "+0+0"]), "Wine kept the monitors")
            self.assertTrue(log.wait_frames(3, proc=proc), "no frames after a display change")
            self.assertEqual(log.mode(after="display change")["grid"], "480x270")
            self.assertTrue(session.change_monitors([FULL_HD + "+0+0", FULL_HD + "+1920+0"]))
            self.wait_windows(session, log, proc)
            self.assertEqual(log.mode(after="display change")["grid"], "960x270")
            # The monitor plugged in fades in from the desktop under it, as the others did.
            after = log.lines()[max(i for i, line in enumerate(log.lines())
                                    if line.startswith("display change")):]
            self.assertIn("fade-in monitor 1920,0 1920x1080", after)
            time.sleep(1.5)
            self.assert_seamless(session.screenshot(), 1920, (0, 1080))
            self.end_by_key_on(session, proc, RIGHT)

            proc, log, shot = self.start(session, None, (960, 540))
            self.assertEqual((log.mode(), log.start()["grid"]), ({"name": "mirror"}, "480x270"))
            self.assertEqual(pixels(shot, (0, 0, 1920, 20)), pixels(shot, (1920, 0, 1920, 20)))
            self.assertNotIn("Monitors", session.reg_query())
            self.end_by_key_on(session, proc, LEFT)

            proc, log, shot = self.start(session, 2, (960, 540))
            self.assertEqual((log.mode(), log.start()["grid"]),
                             ({"name": "primary-only"}, "480x270"))
            self.assertTrue(harness.is_black(shot + f"[{RIGHT[2]}x{RIGHT[3]}+{RIGHT[0]}+0]"))
            self.assertFalse(harness.is_black(shot + f"[{LEFT[2]}x{LEFT[3]}+0+0]"))
            self.end_by_key_on(session, proc, RIGHT)

    def test_three_monitors_of_different_sizes_span_without_a_seam(self):
        # Windows puts the primary at (0, 0), so the 1024x768 monitor lies at x -1024; on the X
        # screen the primary starts at x 1024.
        monitors = ["1280x1024+1024+0", "1024x768+0+0", "800x600+1024+1024"]
        with harness.Session(monitors=monitors) as session:
            proc, log, shot = self.start(session, 1, (1600, 500))
            self.assertEqual(log.mode(), {"name": "span", "divisor": 4, "grid": "576x406",
                                          "bounds": (-1024, 0, 2304, 1624)})
            self.assertEqual([(m["window"], m["source"]) for m in log.monitors()], [
                ((0, 0, 1280, 1024), (256, 0, 576, 256)),
                ((-1024, 0, 1024, 768), (0, 0, 256, 192)),
                ((0, 1024, 800, 600), (256, 256, 456, 406))])
            self.assert_seamless(shot, 1024, (0, 768))                      # left | primary
            self.assert_seamless(shot, 1024, (1024, 1824), vertical=False)  # primary / below
            session.mouse_move(1600 + 101, 500)
            self.assertEqual(session.wait_exit(proc, 10), 0, "a jump of 101 did not end it")


if __name__ == "__main__":
    harness.main()
