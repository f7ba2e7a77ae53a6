"""The settings mode (/c): the settings dialog under its live view, its sliders, check box and
buttons, and how each way out ends the program; at 96 DPI on the design's pixels."""

import time

import harness
from harness import (BUTTON_CLOSE, BUTTON_SAVE_IMAGE, BUTTON_SAVE_SETTINGS, CHECK_RANDOM,
                     COMBO_MONITORS, LABEL_PATTERN, LABEL_SCHEME, LABEL_SIZE, LABEL_SPEED, SETTINGS,
                     SLIDER_PATTERN, SLIDER_SCHEME, SLIDER_SIZE, SLIDER_SPEED, wait_for)

BORDER = 8
# Design rectangles (left, top, width, height) in the design's client area; the sliders are as
# tall as their thumb and ticks need.
DESIGN = {
    CHECK_RANDOM: (170, 1, 84, 17),
    SLIDER_PATTERN: (0, 24, 260, 30), SLIDER_SCHEME: (270, 24, 230, 30),
    SLIDER_SIZE: (0, 100, 260, 30), SLIDER_SPEED: (270, 100, 230, 30),
    BUTTON_SAVE_SETTINGS: (7, 150, 120, 25), BUTTON_SAVE_IMAGE: (140, 150, 120, 25),
    BUTTON_CLOSE: (420, 150, 75, 25),
}
# The monitors' drop-down list keeps its design's left, top and width; closed, it is as tall as
# its font needs, inside the buttons' row.
COMBO = (265, 151, 150)
# Labels keep their design's left, top and height, and grow with a longer caption.
LABELS = {LABEL_PATTERN: (7, 0, 103, 20), LABEL_SCHEME: (277, 0, 59, 20),
          LABEL_SIZE: (7, 76, 73, 20), LABEL_SPEED: (277, 76, 45, 20)}


