"""The settings dialog and its live view whole on the screen, on small screens and at 125 % and
150 % scaling; on a screen where they fit, exactly where the design puts them."""

import os
import unittest

import harness
from harness import BUTTON_CLOSE, SETTINGS

# (width, height, DPI)
SCREENS = [(1920, 1080, 96), (1366, 768, 120), (1366, 768, 144), (1280, 720, 96),
           (1024, 768, 144), (800, 600, 96)]


def outer(window):
    return window["x"], window["y"], window["x"] + window["width"], window["y"] + window["height"]


class DialogPlacement(unittest.TestCase):
    def test_dialog_and_live_view_lie_within_the_screen(self):
        for width, height, dpi in SCREENS:
            with self.subTest(screen=f"{width}x{height} at {dpi} DPI"), \
                    harness.Session(width, height, dpi=dpi if dpi != 96 else None) as session:
                session.reg_store(Speed=20, Bright=4, Algoritm=7, Wall=1, Rands=0)
                log = harness.FrameLog(session)
                proc = session.start("/c", env=log.env)
                self.addCleanup(lambda p=proc: p.poll() is None and p.kill())
                self.assertTrue(log.wait_frames(3, timeout=40, proc=proc))
                self.assertIsNotNone(session.find_window(SETTINGS, timeout=10))
                dialog = session.controls(SETTINGS)
                self.assertEqual(dialog.window["dpi"], dpi)
                live = session.controls(harness.TITLE).window
                for name, window in (("dialog", dialog.window), ("live view", live)):
                    left, top, right, bottom = outer(window)
                    self.assertTrue(0 <= left and 0 <= top and right <= width and bottom <= height,
                                    f"the {name} at {outer(window)} leaves the screen")
                # The live view keeps its size: half the screen, grid half of that.
                self.assertEqual(log.start()["window"], f"{width // 2}x{height // 2}")
                centred = live["x"] + (live["width"] - dialog.window["width"]) // 2
                below = live["y"] + live["height"] + 2
                if (width, height) == (1920, 1080):
                    # Where they fit: the design's placement, the live view a fifth down.
                    self.assertEqual(live["y"], 1080 // 5)
                    self.assertEqual((dialog.window["x"], dialog.window["y"]), (centred, below))
                elif below + dialog.window["height"] <= height:
                    # Moved up together until the dialog's bottom meets the screen's.
                    self.assertEqual(dialog.window["y"], below)
                    self.assertEqual(dialog.window["y"] + dialog.window["height"], height)
                if os.environ.get("LUMORA_SHOTS"):
                    session.screenshot(os.path.join(os.environ["LUMORA_SHOTS"],
                                                    f"placement-{width}x{height}-{dpi}.png"))
                # The buttons' row is within the mouse's reach.
                session.click_control(SETTINGS, BUTTON_CLOSE, dialog)
                self.assertEqual(session.wait_exit(proc, 15), 0)


if __name__ == "__main__":
    harness.main()
