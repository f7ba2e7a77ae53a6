"""Both dialogs of the settings mode at 192 DPI: every control rectangle twice the design's,
fonts twice as large, the live view in true pixels as at 96 DPI; and the manifest's DPI
awareness read back from the built program."""

import os

import harness
import test_more_settings as more
import test_save_image as save
import test_settings_dialog as settings
from harness import SETTINGS, wait_for


class DialogsAt192Dpi(harness.SessionTestCase):
    # Large enough that the doubled dialog below the live view is still on the screen.
    SCREEN = (2560, 1600)
    DPI = 192

    def test_manifest_declares_per_monitor_awareness(self):
        lines = self.session.probe("manifest", harness.windows_path(self.session.product))
        self.assertEqual(lines, ["dpiAware true/pm", "dpiAwareness PerMonitorV2"])

    def test_dialogs_scale_and_the_live_view_does_not(self):
        session = self.session
        os.makedirs(session.linux_path("C:\\stills"), exist_ok=True)
        session.reg_store(Speed=20, Bright=17, Algoritm=7, Wall=12, Rands=0, Path_Wall="C:\\stills")
        log = harness.FrameLog(session)
        proc = session.start("/c", env=log.env)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.assertTrue(log.wait_frames(3, timeout=40, proc=proc))
        self.assertEqual(log.start()["window"], "1280x800")
        self.assertEqual(log.start()["grid"], "640x400")
        self.assertIsNotNone(session.find_window(SETTINGS, timeout=10))
        dialog = session.controls(SETTINGS)
        settings.check_layout(self, dialog, 192)
        # The labels fit their captions in a font twice the size: twice as wide, give or take
        # the hinting of a few pixels.
        at_96 = {harness.LABEL_SCHEME: 144, harness.LABEL_SIZE: 136}  # widths at 96 DPI
        for control_id, width in at_96.items():
            self.assertAlmostEqual(dialog.by_id[control_id]["rect"][2], 2 * width,
                                   delta=0.04 * width * 2, msg=dialog.text(control_id))
        live = session.controls(harness.TITLE).window
        self.assertEqual(live["client"], (1280, 800))
        session.screenshot(session.scratch_path("settings-192.png"))

        # "More..." at twice its design, and its dialog too.
        self.assertEqual(dialog.by_id[more.BUTTON_MORE]["rect"], more.scaled(more.MORE_BUTTON, 192))
        session.click_control(SETTINGS, more.BUTTON_MORE, dialog)
        self.assertIsNotNone(session.find_window(more.MORE_SETTINGS, timeout=10))
        more.check_more_layout(self, wait_for(lambda: session.controls(more.MORE_SETTINGS)), 192)
        more.shot(session, "more-192.png")
        session.key("Escape")
        self.assertTrue(wait_for(lambda: not session.find_window(more.MORE_SETTINGS, timeout=0)))

        session.click_control(SETTINGS, harness.BUTTON_SAVE_IMAGE, dialog)
        self.assertIsNotNone(session.find_window(save.SAVE, timeout=30))
        dialog = wait_for(lambda: session.controls(save.SAVE))
        save.check_layout(self, dialog, 192)
        self.assertEqual(dialog.text(save.EDIT), "Lumora1")
        session.screenshot(session.scratch_path("save-192.png"))
        cx, cy, _, _ = session.geometry(session.find_window(save.SAVE))
        session.mouse_move(cx + 660, cy + 300)
        session.key("Escape")
        self.assertTrue(wait_for(lambda: not session.find_window(save.SAVE, timeout=0)))
        self.assertTrue(wait_for(lambda: [l for l in log.lines() if l.startswith("field")][-1:]
                                 == ["field pattern=7 grid=640x400"]))
        self.assertTrue(log.wait_frames(3, timeout=20, proc=proc))
        session.key("Escape")
        self.assertEqual(session.wait_exit(proc, 15), 0)


if __name__ == "__main__":
    harness.main()
