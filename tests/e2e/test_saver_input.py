"""What ends the full-screen saver: a key (a letter, Alt) or a mouse jump of more than
100 pixels between two consecutive moves. Clicks, slow movement and jumps of exactly 100
pixels do not. Every end is a normal exit (status 0) that leaves no process behind."""

import time
import unittest

import harness

# Long enough for the saver to have handled one move before the next one arrives, so that
# no two moves reach it as one.
SETTLE = 0.25
# How long the saver must go on running to count as "kept running": under Wine a closed
# saver's window and process can take two seconds to go.
STILL_RUNNING = 3.0
STEP = 100


class SaverInput(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.Session(1366, 768).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def start_at(self, x, y):
        """Puts the cursor at (x, y), then starts the saver and waits for its window."""
        self.session.mouse_move(x, y)
        proc = self.session.start("/s")
        self.addCleanup(self.end, proc)
        self.assertIsNotNone(self.session.find_window(proc=proc), "no saver window")
        time.sleep(1.0)  # past creation: the cursor position it remembers is (x, y)
        return proc

    def end(self, proc):
        if proc.poll() is None:
            self.session.key("Escape")
            proc.wait(10)

    def move(self, x, y):
        self.session.mouse_move(x, y)
        time.sleep(SETTLE)

    def assert_running(self, proc, what):
        time.sleep(STILL_RUNNING)
        self.assertIsNotNone(self.session.find_window(timeout=0), what + " closed the window")
        self.assertIsNone(proc.poll(), what + " ended the saver")

    def assert_ended_cleanly(self, proc, what):
        self.assertEqual(self.session.wait_exit(proc, 10), 0,
                         what + ": exit status (None: still running 10 s later)")
        self.assertTrue(self.session.wait_idle(15), what + ": Wine processes still run")
        self.assertEqual(self.session.program_processes(), [], what + ": program left behind")

    def test_jumps_of_100_keep_it_and_101_in_x_ends_it(self):
        proc = self.start_at(400, 300)
        self.move(400 + STEP, 300)
        self.assert_running(proc, "a jump of 100 in x")
        self.move(400 + STEP, 300 + STEP)
        self.assert_running(proc, "a jump of 100 in y")
        self.move(400, 300)  # 100 in x and in y at once
        self.assert_running(proc, "a jump of 100 in x and y")
        self.move(400 + STEP + 1, 300)
        self.assert_ended_cleanly(proc, "a jump of 101 in x")

    def test_slow_sweep_and_click_keep_it_and_101_in_y_ends_it(self):
        width, height = self.session.width, self.session.height
        proc = self.start_at(0, 0)
        # Down the screen in steps of 100 and across it, back and forth.
        x, y, direction = 0, 0, 1
        while y < height - 1:
            target = width - 1 if direction > 0 else 0
            while x != target:
                x = max(0, min(width - 1, x + direction * STEP))
                self.move(x, y)
            y = min(height - 1, y + STEP)
            self.move(x, y)
            direction = -direction
        self.assertEqual(self.session.mouse_position(), (x, y))
        self.assert_running(proc, "slow movement across the screen")
        self.session.click(1)
        self.session.click(3)
        self.assert_running(proc, "a click")
        self.move(x, y - STEP - 1)
        self.assert_ended_cleanly(proc, "a jump of 101 in y")

    def test_a_letter_ends_it(self):
        proc = self.start_at(683, 384)
        self.session.key("a")
        self.assert_ended_cleanly(proc, "the key a")

    def test_alt_ends_it(self):
        proc = self.start_at(683, 384)
        self.session.key("alt")
        self.assert_ended_cleanly(proc, "the key Alt")


if __name__ == "__main__":
    harness.main(budget=200)
