"""How the full-screen saver draws: the Direct3D 11 swap chain the system stretches, or the GDI
copy of the program's own stretch. Forced to Direct3D (the test switch LUMORA_DRAW=d3d11) it
covers the screen and ends on a key; where the device cannot be made (d3d11.dll switched off)
it draws by GDI all the same; left to choose, it tries both, keeps the one that cost less
processor time per frame, and the two pictures of one still field agree within what two
bilinear interpolations may differ by."""

import re
import subprocess
import unittest

import harness

# The GPU blends in floating point, the program in steps of 1/256 with each of its two passes
# rounded down: at most a level lost per pass plus the GPU's own half level, so 3 levels of 255
# per channel anywhere; the trial's window is a column narrower than the screen, so its stretch
# samples the grid up to a quarter of a grid step elsewhere at the right edge (a level or two
# more); a nearest-neighbour stretch would differ by a whole grid step at edges.
MAX_CHANNEL_DIFFERENCE = 5 / 255
MEAN_CHANNEL_DIFFERENCE = 1 / 255
STILL_FIELD = dict(Speed=0, Bright=3, Algoritm=7, Rands=0, Wall=12, Path_Wall="C:\\")


def channel_differences(path_a, path_b):
    """(largest, mean) difference of any channel between two shots, 0..1."""
    def metric(name):
        result = subprocess.run(["compare", "-metric", name, path_a, path_b, "null:"],
                                capture_output=True, text=True, timeout=60)
        return float(re.search(r"\(([0-9.e-]+)\)", result.stderr).group(1))
    return metric("PAE"), metric("MAE")


class DrawPaths(unittest.TestCase):
    def draws(self, log):
        return [line for line in log.lines() if line.startswith("draw ")]

    def stretches(self, log):
        """(stretch, draw) milliseconds of every frame line."""
        return [(float(m.group(2)), float(m.group(1))) for line in log.lines()
                if (m := re.match(r"frame \d+ render=\S+ draw=(\S+) stretch=(\S+)$", line))]

    def run_forced(self, product, dll_overrides=None):
        """The saver forced to Direct3D at 1920x1080; returns its draw lines and the frames'
        (stretch, draw) times."""
        with harness.Session(1920, 1080, product=product) as session:
            log = harness.FrameLog(session)
            env = dict(log.env, LUMORA_DRAW="d3d11")
            if dll_overrides:
                env["WINEDLLOVERRIDES"] = dll_overrides
            session.mouse_move(960, 540)
            proc = session.start("/s", env=env)
            self.assertTrue(log.wait_frames(10, timeout=90, proc=proc), "no frames drawn")
            window = session.find_window(timeout=0)
            self.assertEqual(session.geometry(window), (0, 0, 1920, 1080))
            screen = (0, 0, 1920, 1080)
            corners = [(0, 0, 200, 200), (1720, 880, 200, 200)]
            self.assertEqual(session.field_moving([screen] + corners, 0.01), [],
                             "the field does not move over the whole screen")
            session.key("a")
            self.assertEqual(session.wait_exit(proc, 10), 0)
            self.assertTrue(session.wait_idle(15), "Wine processes still run after the exit")
            return self.draws(log), self.stretches(log)

    def test_forced_direct3d_covers_the_screen_and_ends_on_a_key(self):
        # (e2e.draw_paths runs the 64-bit build, e2e32.draw_paths the 32-bit one)
        draws, stretches = self.run_forced(harness.PRODUCT)
        self.assertEqual(draws, ["draw d3d11 forced"])
        # the system stretches: the program's own stretch takes no time
        self.assertGreaterEqual(len(stretches), 10)
        self.assertEqual({stretch for stretch, _ in stretches}, {0.0})

    def test_without_a_device_it_draws_by_gdi(self):
        draws, stretches = self.run_forced(harness.PRODUCT, dll_overrides="d3d11=")
        self.assertEqual(len(draws), 1, draws)
        self.assertRegex(draws[0], r"^draw gdi no-d3d11 stretch=(sse2|avx2)$")
        # the program's stretch is part of every frame's draw
        self.assertGreaterEqual(len(stretches), 10)
        self.assertTrue(all(0 < stretch <= draw for stretch, draw in stretches), stretches[:10])

    def test_the_cheaper_path_is_kept_and_both_show_the_same_field(self):
        with harness.Session(1920, 1080) as session:
            log = harness.FrameLog(session)
            session.reg_store(**STILL_FIELD)
            session.mouse_move(960, 540)
            proc = session.start("/s", env=log.env)
            # The Direct3D trial: shot while it runs (before the choice, also after the shot).
            self.assertTrue(harness.wait_for(
                lambda: "draw d3d11 trial" in self.draws(log), timeout=90), self.draws(log))
            self.assertTrue(log.wait_frames(2, timeout=60, proc=proc))
            gpu_shot = session.screenshot(session.scratch_path("d3d11.png"))
            trial = self.draws(log)
            self.assertFalse([line for line in trial if "cheaper" in line],
                             "the trial ended before its shot; " + repr(trial))
            self.assertTrue(harness.wait_for(
                lambda: any("cheaper" in line for line in self.draws(log)), timeout=120))
            draws = self.draws(log)
            self.assertEqual(draws[:2], ["draw gdi trial stretch=" + draws[0].split("=")[-1],
                                         "draw d3d11 trial"])
            chosen = re.match(r"draw (gdi|d3d11) cheaper gdi=([0-9.]+) d3d11=([0-9.]+)",
                              draws[2])
            self.assertIsNotNone(chosen, draws)
            path, gdi_ms, gpu_ms = chosen.group(1), float(chosen.group(2)), float(chosen.group(3))
            self.assertEqual(path, "gdi" if gdi_ms <= gpu_ms else "d3d11", draws[2])
            print(draws[2])
            if path == "gdi":
                self.assertTrue(log.wait_frames(5, timeout=60, proc=proc))
                gdi_shot = session.screenshot(session.scratch_path("gdi.png"))
                largest, mean = channel_differences(gpu_shot, gdi_shot)
                print(f"Direct3D against GDI: largest {largest * 255:.1f}, "
                      f"mean {mean * 255:.2f} levels of 255")
                self.assertLessEqual(largest, MAX_CHANNEL_DIFFERENCE)
                self.assertLessEqual(mean, MEAN_CHANNEL_DIFFERENCE)
                self.assertGreater(harness.image_stats(gdi_shot)[1], 0.01, "no field on GDI")
            session.key("a")
            self.assertEqual(session.wait_exit(proc, 10), 0)


if __name__ == "__main__":
    harness.main()
