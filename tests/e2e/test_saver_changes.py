"""The full-screen saver's changes over time. With the field standing still (speed 0), so that
a screenshot shows one frame: the first frames fade in from the desktop (black under Xvfb);
with CycleMinutes 1 the pattern changes after a minute, "cycle P S" in the frame log, and a
screenshot during the change is the blend of the pictures before and after it. RandomColours
gives starts different schemes; a store without the new values runs as before once faded in.
Each monitor its own (Monitors 3) on two monitors: a field of its own on the second, of a
quarter of its size and of another pattern, which fades in from the desktop and cycles to another
pattern of its own with the primary (the minute shortened), and keeps it when it changes size and
a third monitor is plugged in, which fades in with a field of its own; a key there ends the
saver."""

import re
import subprocess
import time
import unittest

import harness
from harness import wait_for
from test_more_settings import shot

SEVEN = {"Speed": 0, "Bright": 9, "Algoritm": 3, "Wall": 12, "Rands": 0, "Path_Wall": "C:\\",
         "Monitors": 0}


def small_pixels(path, crop=None):
    """The screenshot (or its part WxH+X+Y) a quarter of its size in each direction
    (box-filtered, which keeps a blend a blend), as a flat list of channel bytes."""
    args = ["convert", path] + (["-crop", crop, "+repage"] if crop else [])
    return subprocess.run(args + ["-scale", "25%", "-depth", "8", "rgb:-"], check=True,
                          stdout=subprocess.PIPE, timeout=60).stdout


def share_between(middle, a, b, slack=4):
    """The share of channels of `middle` that lie between those of a and b (give or take)."""
    inside = sum(1 for m, x, y in zip(middle, a, b) if min(x, y) - slack <= m <= max(x, y) + slack)
    return inside / len(middle)


def mean_difference(a, b):
    return sum(abs(x - y) for x, y in zip(a, b)) / len(a)


class SaverChanges(harness.SessionTestCase):
    SCREEN = (1366, 768)

    def start(self, values, name):
        session = self.session
        if session.reg_query() is not None:
            session.reg_delete()
        session.reg_store(**values)
        session.mouse_move(683, 384)
        log = harness.FrameLog(session, name=f"{name}-{time.monotonic_ns()}.log")
        proc = session.start("/s", env=log.env)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        return proc, log

    def end(self, proc):
        self.session.key("Escape")
        self.assertEqual(self.session.wait_exit(proc, 15), 0)
        self.assertTrue(self.session.wait_idle(15))

    def test_1_fade_in_then_a_cycle_cross_fades_to_another_pattern(self):
        session = self.session
        proc, log = self.start(dict(SEVEN, CycleMinutes=1), "cycle")
        self.assertTrue(log.wait_frames(1, timeout=60, proc=proc, faded=False), "no frames drawn")
        # As many looks as the second of the fade-in leaves time for.
        early = []
        while log.fading_in() and len(early) < 6:
            early.append(session.screenshot())
        self.assertTrue(log.wait_frames(3, timeout=20, proc=proc), "the fade-in did not end")
        self.assertIn("fade-in", log.lines())
        field = small_pixels(shot(session, "faded-in.png"))
        # At least one look is the field darkened towards the black desktop: every channel at
        # most the field's, the whole between a twentieth and nineteen twentieths of it.
        ratios = []
        for path in early:
            pixels = small_pixels(path)
            if share_between(pixels, field, bytes(len(field))) > 0.99:
                ratios.append(sum(pixels) / max(1, sum(field)))
        self.assertTrue(any(0.05 < r < 0.95 for r in ratios),
                        f"no look of the fade-in blends the desktop: {ratios} of {len(early)}")
        self.assertEqual(log.count("cycle"), 0)

        # A minute after the start: another pattern from 1..20, the same scheme.
        deadline = time.monotonic() + 90
        while not log.count("cycle") and time.monotonic() < deadline and proc.poll() is None:
            time.sleep(0.05)
        cycles = [line for line in log.lines() if line.startswith("cycle")]
        self.assertEqual(len(cycles), 1, "no change of pattern after a minute")
        pattern, scheme = (int(n) for n in re.fullmatch(r"cycle (\d+) (\d+)", cycles[0]).groups())
        self.assertNotEqual(pattern, 3)
        self.assertIn(pattern, range(1, 21))
        self.assertEqual(scheme, 9)
        time.sleep(0.6)
        middle = small_pixels(shot(session, "cross-fade.png"))
        time.sleep(2.5)
        after = small_pixels(shot(session, "after-cycle.png"))
        self.assertGreater(mean_difference(field, after), 8, "the pattern did not change on the screen")
        self.assertGreater(share_between(middle, field, after), 0.98, "the middle is no blend")
        self.assertGreater(mean_difference(middle, field), 2, "the middle is the old field")
        self.assertGreater(mean_difference(middle, after), 2, "the middle is the new field")
        self.assertEqual(log.count("cycle"), 1)
        self.end(proc)

    def test_2_random_colours_and_a_store_of_the_seven(self):
        session = self.session
        schemes = []
        for start in range(3):
            proc, log = self.start(dict(SEVEN, RandomColours=1, FadeIn=0), f"colours{start}")
            self.assertTrue(log.wait_frames(3, timeout=60, proc=proc), "no frames drawn")
            self.assertNotIn("fade-in", log.lines())
            schemes.append(log.engine()["scheme"])
            self.end(proc)
        self.assertGreater(len(set(schemes)), 1, f"three starts, one scheme: {schemes}")
        self.assertTrue(all(0 <= s <= 18 for s in schemes), schemes)

        # The seven values alone: the stored pattern and scheme, after a fade-in; nothing new is
        # written.
        proc, log = self.start(SEVEN, "seven")
        self.assertTrue(log.wait_frames(3, timeout=60, proc=proc), "no frames drawn")
        self.assertIn("fade-in", log.lines())
        self.assertEqual((log.start()["pattern"], log.engine()), (3, {"scheme": 9, "speed": 0}))
        self.assertFalse(harness.is_black(session.screenshot()))
        time.sleep(1)
        self.assertEqual(log.count("cycle"), 0)
        self.assertEqual(sorted(session.reg_query()), sorted(SEVEN))
        self.end(proc)


