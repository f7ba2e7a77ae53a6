"""Stored settings that other programs, older versions or a damaged registry left, through the
real registry and the real program: every value out of its range (above, then below), a value of
the wrong type, a key without values, and (in the settings mode) a first run. The unit tests
(settings_test) go through every value, type and size of such stores against the same policy.

Full screen: the saver shows the store's message where a value cannot be read, draws a field
over the whole screen (a stored pattern outside 1 to 25 runs as pattern 7, else a random one as
Rands is then on), ends on Esc with status 0 and leaves the key exactly as it found it.

Settings mode (/c): the dialog opens under its live view with the store's message, every slider
inside its range, nothing written; "Save Image" saves a still (or says why it cannot) wherever
Path_Wall points; " Save Settings" stores what the sliders hold, never an empty Path_Wall.

Every case prints as one line of a table."""

import os
import time

import harness
from harness import (BUTTON_CLOSE, BUTTON_SAVE_IMAGE, BUTTON_SAVE_SETTINGS, CHECK_RANDOM, SAVE_IMAGE,
                     SETTINGS, SLIDER_PATTERN, SLIDER_SCHEME, SLIDER_SIZE, SLIDER_SPEED, wait_for)

GET = "Failed to get data for '%s'"
TYPE = "Invalid data type for '%s'"
GOOD = {
    "Speed": ("REG_DWORD", 20), "Bright": ("REG_DWORD", 3), "Algoritm": ("REG_DWORD", 17),
    "Wall": ("REG_DWORD", 7), "Rands": ("REG_DWORD", 0), "Path_Wall": ("REG_SZ", "C:\\Windows"),
}
# Rands 0: the start pattern is the stored one, which is outside 1 to 25.
ABOVE = {"Speed": ("REG_DWORD", 2**31 - 1), "Bright": ("REG_DWORD", 255),
         "Algoritm": ("REG_DWORD", 10**6), "Wall": ("REG_DWORD", 99), "Rands": ("REG_DWORD", 0),
         "Path_Wall": ("REG_SZ", "C:\\" + "d" * 4997)}
BELOW = {"Speed": ("REG_DWORD", -5), "Bright": ("REG_DWORD", -1), "Algoritm": ("REG_DWORD", -7),
         "Wall": ("REG_DWORD", -3), "Rands": ("REG_DWORD", 0),
         "Path_Wall": ("REG_SZ", "C:\\No such folder\\Stills")}
WRONG_TYPE = dict(GOOD, Speed=("REG_SZ", "12"))
# The load stops at Rands; the directory, on a drive that is not there, is read on its own.
WRONG_TYPE_DIALOG = dict(GOOD, Rands=("REG_SZ", "12"), Path_Wall=("REG_SZ", "Q:\\Stills"))
RANDOM = "random"


