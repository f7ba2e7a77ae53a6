"""The settings dialog's "More..." button and its dialog at 96 DPI: where the button sits, the
fourth monitors choice, the new choices made by keyboard alone and written by " Save Settings"
with the others; a store without them shows their first-run values; the live view then cycles
(its minute shortened), and " Save Settings" after a change still stores the chosen pattern and
scheme. (At 192 DPI: test_dialogs_dpi.py.) The dialog is modal to the settings dialog and gives
it the keys back on every way out; a minutes text it cannot take is refused with a message."""

import os
import re
import shutil
import time

import harness
from harness import (BUTTON_CLOSE, BUTTON_SAVE_SETTINGS, CHECK_RANDOM, COMBO_MONITORS, SETTINGS,
                     wait_for)

MORE_SETTINGS = "More Settings"
BUTTON_MORE = 114
OK, CANCEL, EDIT_MINUTES, CHECK_RANDOM_COLOURS, CHECK_FADE_IN = 1, 2, 302, 305, 306
BORDER = 8
MORE_BUTTON = (420, 73, 75, 25)  # in the settings dialog's free space right of "Speed"
MORE_DESIGN = {EDIT_MINUTES: (145, 0, 40, 22), CHECK_RANDOM_COLOURS: (0, 32, 320, 18),
               CHECK_FADE_IN: (0, 56, 320, 18), OK: (160, 85, 75, 25), CANCEL: (245, 85, 75, 25)}


