"""Hostile stored settings in the settings mode (/c): the dialog opens under its live view,
shows the store's message where a value cannot be read, puts every slider inside its range by
the slider rules, writes nothing until " Save Settings", which then stores what the sliders
hold, and "Save Image" still saves a still (or says why it cannot) wherever Path_Wall points.

Every case's outcome prints as one line of a table: the store, the message, the sliders
(pattern, scheme, size, speed, random), what Save Image did, what Save Settings stored."""

import os
import re
import time

import harness
from test_hostile_settings import GET, TYPE, store
from test_settings_dialog import (BUTTON_CLOSE, BUTTON_SAVE_IMAGE, BUTTON_SAVE_SETTINGS,
                                  CHECK_RANDOM, SETTINGS, SLIDER_PATTERN, SLIDER_SCHEME,
                                  SLIDER_SIZE, SLIDER_SPEED, click_control, wait_for)

SAVE = "Save Image"
EDIT, DIRECTORIES = 201, 202
RANGES = {"Speed": range(0, 51), "Bright": range(0, 19), "Algoritm": range(1, 26),
          "Wall": range(1, 15), "Rands": range(0, 2)}

# (label, stored values or None for no key, the message expected at the start, Save Image?)
CASES = [
    ("Speed 80", store(Speed=("REG_DWORD", 80)), None, False),
    ("Speed -5", store(Speed=("REG_DWORD", -5)), None, False),
    ("Speed 2^31-1", store(Speed=("REG_DWORD", 2**31 - 1)), None, False),
    ("Bright 19", store(Bright=("REG_DWORD", 19)), None, False),
    ("Bright 255", store(Bright=("REG_DWORD", 255)), None, False),
    ("Bright -1", store(Bright=("REG_DWORD", -1)), None, False),
    ("Algoritm 0", store(Algoritm=("REG_DWORD", 0)), None, True),
    ("Algoritm 26", store(Algoritm=("REG_DWORD", 26)), None, False),
    ("Algoritm -7", store(Algoritm=("REG_DWORD", -7)), None, False),
    ("Algoritm 10^6", store(Algoritm=("REG_DWORD", 10**6)), None, False),
    ("Wall 0", store(Wall=("REG_DWORD", 0)), None, True),
    ("Wall 14", store(Wall=("REG_DWORD", 14)), None, True),
    ("Wall 99", store(Wall=("REG_DWORD", 99)), None, True),
    ("Wall -3", store(Wall=("REG_DWORD", -3)), None, True),
    ("Rands 7", store(Rands=("REG_DWORD", 7)), None, False),
    ("Path_Wall of 5000 characters", store(Path_Wall=("REG_SZ", "C:\\" + "d" * 4997)), None, True),
    ("Path_Wall a file", store(Path_Wall=("REG_SZ", "C:\\windows\\win.ini")), None, True),
    ("Path_Wall missing directory", store(Path_Wall=("REG_SZ", "C:\\No such folder\\Stills")), None, True),
    ("Path_Wall missing drive", store(Path_Wall=("REG_SZ", "Q:\\Stills")), None, True),
    ("Speed as string '12'", store(Speed=("REG_SZ", "12")), TYPE % "Speed", False),
    ("Bright as 8 bytes", store(Bright=("REG_BINARY", bytes(range(8)))), GET % "Bright", False),
    ("Algoritm as expandable string", store(Algoritm=("REG_EXPAND_SZ", "%SystemRoot%")), GET % "Algoritm", False),
    ("Wall as empty binary", store(Wall=("REG_BINARY", b"")), TYPE % "Wall", True),
    ("Rands as string '12'", store(Rands=("REG_SZ", "12")), TYPE % "Rands", False),
    ("Path_Wall as 8 bytes", store(Path_Wall=("REG_BINARY", bytes(8))), TYPE % "Path_Wall", True),
    ("key present but empty", {}, GET % "Speed", True),
    ("key missing (a first run)", None, None, True),
]


