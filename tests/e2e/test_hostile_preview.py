"""lumora.scr /p with hosts that are not what a screen saver dialog offers: a host window of
0x0, 1x1 and 5000x5000 pixels (the grid is the host's size clamped to the planes), a host that
destroys its window while the preview is still starting, and the handle of another program's
ordinary window. In every case the preview ends with status 0 once the window it was given is
gone, and the store is neither read nor written."""

import re
import time

import harness

NOTEPAD_TITLE = "Untitled - Notepad"


class HostilePreview(harness.SessionTestCase):
    SCREEN = (800, 600)

    def host(self, width, height, hold_ms, *mode):
        """Runs the stand-in host to its end; returns (its report lines, the saver's log)."""
        log = harness.FrameLog(self.session, f"frames-{width}x{height}-{hold_ms}{''.join(mode)}.log")
        host = self.session.start_stand_in("preview_host.exe", harness.windows_path(self.session.product),
                                           str(width), str(height), str(hold_ms), *mode, env=log.env)
        lines = []
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            line = host.stdout.readline()
            if not line:
                break
            lines.append(line.strip())
        self.assertEqual(self.session.wait_exit(host, 10), 0, lines)
        return lines, log

    def assert_ended_with_the_host(self, lines, what):
        ended = [re.fullmatch(r"exit status=(\d+) after=(\d+)", line) for line in lines]
        ended = [m for m in ended if m]
        self.assertEqual(len(ended), 1, f"{what}: the saver still ran 10 s after the host's window: {lines}")
        self.assertEqual(int(ended[0].group(1)), 0, f"{what}: {lines}")
        self.assertTrue(self.session.wait_idle(15), what)
        self.assertEqual(self.session.program_processes(), [], what)
        return int(ended[0].group(2))

    def test_hosts_of_every_size_and_one_that_goes_away_early(self):
        session = self.session
        session.reg_import(harness.reg_file(None))
        # The largest grid's field alone takes over 2 s on a loaded machine: its host stays longer.
        for width, height, grid, hold in ((0, 0, "0x0", 2500), (1, 1, "1x1", 2500),
                                          (5000, 5000, "2001x1501", 8000)):
            with self.subTest(f"{width}x{height}"):
                lines, log = self.host(width, height, hold)
                self.assertTrue(lines[1].startswith("preview "), lines)
                self.assertIn(f"size={width}x{height}", lines[1])
                start = log.start()
                self.assertEqual((start["grid"], start["window"]), (grid, f"{width}x{height}"))
                after = self.assert_ended_with_the_host(lines, f"{width}x{height}")
                print(f"host {width}x{height}: grid {grid}, {log.frames()} frames, "
                      f"ended {after} ms after the host's window")
                self.assertLessEqual(after, 3000)
                if width:
                    self.assertGreater(log.frames(), 1, f"{width}x{height}: no frames drawn")
        # Gone while the preview starts: before it looks at the window, between that and its own
        # window, or while it sets up the engine (a Wine process takes some 100 ms to start).
        for delay in (0, 50, 100, 150, 200, 300, 500):
            with self.subTest(f"host gone after {delay} ms"):
                lines, log = self.host(152, 112, delay, "early")
                self.assertEqual(lines[1], "early", lines)
                after = self.assert_ended_with_the_host(lines, f"host gone after {delay} ms")
                start = log.start()
                print(f"host gone {delay} ms after the start: preview "
                      f"{'started, ' + str(log.frames()) + ' frames' if start else 'never started'}, "
                      f"ended {after} ms after the host's window")
        self.assertIsNone(session.reg_query(), "the preview wrote settings")

    def test_the_window_of_another_program(self):
        session = self.session
        notepad = session.start(program="notepad")
        deadline = time.monotonic() + 30
        found = None
        while found is None and time.monotonic() < deadline:
            found = session.process_probe("window", NOTEPAD_TITLE)
            time.sleep(0.3)
        self.assertIsNotNone(found, "notepad did not open")
        handle, size = found.split()
        width, height = (int(v) for v in size.split("x"))
        log = harness.FrameLog(session)
        saver = session.start("/p", handle, env=log.env)
        self.assertTrue(log.wait_frames(3, timeout=30, proc=saver), "no frames drawn")
        start = log.start()
        self.assertEqual((start["grid"], start["window"]), (size, size))
        # The other program goes on; the preview ends with its window.
        self.assertIsNone(notepad.poll(), "notepad ended")
        self.assertEqual(session.process_probe("window", NOTEPAD_TITLE), found)
        self.assertIsNotNone(session.process_probe("close", NOTEPAD_TITLE))
        self.assertEqual(session.wait_exit(notepad, 15), 0, "notepad did not close")
        self.assertEqual(session.wait_exit(saver, 10), 0, "the preview outlived the window")
        print(f"notepad's window {width}x{height}: preview grid {start['grid']}, {log.frames()} frames")


if __name__ == "__main__":
    harness.main()