def scaled(rect, dpi):
    return tuple((v + BORDER * (i < 2)) * dpi // 96 for i, v in enumerate(rect))


def check_more_layout(test, controls, dpi):
    test.assertEqual(controls.window["dpi"], dpi)
    test.assertEqual(controls.window["client"], (336 * dpi // 96, 126 * dpi // 96))
    for control_id, rect in MORE_DESIGN.items():
        test.assertEqual(controls.by_id[control_id]["rect"], scaled(rect, dpi), control_id)


def shot(session, name):
    """A screenshot in the session's directory, copied to $LUMORA_SHOTS when that is set, to
    look at; returns its path."""
    path = session.scratch_path(name)
    session.screenshot(path)
    if os.environ.get("LUMORA_SHOTS"):
        shutil.copy(path, os.environ["LUMORA_SHOTS"])
    return path


def open_more(test, session, tabs):
    """Presses "More..." by keyboard, `tabs` Tabs away (it comes last, after "Close"), and
    returns the new dialog's controls."""
    for _ in range(tabs):
        session.key("Tab")
    session.key("space")
    window = session.find_window(MORE_SETTINGS, timeout=10)
    test.assertIsNotNone(window, "no More Settings dialog")
    x, y, w, h = session.geometry(window)
    session.mouse_move(x + w // 2, y + 4)  # the keyboard follows the pointer
    return wait_for(lambda: session.controls(MORE_SETTINGS))


class MoreSettings(harness.SessionTestCase):
    SCREEN = (1366, 768)

    def test_more_choices_by_keyboard_are_saved_with_the_others(self):
        session = self.session
        session.reg_store(Speed=20, Bright=3, Algoritm=7, Wall=12, Rands=0, Path_Wall="C:\\",
                          Monitors=0)
        log = harness.FrameLog(session, name=f"frames-{time.monotonic_ns()}.log")
        # Two "minutes" of the live view's cycle are 3 s.
        proc = session.start("/c", env=dict(log.env, LUMORA_CYCLE_MINUTE_MS="1500"))
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.assertTrue(log.wait_frames(3, timeout=40, proc=proc), "no frames drawn")
        self.assertIsNotNone(session.find_window(SETTINGS, timeout=10, proc=proc))
        dialog = session.controls(SETTINGS)
        self.assertEqual(dialog.by_id[BUTTON_MORE]["rect"], scaled(MORE_BUTTON, 96))
        self.assertFalse([line for line in log.lines() if line.startswith("cycle")])
        self.assertEqual(dialog.text(BUTTON_MORE), "More...")

        # " Save Settings" of a store without the new values writes their first-run values.
        session.click_control(SETTINGS, BUTTON_SAVE_SETTINGS, dialog)
        self.assertTrue(wait_for(lambda: "FadeIn" in session.reg_query()))
        stored = session.reg_query()
        self.assertEqual([stored[name][1] for name in ("CycleMinutes", "RandomColours", "FadeIn")],
                         [0, 0, 1])
        # The fourth monitors choice by keyboard: from " Save Settings" Tab x 2, Down x 3.
        for _ in range(2):
            session.key("Tab")
        for _ in range(3):
            session.key("Down")
        self.assertTrue(wait_for(lambda: session.controls(SETTINGS).value(COMBO_MONITORS) == 3))
        self.assertEqual(session.controls(SETTINGS).text(COMBO_MONITORS), "Each monitor its own")
        shot(session, "settings-more-96.png")

        more = open_more(self, session, tabs=2)
        check_more_layout(self, more, 96)
        # A store without the new values: their first-run values.
        self.assertEqual((more.text(EDIT_MINUTES), more.value(CHECK_RANDOM_COLOURS),
                          more.value(CHECK_FADE_IN)), ("0", 0, 1))
        shot(session, "more-96.png")
        session.key("BackSpace")
        session.key("1")
        session.key("Up")  # the arrows: 1 -> 2
        session.key("Tab")
        session.key("space")  # a random colour scheme
        session.key("Tab")
        session.key("space")  # no fade-in
        session.key("Return")
        self.assertTrue(wait_for(lambda: not session.find_window(MORE_SETTINGS, timeout=0)))
        self.assertEqual(session.reg_query()["CycleMinutes"][1], 0, "OK alone saved nothing")

        session.click_control(SETTINGS, BUTTON_SAVE_SETTINGS)
        self.assertTrue(wait_for(lambda: session.reg_query()["CycleMinutes"][1] == 2))
        stored = session.reg_query()
        self.assertEqual({name: stored[name] for name in
                          ("Monitors", "CycleMinutes", "RandomColours", "FadeIn")},
                         {"Monitors": ("REG_DWORD", 3), "CycleMinutes": ("REG_DWORD", 2),
                          "RandomColours": ("REG_DWORD", 1), "FadeIn": ("REG_DWORD", 0)})
        self.assertEqual(stored["Algoritm"][1], 7)

        # The live view cycles by the minutes chosen, to another pattern and scheme; " Save
        # Settings" then still stores the dialog's pattern and scheme, not the ones shown.
        self.assertTrue(wait_for(lambda: any(line.startswith("cycle") for line in log.lines()),
                                 timeout=20), "the live view did not cycle")
        cycle = next(line for line in log.lines() if line.startswith("cycle"))
        pattern, scheme = (int(n) for n in re.fullmatch(r"cycle (\d+) (\d+)", cycle).groups())
        self.assertNotEqual((pattern, scheme), (7, 3))
        self.assertIn(pattern, range(1, 21))
        session.reg_delete("Algoritm")
        session.reg_delete("Bright")
        session.click_control(SETTINGS, BUTTON_SAVE_SETTINGS)
        self.assertTrue(wait_for(lambda: "Bright" in session.reg_query()))
        stored = session.reg_query()
        self.assertEqual((stored["Algoritm"][1], stored["Bright"][1]), (7, 3))

        # Opened again it shows what memory holds; Esc leaves it as it was.
        # From " Save Settings": "Save Image", the monitors, "Close", "More...".
        more = open_more(self, session, tabs=4)
        self.assertEqual((more.text(EDIT_MINUTES), more.value(CHECK_RANDOM_COLOURS),
                          more.value(CHECK_FADE_IN)), ("2", 1, 0))
        session.key("Escape")
        self.assertTrue(wait_for(lambda: not session.find_window(MORE_SETTINGS, timeout=0)))
        self.assertIsNone(session.wait_exit(proc, 1), "Esc in More Settings ended the program")
        session.key("Escape")
        self.assertEqual(session.wait_exit(proc, 15), 0)

    def test_modal_to_the_settings_dialog_with_the_keys_back_and_bad_minutes_refused(self):
        session = self.session
        session.reg_store(Speed=20, Bright=3, Algoritm=7, Wall=1, Rands=0, Path_Wall="C:\\",
                          Monitors=0, CycleMinutes=5)
        self.addCleanup(session.reg_delete)  # the other test starts from a store without them
        log = harness.FrameLog(session, name=f"frames-{time.monotonic_ns()}.log")
        proc = session.start("/c", env=log.env)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.assertTrue(log.wait_frames(3, timeout=40, proc=proc), "no frames drawn")
        live = session.find_window(harness.TITLE, timeout=10, proc=proc)
        dialog = session.find_window(SETTINGS, timeout=10, proc=proc)
        cx, cy, _, _ = session.geometry(dialog)
        over_dialog = (cx + 200, cy + 90)  # free space between the two middle labels

        def state(title=SETTINGS):
            return wait_for(lambda: session.controls(title)).window

        def keys_back_on_more(how):
            self.assertTrue(wait_for(lambda: not session.find_window(MORE_SETTINGS, timeout=0)),
                            how + ": still open")
            # The settings dialog is active again, takes input, and "More..." has the focus.
            self.assertTrue(wait_for(lambda: (lambda w: (w["enabled"], w["active"], w["focus"]))(
                state()) == (1, 1, BUTTON_MORE)), f"{how}: {state()}")

        # The dialog has the keys from the start: Tab reaches "More..." (with no click first).
        session.mouse_move(*over_dialog)
        tabs = 0
        while state()["focus"] != BUTTON_MORE and tabs < 12:
            session.key("Tab")
            tabs += 1
        self.assertEqual(state()["focus"], BUTTON_MORE, f"not reached by {tabs} Tabs")

        # Open, the settings dialog under it takes no input: a click on "Close" does nothing.
        more = open_more(self, session, tabs=0)
        self.assertEqual(more.text(EDIT_MINUTES), "5")
        self.assertEqual(state()["enabled"], 0, "the settings dialog takes input under More")
        session.click_control(SETTINGS, BUTTON_CLOSE)
        self.assertIsNone(session.wait_exit(proc, 1), "Close under More Settings ended it")
        self.assertIsNotNone(session.find_window(MORE_SETTINGS, timeout=0))
        shot(session, "more-modal.png")

        # A pasted text that is not a whole number of minutes in 0..120 is refused with a
        # message; the dialog stays open with the text as it was, and nothing is taken.
        x, y, w, h = session.geometry(session.find_window(MORE_SETTINGS))
        for text in ("1.5", "-3", "99999999999"):
            session.mouse_move(x + w // 2, y + 4)
            self.assertTrue(session.set_text(MORE_SETTINGS, EDIT_MINUTES, text))
            session.key("Return")
            self.assertTrue(wait_for(lambda: session.message_boxes() == 1), text + ": no message")
            box = next(b for b in session.windows_named() if b != live)
            if text == "1.5":
                shot(session, "more-refused.png")
            bx, by, bw, bh = session.geometry(box)
            session.mouse_move(bx + bw // 2, by + bh // 2)
            session.key("Return")
            self.assertTrue(wait_for(lambda: session.message_boxes() == 0), text)
            self.assertIsNotNone(session.find_window(MORE_SETTINGS, timeout=0), text)
            self.assertEqual(session.controls(MORE_SETTINGS).text(EDIT_MINUTES), text)
        # The arrows keep to the range.
        session.mouse_move(x + w // 2, y + 4)
        session.set_text(MORE_SETTINGS, EDIT_MINUTES, "120")
        session.key("Up")
        time.sleep(0.3)
        self.assertEqual(session.controls(MORE_SETTINGS).text(EDIT_MINUTES), "120")
        session.set_text(MORE_SETTINGS, EDIT_MINUTES, "7")
        session.key("Return")
        keys_back_on_more("Enter")
        session.mouse_move(*over_dialog)
        shot(session, "more-closed-focus.png")
        # The keys work in the settings dialog again: Tab goes on to the first control, back.
        session.key("Tab")
        self.assertTrue(wait_for(lambda: state()["focus"] == CHECK_RANDOM), state())
        session.key("shift+Tab")
        self.assertTrue(wait_for(lambda: state()["focus"] == BUTTON_MORE), state())

        # Esc and the Cancel button give the keys back the same way, and take nothing.
        open_more(self, session, tabs=0)
        session.key("Escape")
        keys_back_on_more("Esc")
        self.assertIsNone(session.wait_exit(proc, 1), "Esc in More Settings ended the program")
        session.mouse_move(*over_dialog)
        more = open_more(self, session, tabs=0)
        session.click_control(MORE_SETTINGS, CANCEL, more)
        keys_back_on_more("Cancel")

        session.click_control(SETTINGS, BUTTON_SAVE_SETTINGS)
        self.assertTrue(wait_for(lambda: session.reg_query()["CycleMinutes"][1] == 7))
        session.mouse_move(*over_dialog)
        session.key("Escape")
        self.assertEqual(session.wait_exit(proc, 15), 0)


if __name__ == "__main__":
    harness.main()
