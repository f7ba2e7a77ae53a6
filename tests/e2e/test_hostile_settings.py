"""Stored settings that other programs, older versions or a damaged registry left: values out
of every range, of the wrong type, of any length, the key empty or missing. Full screen, one
session, each store in turn: the saver starts, shows the store's message where a value cannot be
read, draws a field over the whole screen (a stored pattern outside 1 to 25, which would draw
only the empty planes, black and still, runs as pattern 7), ends on Esc with status 0, and
leaves the key exactly as it found it (only the first run, with no key at all, writes its
defaults).

Every case's outcome is printed as one line of a table: the store, the message, the pattern the
saver started with, the picture (mean and spread of the screen's intensity), what was stored."""

import re
import time

import harness

GOOD = {
    "Speed": ("REG_DWORD", 20), "Bright": ("REG_DWORD", 3), "Algoritm": ("REG_DWORD", 17),
    "Wall": ("REG_DWORD", 7), "Rands": ("REG_DWORD", 0), "Path_Wall": ("REG_SZ", "C:\\Windows"),
}
INTEGERS = ("Speed", "Bright", "Algoritm", "Wall", "Rands")
GET = "Failed to get data for '%s'"
TYPE = "Invalid data type for '%s'"


def store(**changes):
    values = dict(GOOD)
    values.update(changes)
    return values


# (label, stored values or None for no key, the message expected, the start pattern: a number,
# STORED for the stored one, or RANDOM for one from 1 to 20, as Rands is on)
STORED, RANDOM = "stored", "random"
CASES = [
    ("Speed 80", store(Speed=("REG_DWORD", 80)), None, STORED),
    ("Speed -5", store(Speed=("REG_DWORD", -5)), None, STORED),
    ("Speed 2^31-1", store(Speed=("REG_DWORD", 2**31 - 1)), None, STORED),
    ("Bright 19", store(Bright=("REG_DWORD", 19)), None, STORED),
    ("Bright 255", store(Bright=("REG_DWORD", 255)), None, STORED),
    ("Bright -1", store(Bright=("REG_DWORD", -1)), None, STORED),
    ("Algoritm 0", store(Algoritm=("REG_DWORD", 0)), None, 7),
    ("Algoritm 26", store(Algoritm=("REG_DWORD", 26)), None, 7),
    ("Algoritm -7", store(Algoritm=("REG_DWORD", -7)), None, 7),
    ("Algoritm 10^6", store(Algoritm=("REG_DWORD", 10**6)), None, 7),
    ("Wall 0", store(Wall=("REG_DWORD", 0)), None, STORED),
    ("Wall 14", store(Wall=("REG_DWORD", 14)), None, STORED),
    ("Wall 99", store(Wall=("REG_DWORD", 99)), None, STORED),
    ("Wall -3", store(Wall=("REG_DWORD", -3)), None, STORED),
    ("Rands 7", store(Rands=("REG_DWORD", 7)), None, RANDOM),
    ("Path_Wall of 5000 characters", store(Path_Wall=("REG_SZ", "C:\\" + "d" * 4997)), None, STORED),
    ("Path_Wall a file", store(Path_Wall=("REG_SZ", "C:\\windows\\win.ini")), None, STORED),
    ("Path_Wall missing directory", store(Path_Wall=("REG_SZ", "C:\\No such folder\\Stills")), None, STORED),
    ("Path_Wall missing drive", store(Path_Wall=("REG_SZ", "Q:\\Stills")), None, STORED),
]
for name in INTEGERS:
    # A short text is merely of the wrong type; a long one (or 8 bytes) is too large to read.
    # After it, what was not read runs with its first-run value: Rands is then on.
    CASES += [
        (f"{name} as string '12'", store(**{name: ("REG_SZ", "12")}), TYPE % name, RANDOM),
        (f"{name} as 8 bytes", store(**{name: ("REG_BINARY", bytes(range(8)))}), GET % name, RANDOM),
        (f"{name} as expandable string", store(**{name: ("REG_EXPAND_SZ", "%SystemRoot%")}),
         GET % name, RANDOM),
        (f"{name} as empty binary", store(**{name: ("REG_BINARY", b"")}), TYPE % name, RANDOM),
    ]
