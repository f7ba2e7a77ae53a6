#!/usr/bin/env bash
# Frame-rate benchmark of the full-screen saver under Wine.
#   scripts/fps.sh [--seconds N] [--pattern P] [--monitors MODE[,MODE...]] [--cross-fade]
#                  [--first-frame] [--against OTHER.scr] [WIDTHxHEIGHT[,WIDTHxHEIGHT...] ...]
#                                                      (default: 10 s at 1920x1080 and 3840x2160)
# For each size it runs `lumora.scr /s` on a private Xvfb display of that size with a fresh
# Wine prefix (several sizes joined by commas: that many monitors side by side, the first the
# primary, e.g. 1920x1080,1920x1080), lets it warm up (after the trial of its draw paths, where
# it makes one: it is counted on the path it keeps), then counts for N seconds the frames the saver reports drawing
# (one line each in the file named by LUMORA_FRAME_LOG) and the CPU time the saver's process
# used. --pattern stores settings that run pattern P at every start (no random pattern), so that
# runs can be compared. --monitors runs every size once per mode (mirror, span, primary-only,
# each: the stored Monitors value 0, 1, 2, 3), in the order given, so that the modes compare in one run.
# --cross-fade runs every size (and mode) twice, plain and then changing pattern every 2 s
# (CycleMinutes 1 with the saver's minute shortened to 2 s: one cross-fade after another), so
# that the cross-fade's frame rate and CPU compare with the plain saver's in one run.
# Every run reports the gaps between frames (median, 99th percentile and largest, from the
# frames' own times in the log), so that a frame that waited shows, and the time from the start
# of `lumora.scr /s` to its first frame drawn (the log looked at every 20 ms).
# --first-frame measures only that time, starting the saver once per pattern (all 25, or the
# one --pattern names) at every size; --against OTHER.scr does every measurement with that
# program too, one after the other, so that two builds compare in one run.
# The product is build/win32/lumora.scr (build/win64/lumora.scr where the machine runs no 32-bit
# programs: scripts/wine-env.sh) unless LUMORA_SCR names another.
# It measures; it passes or fails nothing. Run scripts/build.sh first.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/wine-env.sh"
win=$([ "$LUMORA_32BIT" = 1 ] && echo win32 || echo win64)
export LUMORA_SCR=${LUMORA_SCR:-$top/build/$win/lumora.scr}
export LUMORA_SCRIPTS=$top/scripts
export LUMORA_WINE_TEMPLATE=${LUMORA_WINE_TEMPLATE:-$top/build/wine/template}
[ -f "$LUMORA_SCR" ] || { echo "fps: no $LUMORA_SCR (run scripts/build.sh)" >&2; exit 1; }

exec python3 -B - "$@" <<'EOF'
import argparse, os, sys, time
sys.path.insert(0, os.path.join(os.environ["LUMORA_SCRIPTS"], "..", "tests", "e2e"))
import harness

parser = argparse.ArgumentParser(prog="fps.sh")
parser.add_argument("--seconds", type=float, default=10.0)
parser.add_argument("--pattern", type=int, choices=range(1, 26), metavar="1..25")
parser.add_argument("--monitors", default="",
                    help="modes to compare, from mirror, span, primary-only and each, "
                    "comma-separated")
parser.add_argument("--cross-fade", action="store_true",
                    help="also measure with one cross-fade after another")
parser.add_argument("--first-frame", action="store_true",
                    help="measure only the time to the first frame, for every pattern")
parser.add_argument("--against", metavar="OTHER.scr", help="measure this program as well")
parser.add_argument("sizes", nargs="*", default=["1920x1080", "3840x2160"])
options = parser.parse_args()
MODES = {"mirror": 0, "span": 1, "primary-only": 2, "each": 3}
modes = [mode for mode in options.monitors.split(",") if mode]
for mode in modes:
    if mode not in MODES:
        parser.error(f"--monitors: no mode '{mode}' (mirror, span, primary-only, each)")

WARM_UP = 2.0  # after the first frame


CROSS_FADE_MINUTE_MS = 2000


