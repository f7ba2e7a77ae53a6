"""The save-image dialog of the settings mode: the still it writes, the name it proposes, the
directory it remembers, what it refuses, and the live view and the keys it gives back however it
is left."""

import os
import time

import harness
from harness import BUTTON_SAVE_IMAGE, SETTINGS, wait_for
from harness import SAVE_IMAGE as SAVE
from test_settings_dialog import scaled

EDIT, DIRECTORIES, FILES, LABEL_NAME = 201, 202, 203, 204
SAVE_BUTTON, CANCEL_BUTTON = 1, 2
DESIGN = {LABEL_NAME: (0, 0, 48, 23), EDIT: (56, 1, 241, 24), SAVE_BUTTON: (324, 1, 75, 25),
          CANCEL_BUTTON: (324, 30, 75, 25), DIRECTORIES: (0, 40, 145, 180),
          FILES: (152, 40, 145, 180)}
LIVE_GRID = "480x270"  # half the live view's 960 x 540


def check_layout(test, controls, dpi):
    test.assertEqual(controls.window["dpi"], dpi)
    test.assertEqual(controls.window["client"], (415 * dpi // 96, 236 * dpi // 96))
    for control_id, rect in DESIGN.items():
        test.assertEqual(controls.by_id[control_id]["rect"], scaled(rect, dpi), control_id)
    for control_id in (DIRECTORIES, FILES):
        test.assertEqual(controls.by_id[control_id]["item_height"], 16 * dpi // 96)


def read_bmp_size(path):
    with open(path, "rb") as f:
        header = f.read(26)
    assert header[:2] == b"BM", "not a BMP file"
    return int.from_bytes(header[18:22], "little", signed=True), \
        abs(int.from_bytes(header[22:26], "little", signed=True))


class SaveImage(harness.SessionTestCase):
    SCREEN = (1920, 1080)

    def answer(self, key):
        """Waits for a message box, answers it with a key, and waits for it to go."""
        session = self.session
        self.assertTrue(wait_for(lambda: session.message_boxes() == 1), "no message box")
        session.key(key)
        self.assertTrue(wait_for(lambda: session.message_boxes() == 0), "the message box stayed")

    def open_save_dialog(self):
        session = self.session
        session.click_control(SETTINGS, BUTTON_SAVE_IMAGE)
        self.assertIsNotNone(session.find_window(SAVE, timeout=30), "no save-image dialog")
        dialog = wait_for(lambda: session.controls(SAVE))
        cx, cy, _, _ = session.geometry(session.find_window(SAVE))
        session.mouse_move(cx + 330, cy + 150)  # over the dialog, so that it gets the keys
        return dialog

    def restored(self, fields_before):
        """True when exactly one refill at the live view's grid followed and frames are drawn."""
        fields = [line for line in self.log.lines() if line.startswith("field")][fields_before:]
        restores = [f for f in fields if f.endswith("grid=" + LIVE_GRID)]
        return len(restores) == 1 and self.log.wait_frames(3, timeout=20)

    def click_first_entry(self, dialog, list_id, clicks=1):
        session = self.session
        cx, cy, _, _ = session.geometry(session.find_window(SAVE))
        x, y, w, h = dialog.by_id[list_id]["rect"]
        session.mouse_move(cx + x + 30, cy + y + 9)
        harness._run(["xdotool", "click", "--repeat", str(clicks), "--delay", "80", "1"],
                     env=session.env)

    def type_name(self, name):
        """Clicks into the name field, replaces its text and waits until it holds the name."""
        session = self.session
        session.click_control(SAVE, EDIT)
        session.key("ctrl+a")
        harness._run(["xdotool", "type", "--delay", "20", name], env=session.env)
        self.assertTrue(wait_for(lambda: session.controls(SAVE).text(EDIT) == name),
                        session.controls(SAVE).text(EDIT))

    def keys_back(self, how):
        """The settings dialog is active again with the focus on "Save Image", which opened it."""
        session = self.session
        state = lambda: (lambda w: (w["active"], w["focus"]))(session.controls(SETTINGS).window)
        self.assertTrue(wait_for(lambda: state() == (1, BUTTON_SAVE_IMAGE), 10),
                        f"{how}: (active, focus) {state()}")

    def fields(self):
        return [line for line in self.log.lines() if line.startswith("field")]

    def test_save_refusals_replacing_and_every_way_out(self):
        session = self.session
        stills = session.linux_path("C:\\stills")
        os.makedirs(stills)
        session.reg_store(Speed=20, Bright=9, Algoritm=7, Wall=12, Rands=0, Path_Wall="C:\\stills")
        self.log = harness.FrameLog(session)
        proc = session.start("/c", env=self.log.env)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.assertTrue(self.log.wait_frames(3, timeout=40, proc=proc))
        self.assertIsNotNone(session.find_window(SETTINGS, timeout=10))
        self.assertEqual(session.controls(SETTINGS).text(106), "Image Size 1920x1080-Your Desktop")

        # The first still: rendered at the preset's size, proposed as Lumora1 in C:\stills.
        dialog = self.open_save_dialog()
        self.assertEqual(self.fields()[-1], "field pattern=7 grid=1920x1080")
        check_layout(self, dialog, 96)
        x, y, w, h = (dialog.window[k] for k in ("x", "y", "width", "height"))
        self.assertLessEqual(abs(x - (1920 - w) // 2), 1)
        self.assertLessEqual(abs(y - (1080 - h) // 2), 1)
        self.assertEqual(dialog.text(EDIT), "Lumora1")
        self.assertEqual(dialog.by_id[DIRECTORIES]["items"], ["C:\\", "stills"])
        self.assertEqual(dialog.by_id[FILES]["items"], [])
        session.screenshot(session.scratch_path("save-96.png"))
        before = len(self.fields())
        session.key("Return")
        first = os.path.join(stills, "Lumora1.bmp")
        self.assertTrue(wait_for(lambda: os.path.isfile(first) and self.restored(before), 30),
                        (os.listdir(stills), self.log.lines()[-3:], session.message_boxes()))
        self.assertFalse(session.find_window(SAVE, timeout=1))
        self.keys_back("Save")
        self.assertEqual(read_bmp_size(first), (1920, 1080))
        mean, deviation = harness.image_stats(first)
        self.assertGreater(deviation, 0.02, "the still is flat, not the field")
        self.assertEqual(sorted(os.listdir(stills)), ["Lumora1.bmp"])  # no temporary file left
        saved_at = os.path.getmtime(first)

        # The next proposes Lumora2. Picking Lumora1.bmp asks before replacing it; No keeps it.
        dialog = self.open_save_dialog()
        self.assertEqual(dialog.text(EDIT), "Lumora2")
        self.assertEqual(dialog.by_id[FILES]["items"], ["Lumora1.bmp"])
        self.click_first_entry(dialog, FILES)
        self.assertTrue(wait_for(lambda: session.controls(SAVE).text(EDIT) == "Lumora1.bmp"))
        session.key("Return")
        self.answer("Return")  # No is the default
        self.assertEqual(os.path.getmtime(first), saved_at)
        self.assertEqual(sorted(os.listdir(stills)), ["Lumora1.bmp"])
        self.assertTrue(session.find_window(SAVE, timeout=1), "the dialog closed after No")

        # Names that are refused, and a save that fails, keep the dialog and the number.
        for typed in ("a|b", "*.bmp", "no-such-folder\\x"):
            self.type_name(typed)
            session.key("Return")
            self.answer("Return")
            self.assertTrue(session.find_window(SAVE, timeout=1), typed)
        self.assertEqual(sorted(os.listdir(stills)), ["Lumora1.bmp"])
        self.assertEqual(session.reg_query()["Path_Wall"][1], "C:\\stills")

        # Esc leaves: the live view is back at its own grid and animates; nothing was written.
        before = len(self.fields())
        session.key("Escape")
        self.assertTrue(wait_for(lambda: not session.find_window(SAVE, timeout=0), 10))
        self.assertTrue(self.restored(before), "the live view was not restored once")
        self.keys_back("Esc")
        # The keys go on in the settings dialog: Tab moves the focus on from "Save Image".
        sx, sy, _, _ = session.geometry(session.find_window(SETTINGS))
        session.mouse_move(sx + 200, sy + 90)  # the keyboard follows the pointer
        session.key("Tab")
        self.assertTrue(wait_for(lambda: session.controls(SETTINGS).window["focus"]
                                 not in (0, BUTTON_SAVE_IMAGE)), "Tab after Esc went nowhere")

        # Saving from another directory stores it; the number is 2 still: nothing else was saved.
        dialog = self.open_save_dialog()
        self.assertEqual(dialog.text(EDIT), "Lumora2")
        self.click_first_entry(dialog, DIRECTORIES, clicks=2)  # C:\
        self.assertTrue(wait_for(lambda: session.controls(SAVE).by_id[DIRECTORIES]["items"][:1] == ["C:\\"]
                                 and "stills" in session.controls(SAVE).by_id[DIRECTORIES]["items"]
                                 and len(session.controls(SAVE).by_id[DIRECTORIES]["items"]) > 2))
        self.assertEqual(session.controls(SAVE).text(EDIT), "*.bmp")
        # A save that fails from there still remembers the directory.
        self.type_name("no-such-folder\\y")
        session.key("Return")
        self.answer("Return")
        self.assertEqual(session.reg_query()["Path_Wall"][1], "C:\\")
        self.type_name("Lumora2.BMP")
        before = len(self.fields())
        session.key("Return")
        other = session.linux_path("C:\\Lumora2.BMP")
        self.assertTrue(wait_for(lambda: os.path.isfile(other) and self.restored(before), 30))
        self.assertEqual(session.reg_query()["Path_Wall"][1], "C:\\")

        # The dialog's close (Alt+F4, as its close box) restores once; then one dialog at a time.
        dialog = self.open_save_dialog()
        self.assertEqual(dialog.text(EDIT), "Lumora3")
        stills_rendered = len([f for f in self.fields() if f.endswith("grid=1920x1080")])
        session.click_control(SETTINGS, BUTTON_SAVE_IMAGE)
        time.sleep(2)
        self.assertEqual(len([f for f in self.fields() if f.endswith("grid=1920x1080")]),
                         stills_rendered, "a second press rendered again")
        self.assertEqual(len(session.windows_named(SAVE)), 1)
        cx, cy, _, _ = session.geometry(session.find_window(SAVE))
        session.mouse_move(cx + 330, cy + 150)
        session.click()
        before = len(self.fields())
        session.key("alt+F4")
        self.assertTrue(wait_for(lambda: not session.find_window(SAVE, timeout=0), 10))
        self.assertTrue(self.restored(before), "the live view was not restored once")
        self.assertIsNone(proc.poll())
        self.keys_back("the close")

        # Two clicks on Save back to back: one still of the chosen size, no question, one number.
        dialog = self.open_save_dialog()
        self.assertEqual(dialog.text(EDIT), "Lumora3")
        before = len(self.fields())
        self.assertIsNotNone(session.probe("clicks", SAVE, str(SAVE_BUTTON), "2"))
        third = session.linux_path("C:\\Lumora3.bmp")
        self.assertTrue(wait_for(lambda: os.path.isfile(third) and self.restored(before), 30))
        saved_at = os.path.getmtime(third)
        time.sleep(2)
        self.assertEqual(session.message_boxes(), 0, "the second click asked a question")
        self.assertEqual(os.path.getmtime(third), saved_at, "the second click wrote again")
        self.assertEqual(read_bmp_size(third), (1920, 1080))
        self.assertEqual(self.open_save_dialog().text(EDIT), "Lumora4")
        session.key("Escape")
        self.assertTrue(wait_for(lambda: not session.find_window(SAVE, timeout=0), 10))

        session.click_control(SETTINGS, 112)  # Close
        self.assertEqual(session.wait_exit(proc, 15), 0)


if __name__ == "__main__":
    harness.main()
