"""What the saver starts with: the grid for the screen, the pattern (a random one from 1 to
20 when Rands is set, else the stored one), and a start from a store that cannot be read
completely: the error is shown, then the saver runs, with first-run values for what it could
not read. The saver's frame log reports its start
("start pattern=P grid=WxH window=WxH") and every frame drawn."""

import time

import harness

RANDOM_STARTS = 8


class SaverStart(harness.SessionTestCase):
    def setUp(self):
        # Each test starts from an empty store: its first run writes the defaults.
        if self.session.reg_query() is not None:
            self.session.reg_delete()

    def start(self):
        self.session.mouse_move(683, 384)
        log = harness.FrameLog(self.session)
        proc = self.session.start("/s", env=log.env)
        self.addCleanup(self.kill_if_running, proc)
        return proc, log

    def kill_if_running(self, proc):
        if proc.poll() is None:
            proc.kill()
            proc.wait()

    def end(self, proc):
        self.session.key("Escape")
        self.assertEqual(self.session.wait_exit(proc, 10), 0)

    def run_once(self):
        """Starts the saver, lets it draw a frame, ends it; returns its start line."""
        proc, log = self.start()
        self.assertTrue(log.wait_frames(1, timeout=30, proc=proc), "no frame drawn")
        self.end(proc)
        return log.start()

    def test_stored_pattern_without_rands_and_the_grid_of_a_1366x768_screen(self):
        session = self.session
        self.run_once()  # the first run writes the defaults
        session.reg_add("Algoritm", "REG_DWORD", 23)
        session.reg_add("Rands", "REG_DWORD", 0)
        self.assertEqual(self.run_once(), {"pattern": 23, "grid": "342x192", "window": "1366x768"})

    def test_rands_picks_only_patterns_1_to_20(self):
        session = self.session
        self.run_once()
        session.reg_add("Algoritm", "REG_DWORD", 25)
        session.reg_add("Rands", "REG_DWORD", 1)
        patterns = [self.run_once()["pattern"] for _ in range(RANDOM_STARTS)]
        for pattern in patterns:
            self.assertIn(pattern, range(1, 21), patterns)
        self.assertEqual(session.reg_query().get("Algoritm"), ("REG_DWORD", 25),
                         "the random pattern was stored")

    def test_a_missing_value_is_reported_and_the_saver_still_runs(self):
        session = self.session
        self.run_once()
        session.reg_add("Algoritm", "REG_DWORD", 12)
        session.reg_add("Rands", "REG_DWORD", 0)
        session.reg_delete("Rands")
        proc, log = self.start()
        # The error box comes first, with the application title; the saver waits for it.
        box = session.find_window(proc=proc)
        self.assertIsNotNone(box, "no message box")
        x, y, width, height = session.geometry(box)
        self.assertLess(width * 2, session.width, "the first window is not a message box")
        time.sleep(1)
        self.assertIsNone(log.start(), "the saver went on before the error was acknowledged")
        session.key("Return")
        # Then the saver runs full screen: Speed, Bright, Algoritm and Wall as read, Rands (not
        # read) as on a first run, so a random pattern from 1 to 20.
        self.assertTrue(log.wait_frames(5, timeout=30, proc=proc), "no frames after the error")
        saver = session.find_window(timeout=0)
        self.assertEqual(session.geometry(saver), (0, 0, session.width, session.height))
        self.assertIn(log.start()["pattern"], range(1, 21))
        self.end(proc)
        self.assertNotIn("Rands", session.reg_query(), "nothing was written back")

    def test_a_store_with_only_speed_still_shows_a_picture(self):
        # Bright cannot be read: what was not read runs with its first-run value (pattern 7, or
        # a random one as Rands is then on), never the empty pattern 0 that leaves the screen black.
        session = self.session
        session.reg_add("Speed", "REG_DWORD", 20)
        proc, log = self.start()
        self.assertIsNotNone(session.find_window(proc=proc), "no message box")
        session.key("Return")
        self.assertTrue(log.wait_frames(5, timeout=30, proc=proc), "no frames after the error")
        self.assertIn(log.start()["pattern"], range(1, 21))
        self.assertFalse(harness.is_black(session.screenshot()), "the saver shows a black screen")
        self.end(proc)
        self.assertEqual(set(session.reg_query()), {"Speed"}, "nothing was written back")


if __name__ == "__main__":
    harness.main()