CASES += [
    ("Path_Wall as integer", store(Path_Wall=("REG_DWORD", 12)), TYPE % "Path_Wall", STORED),
    ("Path_Wall as 8 bytes", store(Path_Wall=("REG_BINARY", bytes(8))), TYPE % "Path_Wall", STORED),
    ("Path_Wall as expandable string", store(Path_Wall=("REG_EXPAND_SZ", "%TEMP%\\Stills")), None, STORED),
    ("Path_Wall as empty binary", store(Path_Wall=("REG_BINARY", b"")), None, STORED),
    ("key present but empty", {}, GET % "Speed", RANDOM),
    ("key missing (a first run)", None, None, RANDOM),
]
FIRST_RUN = {"Speed": ("REG_DWORD", 20), "Bright": ("REG_DWORD", 0), "Algoritm": ("REG_DWORD", 7),
             "Wall": ("REG_DWORD", 1), "Rands": ("REG_DWORD", 1)}


class HostileSettings(harness.SessionTestCase):
    SCREEN = (800, 600)

    def run_saver(self, label):
        """Runs the saver on the store as it is; returns (messages, start line, picture)."""
        session = self.session
        session.mouse_move(400, 300)
        log = harness.FrameLog(session)
        trace = harness.MessageBoxTrace(session)
        proc = session.start("/s", env=dict(log.env, **trace.env), stderr_path=trace.stderr_path)
        deadline = time.monotonic() + 40
        acknowledged = 0
        while log.frames() < 5:
            self.assertIsNone(proc.poll(), f"{label}: the saver ended by itself")
            self.assertLess(time.monotonic(), deadline, f"{label}: no frames drawn")
            if len(trace.texts()) > acknowledged and session.find_window(timeout=0):
                time.sleep(0.3)  # the box takes the key once it has the focus
                session.key("Return")
                acknowledged += 1
            time.sleep(0.1)
        start = re.search(r"start pattern=(-?\d+) grid=(\d+x\d+) window=(\d+x\d+)",
                          "\n".join(log.lines()))
        self.assertEqual(start.group(2, 3), ("200x150", "800x600"), label)
        window = session.find_window(timeout=5)
        self.assertEqual(session.geometry(window), (0, 0, 800, 600), label)
        picture = harness.image_stats(session.screenshot())
        session.key("Escape")
        status = session.wait_exit(proc, 10)
        if status is None:  # the key went elsewhere: a jerk of the mouse ends it too
            session.mouse_move(0, 0)
            status = session.wait_exit(proc, 10)
        self.assertEqual(status, 0, f"{label}: exit status")
        self.assertTrue(session.wait_idle(15), label)
        return trace.texts(), int(start.group(1)), picture

    def test_every_hostile_store(self):
        session = self.session
        rows = []
        for label, values, message, start_pattern in CASES:
            with self.subTest(label):
                session.reg_import(harness.reg_file(values))
                before = session.reg_query()
                self.assertEqual(before is None, values is None, label)
                messages, pattern, (mean, spread) = self.run_saver(label)
                after = session.reg_query()
                rows.append((label, "; ".join(messages) or "-", pattern, mean, spread, after == before))
                self.assertEqual(messages, [message] if message else [], label)
                if start_pattern == RANDOM:
                    self.assertIn(pattern, range(1, 21), label)
                else:
                    expected = values["Algoritm"][1] if start_pattern == STORED else start_pattern
                    self.assertEqual(pattern, expected, label)
                self.assertGreater(spread, 0.01, f"{label}: the screen is one flat colour")
                if values is None:
                    self.assertEqual({k: after.get(k) for k in FIRST_RUN}, FIRST_RUN, label)
                else:
                    self.assertEqual(after, before, f"{label}: the store was changed")
        print("\n| stored | message | start pattern | screen mean / spread | key unchanged |")
        print("|---|---|---|---|---|")
        for label, message, pattern, mean, spread, unchanged in rows:
            print(f"| {label} | {message} | {pattern} | {mean:.3f} / {spread:.3f} | "
                  f"{'yes' if unchanged else 'no'} |")


if __name__ == "__main__":
    harness.main(budget=900)
