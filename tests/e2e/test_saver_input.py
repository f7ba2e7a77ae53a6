"""What ends the full-screen saver: a key (a letter, Alt) or a mouse jump of more than
100 pixels between two consecutive moves. Clicks, slow movement and jumps of exactly 100
pixels do not. Every end is a normal exit (status 0) that leaves no process behind.

The saver's frame log tells when it has handled a move: input is handled before the next
frame, so once two more frames are drawn the move has been seen, and no two moves can reach
the saver as one. A saver that goes on drawing frames is still running."""

import time

import harness

STEP = 100


class SaverInput(harness.SessionTestCase):
    def start_at(self, x, y):
        """Puts the cursor at (x, y), then starts the saver and waits for its first frames."""
        self.session.mouse_move(x, y)
        self.log = harness.FrameLog(self.session)
        proc = self.session.start("/s", env=self.log.env)
        self.addCleanup(self.end, proc)
        self.assertIsNotNone(self.session.find_window(proc=proc), "no saver window")
        self.assertTrue(self.log.wait_frames(3, timeout=30, proc=proc), "no frames drawn")
        return proc

    def end(self, proc):
        if proc.poll() is None:
            self.session.key("Escape")
            proc.wait(10)

    def move(self, proc, x, y):
        self.session.mouse_move(x, y)
        self.log.wait_frames(2, proc=proc)

    def assert_running(self, proc, what):
        self.assertTrue(self.log.wait_frames(5, timeout=30, proc=proc),
                        what + " ended the saver (no more frames)")
        self.assertIsNotNone(self.session.find_window(timeout=0), what + " closed the window")
        self.assertIsNone(proc.poll(), what + " ended the saver")

    def assert_ended_cleanly(self, proc, what):
        self.assertEqual(self.session.wait_exit(proc, 10), 0,
                         what + ": exit status (None: still running 10 s later)")
        self.assertTrue(self.session.wait_idle(15), what + ": Wine processes still run")
        self.assertEqual(self.session.program_processes(), [], what + ": program left behind")

    def test_jumps_of_100_keep_it_and_101_in_x_ends_it(self):
        proc = self.start_at(400, 300)
        self.move(proc, 400 + STEP, 300)
        self.assert_running(proc, "a jump of 100 in x")
        self.move(proc, 400 + STEP, 300 + STEP)
        self.assert_running(proc, "a jump of 100 in y")
        self.move(proc, 400, 300)  # 100 in x and in y at once
        self.assert_running(proc, "a jump of 100 in x and y")
        self.move(proc, 400 + STEP + 1, 300)
        self.assert_ended_cleanly(proc, "a jump of 101 in x")

    def test_slow_sweep_and_click_keep_it_and_101_in_y_ends_it(self):
        right, bottom = self.session.width - 1, self.session.height - 1
        proc = self.start_at(0, 0)
        # Down the left edge, along the bottom, then diagonally back to the top left corner,
        # never more than 100 pixels in x or y from one move to the next.
        path = [(0, y) for y in range(STEP, bottom, STEP)] + [(0, bottom)]
        path += [(x, bottom) for x in range(STEP, right, STEP)] + [(right, bottom)]
        steps = -(-right // STEP)
        path += [(right - right * i // steps, bottom - bottom * i // steps)
                 for i in range(1, steps + 1)]
        for x, y in path:
            self.move(proc, x, y)
        self.assertEqual(self.session.mouse_position(), (0, 0))
        self.assert_running(proc, "slow movement across the screen")
        self.session.click(1)
        self.session.click(3)
        self.assert_running(proc, "a click")
        self.move(proc, 0, STEP + 1)
        self.assert_ended_cleanly(proc, "a jump of 101 in y")

    def draws(self):
        return [line for line in self.log.lines() if line.startswith("draw ")]

    def test_slow_moves_through_the_draw_trial_keep_it_and_a_jump_in_it_ends_it(self):
        """The Direct3D trial presents into a window of its own over the saver window, and
        letting go of that window holds the saver's thread for a while: the moves made meanwhile
        arrive as one message, and must still be judged one by one."""
        x, y = 100, 300
        proc = self.start_at(x, y)
        steps_after = None
        for _ in range(80):
            x += 50
            self.session.mouse_move(x if x <= 1250 else 2500 - x, y)
            time.sleep(0.8)
            self.assertIsNone(proc.poll(), f"a move of 50 to x={x} ended the saver; "
                              f"draws so far: {self.draws()}")
            if steps_after is None and any("cheaper" in line for line in self.draws()):
                steps_after = 0
            if steps_after is not None:
                steps_after += 1
                if steps_after == 4:
                    break
        self.assertEqual(steps_after, 4, f"the trial did not end: {self.draws()}")
        self.assert_running(proc, "slow moves through the draw trial")
        # What the trial's window showed is gone: the field moves on the screen.
        screen = (0, 0, self.session.width, self.session.height)
        self.assertEqual(self.session.field_moving([screen], 0.01), [])
        self.end(proc)
        # A jump while the Direct3D trial runs ends it, at once.
        proc = self.start_at(400, 300)
        self.assertTrue(harness.wait_for(lambda: "draw d3d11 trial" in self.draws(), timeout=60),
                        f"no Direct3D trial: {self.draws()}")
        self.move(proc, 450, 300)
        self.move(proc, 450 + STEP + 50, 300)
        self.assert_ended_cleanly(proc, "a jump of 150 during the Direct3D trial")
        self.assertFalse([line for line in self.draws() if "cheaper" in line],
                         "the jump was only seen after the trial")

    def test_a_key_during_the_direct3d_trial_ends_it_at_once(self):
        proc = self.start_at(683, 384)
        self.assertTrue(harness.wait_for(lambda: "draw d3d11 trial" in self.draws(), timeout=60),
                        f"no Direct3D trial: {self.draws()}")
        self.session.key("a")
        self.assert_ended_cleanly(proc, "the key a during the Direct3D trial")
        self.assertFalse([line for line in self.draws() if "cheaper" in line],
                         "the key was only seen after the trial")

    def test_a_letter_ends_it(self):
        proc = self.start_at(683, 384)
        self.session.key("a")
        self.assert_ended_cleanly(proc, "the key a")

    def test_alt_ends_it(self):
        proc = self.start_at(683, 384)
        self.session.key("alt")
        self.assert_ended_cleanly(proc, "the key Alt")


if __name__ == "__main__":
    harness.main()
