"""The saver window as the settings' live view (/c): a bordered window whose client area is
half the screen, centred, its top edge at a fifth of the screen height, with a grid of half its
client size. Only Esc closes it: other keys and mouse jumps do not."""

import harness

# Room for the caption bar and the border between the window's top edge and its client area.
MAX_CAPTION = 40


class LiveView(harness.SessionTestCase):
    SCREEN = (1366, 768)

    def test_half_screen_view_that_only_esc_closes(self):
        session = self.session
        # Without a window manager the keyboard follows the pointer: keep it over the window.
        session.mouse_move(683, 380)
        log = harness.FrameLog(session)
        proc = session.start("/c", env=log.env)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.assertTrue(log.wait_frames(3, timeout=30, proc=proc), "no frames drawn")
        self.assertEqual(log.start()["window"], "683x384")
        self.assertEqual(log.start()["grid"], "342x192")

        # Under a bare X server the window is its client area: half the screen, centred
        # (the outer window is, so the client lies at most a border's width off), below the top
        # edge at 768 / 5 = 153 by the caption.
        x, y, width, height = session.geometry(session.find_window(timeout=0))
        self.assertEqual((width, height), (683, 384))
        self.assertLessEqual(abs(x - (1366 - 683) // 2), 4)
        self.assertGreater(y, 153)
        self.assertLess(y, 153 + MAX_CAPTION)

        # A letter, Alt and a jump far beyond 100 pixels leave it running and drawing. The
        # settings dialog has the keys at first: a click gives them to the live view.
        session.click()
        self.assertTrue(harness.wait_for(lambda: session.controls(harness.TITLE).window["active"]),
                        "the live view did not take the keys")
        for press in ("a", "space", "alt"):
            session.key(press)
        session.mouse_move(1300, 700)
        session.mouse_move(500, 300)
        self.assertTrue(log.wait_frames(5, timeout=30, proc=proc), "the live view stopped")
        self.assertIsNone(proc.poll(), "the live view closed on something other than Esc")

        # Alt alone put the window's system menu in keyboard mode, as it does on Windows: the
        # first Esc leaves that mode, the next one reaches the window and closes it.
        # Under Xvfb without a window manager each window takes about 2 s to go, and /c has two.
        session.key("Escape")
        if session.wait_exit(proc, 8) is None:
            self.assertTrue(log.wait_frames(2, timeout=10, proc=proc), "the live view stopped")
            session.key("Escape")
        self.assertEqual(session.wait_exit(proc, 15), 0)
        self.assertTrue(session.wait_idle(15))
        self.assertEqual(session.program_processes(), [])


if __name__ == "__main__":
    harness.main()