def scaled(rect, dpi):
    return tuple((v + BORDER * (i < 2)) * dpi // 96 for i, v in enumerate(rect))


def check_layout(test, controls, dpi):
    """Every control at the design's rectangle scaled to the DPI; the client area 516 x 191."""
    test.assertEqual(controls.window["dpi"], dpi)
    test.assertEqual(controls.window["client"], (516 * dpi // 96, 191 * dpi // 96))
    for control_id, rect in DESIGN.items():
        test.assertEqual(controls.by_id[control_id]["rect"], scaled(rect, dpi), control_id)
    for control_id, rect in LABELS.items():
        x, y, w, h = controls.by_id[control_id]["rect"]
        sx, sy, sw, sh = scaled(rect, dpi)
        test.assertEqual((x, y, h), (sx, sy, sh), control_id)
        test.assertGreaterEqual(w, sw, control_id)
    x, y, w, h = controls.by_id[COMBO_MONITORS]["rect"]
    test.assertEqual((x, y, w), scaled(COMBO + (0,), dpi)[:3])
    button_bottom = sum(scaled(DESIGN[BUTTON_CLOSE], dpi)[1::2])
    test.assertLessEqual(y + h, button_bottom, "the drop-down list leaves the buttons' row")
    test.assertGreaterEqual(h, 18 * dpi // 96, "the drop-down list is too low for its text")


class SettingsDialog(harness.SessionTestCase):
    SCREEN = (1366, 768)

    def start(self, **stored):
        session = self.session
        session.reg_store(**stored)
        self.log = harness.FrameLog(session, name=f"frames-{time.monotonic_ns()}.log")
        proc = session.start("/c", env=self.log.env)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.assertTrue(self.log.wait_frames(3, timeout=40, proc=proc), "no frames drawn")
        self.assertIsNotNone(session.find_window(SETTINGS, timeout=10, proc=proc))
        return proc

    def fields(self):
        return [line for line in self.log.lines() if line.startswith("field")]

    def test_1_opens_under_the_live_view_with_the_stored_values_clamped(self):
        session = self.session
        proc = self.start(Speed=80, Bright=17, Algoritm=26, Wall=30, Rands=0,
                          Path_Wall="C:\\", Monitors=2)
        self.assertEqual(self.log.start()["window"], "683x384")
        self.assertEqual(self.log.start()["grid"], "342x192")
        dialog = session.controls(SETTINGS)
        live = session.controls(harness.TITLE).window
        check_layout(self, dialog, 96)
        # Centred under the live view, 2 pixels below it, outer sizes; on this screen the two
        # stand a little higher than a fifth down, so that the dialog's bottom meets the screen's.
        self.assertEqual(dialog.window["x"], live["x"] + (live["width"] - dialog.window["width"]) // 2)
        self.assertEqual(dialog.window["y"], live["y"] + live["height"] + 2)
        self.assertEqual(dialog.window["y"] + dialog.window["height"], 768)
        self.assertLess(live["y"], 768 // 5)

        # Pattern 26 opens at 25 and refills the planes; Wall 30 at the slider's end, the display's
        # own size (24); Speed 80 at 50.
        self.assertEqual(dialog.value(SLIDER_PATTERN), 25)
        self.assertEqual(dialog.text(LABEL_PATTERN), "Lumora image  25")
        self.assertEqual(self.fields(), ["field pattern=25 grid=342x192"])
        self.assertEqual(dialog.text(LABEL_SCHEME), "Lumora light slate gray")
        self.assertEqual(dialog.value(SLIDER_SIZE), 24)
        self.assertEqual(dialog.text(LABEL_SIZE), "Image Size 1366x768-Your Desktop")
        self.assertEqual(dialog.value(SLIDER_SPEED), 50)
        self.assertEqual(dialog.text(LABEL_SPEED), "Speed")
        self.assertEqual(dialog.value(CHECK_RANDOM), 0)
        self.assertEqual(dialog.text(BUTTON_SAVE_SETTINGS), " Save Settings")
        self.assertEqual((dialog.value(COMBO_MONITORS), dialog.text(COMBO_MONITORS)),
                         (2, "Primary only"))
        session.screenshot(session.scratch_path("settings-96.png"))

        # What memory holds after opening is what " Save Settings" stores.
        session.click_control(SETTINGS, BUTTON_SAVE_SETTINGS, dialog)
        self.assertTrue(wait_for(lambda: session.reg_query()["Speed"][1] == 50))
        stored = session.reg_query()
        self.assertEqual((stored["Algoritm"][1], stored["Wall"][1], stored["Bright"][1],
                          stored["Monitors"]), (25, 24, 17, ("REG_DWORD", 2)))

        # Dragging the live view drags the dialog with it.
        live_window = session.find_window(harness.TITLE, timeout=5)
        harness._run(["xdotool", "windowmove", str(live_window), "100", "60"], env=session.env)
        moved = wait_for(lambda: (lambda d, l: d["y"] == l["y"] + l["height"] + 2 and
                                  d["x"] == l["x"] + (l["width"] - d["width"]) // 2 and l["y"] != live["y"])(
            session.controls(SETTINGS).window, session.controls(harness.TITLE).window), timeout=5)
        self.assertTrue(moved, "the dialog did not follow the live view")

        # A click on the check box turns Rands on; from there Tab reaches each slider in turn.
        dialog = session.controls(SETTINGS)
        cx, cy, _, _ = session.geometry(session.find_window(SETTINGS))
        session.click_control(SETTINGS, CHECK_RANDOM, dialog)
        session.mouse_move(cx + 300, cy + 148)  # the keyboard follows the pointer: keep it here
        session.key("Tab")          # pattern
        session.key("Left")
        session.key("Tab")          # colour scheme
        session.key("Right")
        session.key("Tab")          # image size
        session.key("Left")
        session.key("Tab")          # speed
        session.key("Left")
        for _ in range(3):          # " Save Settings", "Save Image", the monitors
            session.key("Tab")
        session.key("Up")
        changed = wait_for(lambda: session.controls(SETTINGS).value(SLIDER_SPEED) == 49)
        self.assertTrue(changed, "the speed slider did not move")
        dialog = session.controls(SETTINGS)
        self.assertEqual(dialog.value(CHECK_RANDOM), 1)
        self.assertEqual(dialog.text(LABEL_PATTERN), "Lumora image  24")
        self.assertEqual(dialog.text(LABEL_SCHEME), "Lumora white")
        self.assertEqual(dialog.text(LABEL_SIZE), "Image Size 7680x4320")
        self.assertEqual(dialog.text(COMBO_MONITORS), "Span monitors")
        self.assertEqual(self.fields()[-1], "field pattern=24 grid=342x192")
        # Moving the colour scheme, size and speed refilled nothing.
        self.assertEqual(len(self.fields()), 2)

        session.click_control(SETTINGS, BUTTON_SAVE_SETTINGS, dialog)
        self.assertTrue(wait_for(lambda: session.reg_query()["Speed"][1] == 49))
        stored = session.reg_query()
        self.assertEqual((stored["Algoritm"][1], stored["Bright"][1], stored["Wall"][1],
                          stored["Rands"][1], stored["Monitors"][1]), (24, 18, 23, 1, 1))

        # Unsaved: one more step of the speed, then Esc with the slider focused ends the program.
        session.mouse_move(cx + 300, cy + 148)
        session.key("shift+Tab")    # from " Save Settings" back to the speed slider
        session.key("Left")
        self.assertTrue(wait_for(lambda: session.controls(SETTINGS).value(SLIDER_SPEED) == 48))
        # Esc in the open monitors list, opened by the mouse or by Tab and Alt+Down, closes the
        # list alone: the dialog stays, the unsaved speed with it.
        shown = set(session.shown_windows())
        for opening in ("the mouse", "Tab and Alt+Down"):
            if opening == "the mouse":
                session.click_control(SETTINGS, COMBO_MONITORS)
            else:
                for key in ("shift+Tab", "Tab", "alt+Down"):  # away from the list and back
                    session.key(key)
            self.assertTrue(wait_for(lambda: len(set(session.shown_windows()) - shown) == 1),
                            f"the list did not open by {opening}")
            session.key("Escape")
            self.assertTrue(wait_for(lambda: set(session.shown_windows()) == shown),
                            f"the list opened by {opening} stayed open")
            self.assertIsNone(session.wait_exit(proc, 1),
                              f"Esc in the list opened by {opening} ended the program")
        self.assertEqual(session.controls(SETTINGS).value(SLIDER_SPEED), 48)
        for _ in range(3):          # "Save Image", " Save Settings", the speed
            session.key("shift+Tab")
        session.key("Escape")
        self.assertEqual(session.wait_exit(proc, 15), 0)
        self.assertTrue(session.wait_idle(15))
        self.assertEqual(session.reg_query()["Speed"][1], 49)
        self.assertIn("close", self.log.lines()[-1])

    def test_2_unchanged_positions_and_the_other_ways_out(self):
        session = self.session
        # Wall 0 and Algoritm 0 sit below the sliders' design position 1 and stay; Speed 1 is it.
        proc = self.start(Speed=1, Bright=3, Algoritm=0, Wall=0, Rands=0, Path_Wall="C:\\")
        dialog = session.controls(SETTINGS)
        self.assertEqual((dialog.value(SLIDER_PATTERN), dialog.value(SLIDER_SIZE),
                          dialog.value(SLIDER_SPEED)), (1, 1, 1))
        self.assertEqual(dialog.text(LABEL_PATTERN), "Lumora image  0")
        self.assertEqual(dialog.text(LABEL_SCHEME), "Lumora color 4")
        self.assertEqual(dialog.text(LABEL_SIZE), "Image Size 0x0")
        self.assertEqual(self.fields(), [])

        # Save Image without an image size renders nothing and says so.
        session.click_control(SETTINGS, BUTTON_SAVE_IMAGE, dialog)
        boxes = wait_for(lambda: session.message_boxes() >= 1)
        self.assertTrue(boxes, "no message about the image size")
        self.assertIsNone(session.find_window("Save Image", timeout=1))
        self.assertEqual(self.fields(), [])
        session.key("Return")
        self.assertTrue(wait_for(lambda: session.message_boxes() == 0))

        # "Close" ends the program; nothing was saved.
        session.click_control(SETTINGS, BUTTON_CLOSE)
        self.assertEqual(session.wait_exit(proc, 15), 0)
        self.assertTrue(session.wait_idle(15))
        self.assertEqual(session.reg_query()["Speed"][1], 1)

        # Schemes 0 and 4 and pattern 7; the dialog's close (Alt+F4, as its close box) ends it.
        proc = self.start(Speed=20, Bright=4, Algoritm=7, Wall=7, Rands=0)
        dialog = session.controls(SETTINGS)
        self.assertEqual(dialog.text(LABEL_PATTERN), "Lumora image  7")
        self.assertEqual(dialog.text(LABEL_SCHEME), "Lumora dodger blue")
        self.assertEqual(dialog.text(LABEL_SIZE), "Image Size 1366x768-Your Desktop")
        cx, cy, _, _ = session.geometry(session.find_window(SETTINGS))
        session.mouse_move(cx + 300, cy + 148)
        session.click()
        session.key("alt+F4")
        self.assertEqual(session.wait_exit(proc, 15), 0)
        self.assertTrue(session.wait_idle(15))
        self.assertEqual(session.program_processes(), [])
        session.reg_store(Bright=0)
        proc = self.start()
        self.assertEqual(session.controls(SETTINGS).text(LABEL_SCHEME), "Lumora color 1")
        session.key("Escape")
        session.key("Escape")
        self.assertEqual(session.wait_exit(proc, 15), 0)


if __name__ == "__main__":
    harness.main()
