"""lumora.scr /p: the live preview inside the host's window, and the pop-up with the host's
password check.

The host is the test's stand-in for the screen saver dialog (stand_ins/preview_host.cpp): it
offers a child window, checks the preview window that appears in it, destroys its window and
reports how the saver ended. What a child of another process draws does not reach the screen
under Wine, so the child's frames are counted in the saver's frame log, and the pictures are
checked in the pop-up (handle 0). The password library is the stand-in PASSWORD.CPL
(stand_ins/password_cpl.cpp), put in the prefix's Windows directory; it records every load,
call and unload with the cursor's display counter, and answers what the test writes."""

import os
import re
import shutil
import time

import harness

TITLE = "ZuVoduz"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
PROTECTION = "ScreenSaveUsePassword"
CHILD_STYLE = 0x58000000  # WS_CHILD | WS_VISIBLE | WS_DISABLED
POPUP = (0, 0, 640, 480)
# Frames a preview draws in a second at least, on a loaded machine (about 25 when idle).
FRAMES_PER_SECOND = 5
# Seconds from a key press to the end of the process, with room for a loaded machine (Wine
# ends a process in well under a second).
KEY_TO_EXIT = 3


class Preview(harness.SessionTestCase):
    SCREEN = (800, 600)

    def setUp(self):
        session = self.session
        self.library = session.linux_path(r"C:\windows\PASSWORD.CPL")
        if os.path.exists(self.library):
            os.remove(self.library)
        self.passwords = session.scratch_path("password.log")
        self.answer_file = session.scratch_path("password.answer")
        open(self.passwords, "w").close()
        self.answer("no")
        self.env = {"LUMORA_TEST_PASSWORD_LOG": harness.windows_path(self.passwords),
                    "LUMORA_TEST_PASSWORD_ANSWER": harness.windows_path(self.answer_file)}
        desktop = session.reg_query(DESKTOP_KEY) or {}
        if PROTECTION in desktop:
            session.reg_delete(PROTECTION, key=DESKTOP_KEY)

    # --- helpers ------------------------------------------------------------------------
    def answer(self, text):
        with open(self.answer_file, "w") as f:
            f.write(text)

    def install_library(self, name):
        shutil.copyfile(os.path.join(harness.STAND_INS, name), self.library)

    def protect(self, kind, data):
        self.session.reg_add(PROTECTION, kind, data, key=DESKTOP_KEY)

    def password_log(self):
        with open(self.passwords) as f:
            return f.read().splitlines()

    def verify_lines(self):
        return [line for line in self.password_log() if line.startswith("verify")]

    def start_popup(self, *args):
        """Starts /p ARGS, waits for the pop-up and its first frames; returns (proc, log)."""
        log = harness.FrameLog(self.session)
        proc = self.session.start("/p", *args, env=dict(log.env, **self.env))
        self.addCleanup(self.kill_if_running, proc)
        window = self.session.find_window(TITLE, proc=proc)
        self.assertIsNotNone(window, f"no pop-up for /p {args}")
        self.assertEqual(self.session.geometry(window), POPUP)
        self.assertTrue(log.wait_frames(3, timeout=30, proc=proc), "no frames drawn")
        return proc, log

    @staticmethod
    def kill_if_running(proc):
        if proc.poll() is None:
            proc.kill()
            proc.wait()

    def assert_runs_scheme_0_speed_10(self, log, grid):
        start = log.start()
        self.assertEqual((start["grid"], start["window"]), (grid, grid))
        self.assertIn(start["pattern"], range(1, 21))
        self.assertEqual(log.engine(), {"scheme": 0, "speed": 10})

    def assert_running(self, proc, log, what):
        self.assertTrue(log.wait_frames(5, timeout=30, proc=proc), what + " ended the preview")
        self.assertIsNone(proc.poll(), what + " ended the preview")

    def assert_ended(self, proc, what, timeout=10):
        self.assertEqual(self.session.wait_exit(proc, timeout), 0,
                         what + ": exit status (None: still running)")
        self.assertTrue(self.session.wait_idle(15), what + ": Wine processes still run")
        self.assertEqual(self.session.program_processes(), [], what + ": program left behind")

    def mouse_over_popup(self, proc, log):
        for x, y in ((100, 100), (500, 400), (320, 240)):
            self.session.mouse_move(x, y)
            log.wait_frames(2, proc=proc)
        for button in (1, 3, 2):
            self.session.click(button)
            log.wait_frames(2, proc=proc)
        self.assert_running(proc, log, "mouse moves and clicks")
        self.assertEqual(self.verify_lines(), [], "the mouse asked for the password")

    def assert_cursor_balanced(self, checks):
        """Every load of the library is followed by its unload with the same counter, any
        call in between sees it raised by one, and every check starts where the first did."""
        lines = self.password_log()
        counters = [(line.split()[0], int(re.search(r"cursor=(-?\d+)", line).group(1)))
                    for line in lines]
        events = [event for event, _ in counters]
        self.assertEqual(events.count("load"), checks, lines)
        self.assertEqual(events.count("unload"), checks, lines)
        base = counters[0][1]
        for event, counter in counters:
            self.assertEqual(counter, base + 1 if event == "verify" else base, lines)

    # --- the tests -----------------------------------------------------------------------
    def start_host(self, width, height, hold_ms, *form):
        """Starts the host stand-in with a picture of width x height (form: "colon" passes the
        handle as /p:HANDLE); returns (host, log, the preview's properties as the host saw
        them)."""
        log = harness.FrameLog(self.session)
        host = self.session.start_stand_in(
            "preview_host.exe", harness.windows_path(self.session.product),
            str(width), str(height), str(hold_ms), *form, env=log.env)
        self.addCleanup(self.kill_if_running, host)
        self.assertRegex(host.stdout.readline(), r"^started child=\d+$")
        preview = dict(field.split("=", 1) for field in host.stdout.readline().split()[1:])
        return host, log, preview

    def assert_saver_ends_with_the_host(self, host):
        # Destroying the host's window ends the saver (hiding it first is the host's own
        # business: under Wine without a window manager that alone takes about 2 s).
        self.assertRegex(host.stdout.readline(), r"^hidden took=\d+$")
        self.assertRegex(host.stdout.readline(), r"^destroyed tick=\d+ took=\d+$")
        ended = re.fullmatch(r"exit status=(\d+) after=(\d+)", host.stdout.readline().strip())
        self.assertIsNotNone(ended, "the saver still ran 10 s after the host's window was gone")
        self.assertEqual(int(ended.group(1)), 0)
        self.assertLessEqual(int(ended.group(2)), 2000)
        self.assertEqual(self.session.wait_exit(host, 10), 0)
        self.assertTrue(self.session.wait_idle(15))
        self.assertEqual(self.session.program_processes(), [])

    def test_in_a_host_window_of_152x112(self):
        session = self.session
        # A store that differs from what the preview runs: it is neither read nor written.
        for name, value in (("Bright", 7), ("Algoritm", 23), ("Rands", 0), ("Speed", 30)):
            session.reg_add(name, "REG_DWORD", value)
        store = session.reg_query()
        host, log, preview = self.start_host(152, 112, 6000)
        self.assertEqual(preview, {"title": TITLE, "size": "152x112", "at": "0,0",
                                   "style": f"0x{CHILD_STYLE:08x}", "exstyle": "0x00000000",
                                   "process": "saver"})
        # It paints continuously, frame after frame, at the host's size.
        self.assertTrue(log.wait_frames(3, timeout=20), "no frames drawn in the host's window")
        before = log.frames()
        time.sleep(1)
        self.assertGreaterEqual(log.frames() - before, FRAMES_PER_SECOND)
        self.assert_runs_scheme_0_speed_10(log, "152x112")
        self.assert_saver_ends_with_the_host(host)
        self.assertEqual(session.reg_query(), store)

    def test_a_handle_after_the_colon_of_the_switch_gives_the_same_preview(self):
        # "/p:HANDLE": a preview in the host's window, not the pop-up over it.
        host, log, preview = self.start_host(200, 150, 2000, "colon")
        self.assertEqual(preview, {"title": TITLE, "size": "200x150", "at": "0,0",
                                   "style": f"0x{CHILD_STYLE:08x}", "exstyle": "0x00000000",
                                   "process": "saver"})
        self.assertTrue(log.wait_frames(2, timeout=20), "no frames drawn in the host's window")
        self.assert_runs_scheme_0_speed_10(log, "200x150")
        self.assert_saver_ends_with_the_host(host)

    def test_a_host_larger_than_the_planes_gets_the_largest_grid(self):
        host, log, preview = self.start_host(2100, 1600, 3000)
        self.assertEqual(preview["size"], "2100x1600")
        self.assertTrue(log.wait_frames(2, timeout=20), "no frames drawn in the host's window")
        start = log.start()
        self.assertEqual((start["grid"], start["window"]), ("2001x1501", "2100x1600"))
        self.assert_saver_ends_with_the_host(host)

    def test_a_handle_that_names_no_window_ends_at_once(self):
        for handle in ("2147483000", "0x7ffffff0"):
            with self.subTest(handle=handle):
                log = harness.FrameLog(self.session)
                started = time.monotonic()
                proc = self.session.start("/p", handle, env=log.env)
                seen = []
                while proc.poll() is None and time.monotonic() - started < 10:
                    seen += self.session.shown_windows()
                    time.sleep(0.05)
                self.assert_ended(proc, "handle " + handle, timeout=1)
                self.assertEqual(seen, [], "windows shown")
                self.assertIsNone(log.start(), "the preview started")

    def test_popup_draws_ignores_the_mouse_and_ends_on_a_key_without_protection(self):
        self.install_library("password.cpl")  # there, but never loaded
        for args, protection in ((["/p"], None), (["/p", "0"], ("REG_DWORD", 0)), (["/p", "abc"], None)):
            with self.subTest(args=args):
                if protection:
                    self.protect(*protection)
                proc, log = self.start_popup(*args[1:])
                self.assert_runs_scheme_0_speed_10(log, "640x480")
                if args == ["/p"]:
                    share = 1000 / (POPUP[2] * POPUP[3])  # pixels changed in a second
                    self.assertEqual(self.session.field_moving([POPUP], share), [])
                    self.mouse_over_popup(proc, log)
                self.session.key("a")
                # At once: the process is gone within the time Wine takes to end one.
                self.assert_ended(proc, "a key", timeout=KEY_TO_EXIT)
                self.assertEqual(self.password_log(), [], "the password library was loaded")

    def test_popup_with_protection_asks_the_library(self):
        self.protect("REG_DWORD", 1)
        self.install_library("password.cpl")
        proc, log = self.start_popup()
        self.mouse_over_popup(proc, log)
        # "No" keeps it running.
        self.session.key("a")
        deadline = time.monotonic() + 10
        while not self.verify_lines() and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertEqual(len(self.verify_lines()), 1, self.password_log())
        self.assertIn(f"owner={TITLE} class=SaverPreviewClass process=same",
                      self.verify_lines()[0])
        self.assertIn("answer=no", self.verify_lines()[0])
        self.assert_running(proc, log, "a refused password")
        # "Yes" ends it: the window closes within 0.5 s of the answer, by the saver's own clock.
        self.answer("yes")
        self.session.key("a")
        self.assert_ended(proc, "an accepted password")
        last = self.verify_lines()[-1]
        self.assertIn("answer=yes", last)
        closed = log.close_tick()
        self.assertIsNotNone(closed, "the preview did not close its log")
        self.assertLessEqual(closed - int(re.search(r"tick=(\d+)", last).group(1)), 500)
        self.assert_cursor_balanced(checks=2)

    def test_popup_with_protection_ends_without_library_or_export(self):
        # A string "1" counts as well: the value's type is not looked at.
        self.protect("REG_SZ", "1")
        proc, log = self.start_popup()
        self.session.key("a")
        self.assert_ended(proc, "no library")
        self.install_library("password_without_verify.cpl")
        proc, log = self.start_popup()
        self.session.key("a")
        self.assert_ended(proc, "a library without the export")
        self.assertEqual(self.verify_lines(), [])
        self.assert_cursor_balanced(checks=1)


if __name__ == "__main__":
    harness.main()