def start_answering(test, label, mode, ready, timeout):
    """Starts lumora.scr in mode with its frame log and message box trace and answers each
    message box it shows until ready(log); returns (proc, log, trace)."""
    session = test.session
    log = harness.FrameLog(session, f"frames-{time.monotonic_ns()}.log")
    trace = harness.MessageBoxTrace(session, f"stderr-{time.monotonic_ns()}.txt")
    proc = session.start(mode, env=dict(log.env, **trace.env), stderr_path=trace.stderr_path)
    test.addCleanup(lambda: proc.poll() is None and proc.kill())
    deadline = time.monotonic() + timeout
    answered = 0
    while not ready(log):
        test.assertIsNone(proc.poll(), f"{label}: ended by itself")
        test.assertLess(time.monotonic(), deadline, f"{label}: did not start")
        box = len(trace.texts()) > answered and session.find_window(harness.TITLE, timeout=0)
        if box:
            # The keys go where the pointer is: over the box, which comes before any window.
            x, y, width, height = session.geometry(box)
            session.mouse_move(x + width // 2, y + height // 2)
            time.sleep(0.3)
            session.key("Return")
            answered += 1
        time.sleep(0.1)
    return proc, log, trace


class FullScreen(harness.SessionTestCase):
    SCREEN = (800, 600)

    def run_saver(self, label):
        """Runs the saver on the store as it is; returns (messages, start pattern, picture)."""
        session = self.session
        session.mouse_move(400, 300)
        proc, log, trace = start_answering(self, label, "/s", lambda log: log.frames() >= 5, 40)
        start = log.start()
        self.assertEqual((start["grid"], start["window"]), ("200x150", "800x600"), label)
        self.assertEqual(session.geometry(session.find_window(timeout=5)), (0, 0, 800, 600), label)
        picture = harness.image_stats(session.screenshot())
        session.key("Escape")
        status = session.wait_exit(proc, 10)
        if status is None:  # the key went elsewhere: a jerk of the mouse ends it too
            session.mouse_move(0, 0)
            status = session.wait_exit(proc, 10)
        self.assertEqual(status, 0, f"{label}: exit status")
        self.assertTrue(session.wait_idle(15), label)
        return trace.texts(), start["pattern"], picture

    def test_hostile_stores(self):
        cases = [("every value above its range", ABOVE, None, 7),
                 ("every value below its range", BELOW, None, 7),
                 ("Speed as string '12'", WRONG_TYPE, TYPE % "Speed", RANDOM),
                 ("key present but empty", {}, GET % "Speed", RANDOM)]
        print("\n| stored | message | start pattern | screen mean / spread |\n|---|---|---|---|")
        for label, values, message, start in cases:
            with self.subTest(label):
                self.session.reg_import(harness.reg_file(values))
                before = self.session.reg_query()
                messages, pattern, (mean, spread) = self.run_saver(label)
                print(f"| {label} | {'; '.join(messages) or '-'} | {pattern} | {mean:.3f} / {spread:.3f} |")
                self.assertEqual(messages, [message] if message else [], label)
                self.assertIn(pattern, range(1, 21) if start == RANDOM else [start], label)
                self.assertGreater(spread, 0.01, f"{label}: the screen is one flat colour")
                self.assertEqual(self.session.reg_query(), before, f"{label}: the store was changed")


class SettingsMode(harness.SessionTestCase):
    SCREEN = (1366, 768)
    RANGES = {"Speed": range(0, 51), "Bright": range(0, 19), "Algoritm": range(1, 26),
              "Wall": range(1, 25), "Rands": range(0, 2)}

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # Where the save-image dialog falls back to when Path_Wall is of no use: the session's
        # own directory, never the source tree.
        cls.cwd = os.getcwd()
        os.chdir(cls.session.workdir)

    @classmethod
    def tearDownClass(cls):
        os.chdir(cls.cwd)
        super().tearDownClass()

    def open(self, label):
        """Starts /c and answers the store's messages; returns (proc, trace, dialog controls)."""
        session = self.session
        session.mouse_move(683, 700)
        proc, log, trace = start_answering(
            self, label, "/c", lambda log: log.frames() >= 3 and session.find_window(SETTINGS, timeout=0), 60)
        return proc, trace, wait_for(lambda: session.controls(SETTINGS))

    def save_image(self, label):
        """Save Image, then Return in its dialog; returns what happened, in words."""
        session = self.session
        started = time.time() - 1
        session.click_control(SETTINGS, BUTTON_SAVE_IMAGE)
        shown = wait_for(lambda: session.find_window(SAVE_IMAGE, timeout=0) or session.message_boxes() > 0, 60)
        self.assertTrue(shown, f"{label}: Save Image did nothing")
        said = ""
        if not session.find_window(SAVE_IMAGE, timeout=0):
            session.key("Return")
            self.assertTrue(wait_for(lambda: session.message_boxes() == 0))
            # A message about the store may come before the dialog; another about the size
            # comes instead of it.
            if not session.find_window(SAVE_IMAGE, timeout=5):
                return "a message, no dialog"
            said = "a message, then "
        name = wait_for(lambda: session.controls(SAVE_IMAGE)).text(201)
        cx, cy, _, _ = session.geometry(session.find_window(SAVE_IMAGE))
        session.mouse_move(cx + 330, cy + 150)
        session.key("Return")
        gone = wait_for(lambda: not session.find_window(SAVE_IMAGE, timeout=0) or session.message_boxes() > 0, 60)
        self.assertTrue(gone, f"{label}: the save-image dialog neither saved nor said why")
        if session.find_window(SAVE_IMAGE, timeout=0):
            session.key("Return")  # the message's default answer
            wait_for(lambda: session.message_boxes() == 0)
            session.key("Escape")  # and the dialog
            self.assertTrue(wait_for(lambda: not session.find_window(SAVE_IMAGE, timeout=0)))
            return f"{said}{name}: a message, answered with its default; nothing saved"
        found = wait_for(lambda: self.new_stills(started), 20)
        self.assertTrue(found, f"{label}: no still written")
        return said + "saved " + ", ".join(found)

    def new_stills(self, since):
        """The BMP files written since `since` (time.time()) on drive C: or in the program's
        current directory, by their Linux paths."""
        places = [(folder, files) for folder, _, files in os.walk(self.session.linux_path("C:\\"))]
        places.append((os.getcwd(), os.listdir(os.getcwd())))
        return [os.path.join(folder, name) for folder, files in places for name in files
                if name.lower().endswith(".bmp") and os.path.getmtime(os.path.join(folder, name)) >= since]

    def test_hostile_stores(self):
        session = self.session
        cases = [("every value above its range", dict(ABOVE, Rands=("REG_DWORD", 7)), None),
                 ("every value below its range", BELOW, None),
                 ("Rands as string '12', Path_Wall on no drive", WRONG_TYPE_DIALOG, TYPE % "Rands"),
                 # Save Image reads the directory again: its message comes before the dialog.
                 ("Path_Wall as 8 bytes", dict(GOOD, Path_Wall=("REG_BINARY", bytes(8))), TYPE % "Path_Wall"),
                 ("key present but empty", {}, GET % "Speed"),
                 ("key missing (a first run)", None, None)]
        print("\n| stored | message | sliders (pattern, scheme, size, speed, random) | Save Image | "
              "Save Settings stored |\n|---|---|---|---|---|")
        for label, values, message in cases:
            with self.subTest(label):
                # Each case saves its still afresh: the stills of the cases before are gone.
                for path in self.new_stills(0):
                    if os.path.basename(path).startswith("Lumora"):
                        os.remove(path)
                session.reg_import(harness.reg_file(values))
                before = session.reg_query()
                proc, trace, dialog = self.open(label)
                sliders = tuple(dialog.value(i) for i in (SLIDER_PATTERN, SLIDER_SCHEME, SLIDER_SIZE,
                                                           SLIDER_SPEED, CHECK_RANDOM))
                self.assertEqual(trace.texts(), [message] if message else [], label)
                for value, allowed in zip(sliders, (range(1, 26), range(0, 19), range(1, 25), range(0, 51))):
                    self.assertIn(value, allowed, label)
                opened = session.reg_query()
                if values is not None:
                    self.assertEqual(opened, before, f"{label}: opening wrote to the store")
                saved = self.save_image(label)
                session.click_control(SETTINGS, BUTTON_SAVE_SETTINGS)
                wait_for(lambda: session.reg_query() != opened, 5)
                stored = session.reg_query()
                session.click_control(SETTINGS, BUTTON_CLOSE)
                self.assertEqual(session.wait_exit(proc, 20), 0, f"{label}: exit status")
                self.assertTrue(session.wait_idle(15), label)
                written = {k: stored[k][1] for k in self.RANGES}
                print(f"| {label} | {'; '.join(trace.texts()) or '-'} | {sliders} | {saved} | "
                      f"{', '.join(f'{k} {v}' for k, v in written.items())}, "
                      f"Path_Wall {stored.get('Path_Wall', ('', ''))[1][:40]} |")
                self.assertTrue(stored["Path_Wall"][1], f"{label}: Path_Wall saved empty")
                for name, allowed in self.RANGES.items():
                    # In range, or as stored: a value below a slider's first position leaves the
                    # slider where it starts, so the slider rule never changes it.
                    kept = before is not None and before.get(name) == stored[name]
                    self.assertEqual(stored[name][0], "REG_DWORD", f"{label}: {name}")
                    self.assertTrue(stored[name][1] in allowed or kept,
                                    f"{label}: {name} saved as {stored[name][1]}")


if __name__ == "__main__":
    harness.main()