class HostileSettingsDialog(harness.SessionTestCase):
    SCREEN = (1366, 768)

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

    def message_boxes(self):
        return len(self.session._search_visible("^" + harness.TITLE + "$")) - 1

    def open(self, label):
        """Starts /c, answers the store's messages; returns (proc, log, messages, controls)."""
        session = self.session
        session.mouse_move(683, 700)
        log = harness.FrameLog(session, f"frames-{time.monotonic_ns()}.log")
        trace = harness.MessageBoxTrace(session, f"stderr-{time.monotonic_ns()}.txt")
        proc = session.start("/c", env=dict(log.env, **trace.env), stderr_path=trace.stderr_path)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        deadline = time.monotonic() + 60
        answered = 0
        while not (log.frames() >= 3 and session.find_window(SETTINGS, timeout=0)):
            self.assertIsNone(proc.poll(), f"{label}: ended by itself")
            self.assertLess(time.monotonic(), deadline, f"{label}: the dialog did not open")
            box = len(trace.texts()) > answered and session.find_window(harness.TITLE, timeout=0)
            if box:
                # The keys go where the pointer is: over the box, which comes before any window.
                x, y, width, height = session.geometry(box)
                session.mouse_move(x + width // 2, y + height // 2)
                time.sleep(0.3)
                session.key("Return")
                answered += 1
            time.sleep(0.1)
        return proc, log, trace, wait_for(lambda: session.controls(SETTINGS))

    def save_image(self, label, log):
        """Save Image, then Return in its dialog; returns what happened, in words."""
        session = self.session
        started = time.time() - 1
        click_control(session, SETTINGS, BUTTON_SAVE_IMAGE)
        dialog = wait_for(lambda: session.find_window(SAVE, timeout=0) or self.message_boxes() > 0, 60)
        self.assertTrue(dialog, f"{label}: Save Image did nothing")
        said = ""
        if not session.find_window(SAVE, timeout=0):
            session.key("Return")
            self.assertTrue(wait_for(lambda: self.message_boxes() == 0))
            # A message about the store may come before the dialog; another about the size
            # comes instead of it.
            if not session.find_window(SAVE, timeout=5):
                return "a message, no dialog"
            said = "a message, then "
        controls = wait_for(lambda: session.controls(SAVE))
        name = controls.text(EDIT)
        cx, cy, _, _ = session.geometry(session.find_window(SAVE))
        session.mouse_move(cx + 330, cy + 150)
        session.key("Return")
        gone = wait_for(lambda: not session.find_window(SAVE, timeout=0) or self.message_boxes() > 0, 60)
        self.assertTrue(gone, f"{label}: the save-image dialog neither saved nor said why")
        if session.find_window(SAVE, timeout=0):
            session.key("Return")  # the message's default answer
            wait_for(lambda: self.message_boxes() == 0)
            session.key("Escape")  # and the dialog
            self.assertTrue(wait_for(lambda: not session.find_window(SAVE, timeout=0)))
            return f"{said}{name}: a message, answered with its default; nothing saved"
        found = wait_for(lambda: self.new_stills(started), 20)
        self.assertTrue(found, f"{label}: no still written")
        return said + "saved " + ", ".join(found)

    def new_stills(self, since):
        """Windows paths of the BMP files written since `since` (time.time()) on drive C: or in
        the program's current directory."""
        drive = self.session.linux_path("C:\\")
        places = [(folder, files) for folder, _, files in os.walk(drive)]
        places.append((os.getcwd(), os.listdir(os.getcwd())))
        return [harness.windows_path(os.path.join(folder, name)).replace(
                    harness.windows_path(drive), "C:")
                for folder, files in places for name in files
                if name.lower().endswith(".bmp") and os.path.getmtime(os.path.join(folder, name)) >= since]

    def test_every_hostile_store(self):
        session = self.session
        rows = []
        for label, values, message, save_image in CASES:
            with self.subTest(label):
                # Each case saves its still afresh: the stills of the cases before are gone.
                for path in self.new_stills(0):
                    if os.path.basename(path.replace("\\", "/")).startswith("Lumora"):
                        os.remove(session.linux_path(path) or path.replace("Z:", "").replace("\\", "/"))
                session.reg_import(harness.reg_file(values))
                before = session.reg_query()
                proc, log, trace, dialog = self.open(label)
                sliders = tuple(dialog.value(i) for i in (SLIDER_PATTERN, SLIDER_SCHEME, SLIDER_SIZE,
                                                           SLIDER_SPEED, CHECK_RANDOM))
                self.assertEqual(trace.texts(), [message] if message else [], label)
                self.assertIn(sliders[0], range(1, 26), label)
                self.assertIn(sliders[1], range(0, 19), label)
                self.assertIn(sliders[2], range(1, 14), label)
                self.assertIn(sliders[3], range(0, 51), label)
                opened = session.reg_query()
                if values is not None:
                    self.assertEqual(opened, before, f"{label}: opening wrote to the store")
                saved = self.save_image(label, log) if save_image else "-"
                click_control(session, SETTINGS, BUTTON_SAVE_SETTINGS)
                wait_for(lambda: session.reg_query() != opened, 5)
                stored = session.reg_query()
                click_control(session, SETTINGS, BUTTON_CLOSE)
                self.assertEqual(session.wait_exit(proc, 20), 0, f"{label}: exit status")
                self.assertTrue(session.wait_idle(15), label)
                written = {k: stored[k][1] for k in RANGES}
                rows.append((label, "; ".join(trace.texts()) or "-", sliders, saved, written,
                             stored.get("Path_Wall", ("", ""))[1][:40]))
                # A directory the store held is never replaced by an empty one.
                self.assertTrue(stored["Path_Wall"][1], f"{label}: Path_Wall saved empty")
                for name, allowed in RANGES.items():
                    # In range, or as stored: a value below a slider's first position leaves the
                    # slider where it starts, so the slider rule never changes it.
                    kept = before is not None and before.get(name) == stored[name]
                    self.assertEqual(stored[name][0], "REG_DWORD", f"{label}: {name}")
                    self.assertTrue(stored[name][1] in allowed or kept,
                                    f"{label}: {name} saved as {stored[name][1]}")
        print("\n| stored | message | sliders (pattern, scheme, size, speed, random) | Save Image | "
              "Save Settings stored | Path_Wall after |")
        print("|---|---|---|---|---|---|")
        for label, message, sliders, saved, written, path in rows:
            print(f"| {label} | {message} | {sliders} | {saved} | "
                  f"{', '.join(f'{k} {v}' for k, v in written.items())} | {path} |")


if __name__ == "__main__":
    harness.main(budget=900)