class EachMonitorItsOwn(unittest.TestCase):
    def test_two_monitors_two_fields_and_a_key_on_the_second_ends_it(self):
        left, right = (0, 0, 1024, 768), (1024, 0, 1280, 720)
        with harness.Session(monitors=["1024x768+0+0", "1280x720+1024+0"]) as session:
            session.reg_store(**dict(SEVEN, Speed=20, Rands=1, Monitors=3, CycleMinutes=1))
            session.mouse_move(512, 384)
            log = harness.FrameLog(session)
            # A "minute" of 4 s: the first change comes after the fade-in and the looks below.
            proc = session.start("/s", env=dict(log.env, LUMORA_CYCLE_MINUTE_MS="4000"))
            self.addCleanup(lambda: proc.poll() is None and proc.kill())
            self.assertTrue(log.wait_frames(1, timeout=60, proc=proc, faded=False))
            early = []
            while log.fading_in() and len(early) < 6:
                early.append(session.screenshot())
            self.assertTrue(log.wait_frames(3, timeout=20, proc=proc), "no frames drawn")
            # The second monitor fades in from its (black) desktop too: a look of it darker
            # than its field, and not black.
            crop = "1280x720+1024+0"
            field = sum(small_pixels(shot(session, "each-faded-in.png"), crop))
            ratios = [sum(small_pixels(path, crop)) / max(1, field) for path in early]
            self.assertTrue(any(0.05 < r < 0.8 for r in ratios), f"no fade-in there: {ratios}")
            lines = log.lines()
            self.assertIn("mode each", lines)
            self.assertEqual(log.start()["grid"], "256x192")
            monitors = log.monitors()
            self.assertEqual([m["window"] for m in monitors], [left, right])
            # The second monitor's own field: a quarter of it, another pattern than the primary's.
            fields = [line for line in lines if line.startswith("field")]
            self.assertEqual(len(fields), 1, lines)
            match = re.fullmatch(r"field pattern=(\d+) grid=(\d+x\d+)", fields[0])
            self.assertEqual(match.group(2), "320x180")
            self.assertNotEqual(int(match.group(1)), log.start()["pattern"])
            self.assertIn(int(match.group(1)), range(1, 21))
            self.assertEqual(session.field_moving([left, right], 0.2), [])
            shot(session, "each-monitor.png")
            # A change: a "cycle" line for each monitor, the second's to another pattern of its
            # own.
            self.assertTrue(wait_for(lambda: log.count("cycle") >= 2, timeout=20), log.lines())
            cycles = [re.fullmatch(r"cycle (\d+) (\d+)", line).groups()
                      for line in log.lines() if line.startswith("cycle")][:2]
            self.assertNotEqual(int(cycles[1][0]), int(match.group(1)))
            self.assertIn(int(cycles[1][0]), range(1, 21))
            time.sleep(0.8)
            shot(session, "each-cross-fade.png")
            # The second monitor made smaller and a third plugged in: the second keeps its own
            # field and pattern, whatever the primary shows, over a grid of its new size; the
            # third gets a field of its own and fades in as the others did.
            right = (1024, 0, 1024, 576)
            self.assertTrue(session.change_monitors(
                ["1024x768+0+0", "1024x576+1024+0", "800x600+2048+0"]), "Wine kept the monitors")
            self.assertTrue(wait_for(lambda: "fade-in monitor 2048,0 800x600" in log.lines(),
                                     timeout=20), log.lines()[-12:])
            lines = log.lines()
            change = max(i for i, line in enumerate(lines) if line.startswith("display change"))
            # The pairs of "cycle" lines: the primary's first, then the second monitor's.
            second = [line.split()[1] for line in lines[:change] if line.startswith("cycle")][1::2]
            fields = [re.fullmatch(r"field pattern=(\d+) grid=(\d+x\d+)", line).groups()
                      for line in lines[change:] if line.startswith("field")]
            self.assertIn((second[-1], "256x144"), fields, lines[change - 6:])
            self.assertIn("200x150", [grid for _, grid in fields])
            window = [w for w in session.windows_named() if session.geometry(w) == right]
            session.focus(window[0])
            session.key("a")
            self.assertEqual(session.wait_exit(proc, 10), 0, "a key did not end the saver")


if __name__ == "__main__":
    harness.main()