def measure(sizes, mode, cross_fade=False, program=None, pattern=None, first_only=False):
    """sizes: [(width, height)] of the monitors from left to right; mode: a --monitors mode or
    None (the store left as the first run makes it, or as --pattern sets it); program: the
    saver to run (None: LUMORA_SCR); pattern: overrides --pattern; first_only: only the time
    to the first frame."""
    pattern = pattern or options.pattern
    width, height = sizes[0]
    heads, left = [], 0
    for w, h in sizes:
        heads.append(f"{w}x{h}+{left}+0")
        left += w
    with harness.Session(width, height, monitors=heads if len(heads) > 1 else None) as session:
        log = harness.FrameLog(session)
        if pattern or mode or cross_fade:
            for name, value in (("Speed", 20), ("Bright", 0), ("Algoritm", pattern or 7),
                                ("Wall", 12), ("Rands", 0 if pattern else 1)):
                session.reg_add(name, "REG_DWORD", value)
            session.reg_add("Path_Wall", "REG_SZ", "C:\\")
        if mode:
            session.reg_add("Monitors", "REG_DWORD", MODES[mode])
        env = dict(log.env)
        if cross_fade:
            session.reg_add("CycleMinutes", "REG_DWORD", 1)
            env["LUMORA_CYCLE_MINUTE_MS"] = str(CROSS_FADE_MINUTE_MS)
        session.mouse_move(width // 2, height // 2)
        # Until the first frame's line is in the log (looked for every 20 ms).
        launched = time.monotonic()
        proc = session.start("/s", env=env, program=program)
        if not log.wait_frames(1, timeout=120, proc=proc, faded=False):
            raise RuntimeError("the saver drew no frame")
        first_frame = time.monotonic() - launched
        if first_only:
            session.key("Escape")
            session.wait_exit(proc, 10)
            return first_frame
        # A saver that tries its draw paths first is counted on the one it keeps.
        harness.wait_for(lambda: " trial" not in last_draw(log), timeout=120)
        time.sleep(WARM_UP)
        if proc.poll() is not None:
            raise RuntimeError(f"the saver ended with status {proc.returncode}")
        start_lines = len(log.lines())
        saver = saver_pid(session, program, proc)
        start_frames, start_cpu = log.frames(), harness.cpu_seconds(saver)
        start_x = harness.cpu_seconds(session.xvfb.pid)
        started = time.monotonic()
        time.sleep(options.seconds)
        elapsed = time.monotonic() - started
        drawn = log.frames() - start_frames
        cpu = harness.cpu_seconds(saver) - start_cpu
        x_cpu = harness.cpu_seconds(session.xvfb.pid) - start_x
        first = log.start()
        if cross_fade:
            first = dict(first, cycles=sum(1 for l in log.lines()[start_lines:] if l.startswith("cycle")))
        timings = frame_timings(log.lines()[start_lines:])
        gaps = frame_gaps(log.lines()[start_lines:])
        draw = last_draw(log)
        session.key("Escape")
        session.wait_exit(proc, 10)
    return first, drawn, elapsed, cpu, x_cpu, timings, draw, gaps, first_frame


def saver_pid(session, program, proc):
    """The saver's own process: Wine's loader may run it as a process of its own."""
    name = os.path.basename(program or session.product).lower()
    pids = [pid for pid, running in session.running_programs() if running == name]
    return pids[0] if pids else proc.pid


def frame_times(lines):
    """The times (ms) of the frame lines, where the saver writes them."""
    times = []
    for line in lines:
        fields = line.split()
        if fields and fields[0] == "frame" and len(fields) > 1 and fields[1].isdigit():
            times.append(int(fields[1]))
    return times


def frame_gaps(lines):
    """Median, 99th percentile and largest gap (ms) between consecutive frames."""
    times = frame_times(lines)
    gaps = sorted(b - a for a, b in zip(times, times[1:]))
    if not gaps:
        return "not reported"
    at = lambda share: gaps[min(len(gaps) - 1, int(share * len(gaps)))]
    return f"median {at(0.5)} ms, 99th percentile {at(0.99)} ms, largest {gaps[-1]} ms"


def last_draw(log):
    """The saver's last "draw PATH WHY" line without "draw ", or "" (a build that says none)."""
    draws = [line[5:] for line in log.lines() if line.startswith("draw ")]
    return draws[-1] if draws else ""


def frame_timings(lines):
    """Mean of each "name=milliseconds" field of the frame lines, when the saver writes them."""
    sums, counts = {}, {}
    for line in lines:
        if not line.startswith("frame"):
            continue
        for field in line.split()[1:]:
            name, _, value = field.partition("=")
            try:
                sums[name] = sums.get(name, 0.0) + float(value)
                counts[name] = counts.get(name, 0) + 1
            except ValueError:
                pass
    return ", ".join(f"{name} {sums[name] / counts[name]:.1f} ms" for name in sums)


programs = [(None, "")] + ([(options.against, " (against)")] if options.against else [])
for size in options.sizes:
    sizes = [tuple(int(n) for n in monitor.lower().split("x")) for monitor in size.split(",")]
    if options.first_frame:
        for pattern in [options.pattern] if options.pattern else range(1, 26):
            for program, which in programs:
                seconds = measure(sizes, None, program=program, pattern=pattern, first_only=True)
                print(f"{size} pattern {pattern}{which}: first frame {seconds:.2f} s after the "
                      "start", flush=True)
        continue
    for mode, cross_fade in [(m, c) for m in modes or [None] for c in [False] + [True] * options.cross_fade]:
        for program, which in programs:
            first, drawn, elapsed, cpu, x_cpu, timings, draw, gaps, first_frame = measure(
                sizes, mode, cross_fade, program=program)
            label = (f"{size} {mode}" if mode else size) + (" cross-fade" if cross_fade else "")
            print(f"{label}{which}: {drawn / elapsed:.1f} frames/s ({drawn} frames in "
                  f"{elapsed:.1f} s); frame gaps: {gaps}; first frame {first_frame:.2f} s after "
                  f"the start; saver CPU {cpu:.2f} s ({100 * cpu / elapsed:.0f}% of one core), "
                  f"Xvfb CPU {x_cpu:.2f} s; per frame: {timings or 'not reported'}; "
                  f"start: {first}" + (f"; draw: {draw}" if draw else ""), flush=True)
EOF
