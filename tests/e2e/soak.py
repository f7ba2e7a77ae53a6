"""Soak: the full-screen saver runs for a long time under Wine, or the settings mode goes through
many rounds of "Save Image"; the process's resources are sampled as it goes and must stay flat
once it has warmed up: no memory, GDI object, window, thread or file handle taken per frame or
per round and kept.

What is sampled, and where it comes from (Wine 8 reports some of it, the rest comes from Linux):
  private    the process's anonymous resident memory (/proc/PID/status RssAnon): its private
             memory, since Wine reports no PrivateUsage for another process
  working    the working set as Wine reports it (GetProcessMemoryInfo, through process-probe)
  gdi        the process's live GDI objects, from Wine's own count in its gdi trace
             ("allocated|freed TYPE HANDLE COUNT/65536"); GetGuiResources is not implemented
  windows    the process's windows, top-level and child (process-probe): the user objects that
             can leak per frame or per round (GetGuiResources reports none under Wine)
  threads    /proc/PID/status Threads
  fds        open file descriptors (/proc/PID/fd): files, sections and sockets behind handles

  python3 tests/e2e/soak.py [--seconds S] [--size WxH]    (scripts/soak.sh runs it)
  python3 tests/e2e/soak.py --settings [--cancels N] [--saves N] [--size WxH]
"""

import argparse
import os
import re
import sys
import time

import harness
from harness import BUTTON_CLOSE, BUTTON_SAVE_IMAGE, SETTINGS, wait_for

SAMPLE_EVERY = 10  # seconds
WARM_UP = 15       # seconds after the first frame before the baseline sample
# Flat: growth from the baseline to the end that is still allowed.
MAX_PRIVATE_GROWTH = 1024 * 1024
FIELDS = ("private", "working", "gdi", "windows", "threads", "fds")


def proc_status(pid):
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, value = line.partition(":")
            values[key] = value.split()[0] if value.split() else ""
    return values


def gdi_count(trace_path):
    """The last live-object count in Wine's gdi trace, or None."""
    count = None
    with open(trace_path, "rb") as f:
        for line in f:
            match = re.search(rb"gdi:(?:alloc|free)_gdi_handle \w+ \w+ 0x[0-9a-f]+ (\d+)/", line)
            if match:
                count = int(match.group(1))
    return count


def sample(session, trace_path):
    pids = session.program_processes()
    if len(pids) != 1:
        raise RuntimeError(f"expected one saver process, found {pids}")
    status = proc_status(pids[0])
    probe = session.process_probe(os.path.basename(session.product)) or ""
    reported = dict(item.split("=") for item in probe.split())
    return {
        "private": int(status["RssAnon"]) * 1024,
        "working": int(reported.get("working_set", -1)),
        "gdi": gdi_count(trace_path),
        "windows": int(reported.get("windows", -1)),
        "threads": int(status["Threads"]),
        "fds": len(os.listdir(f"/proc/{pids[0]}/fd")),
    }


def settled_sample(session, trace_path, tries=6):
    """A sample once the counts hold still between two readings half a second apart: a window
    that has just closed may free its objects a moment after it is gone."""
    counts = lambda values: tuple(values[field] for field in ("gdi", "windows", "threads", "fds"))
    last = sample(session, trace_path)
    for _ in range(tries):
        time.sleep(0.5)
        now = sample(session, trace_path)
        if counts(now) == counts(last):
            return now
        last = now
    return last


def row(label, elapsed, frames, values):
    mib = lambda b: f"{b / 1048576:.1f} MiB"
    return (f"| {label} | {elapsed:.0f} s | {frames} | {mib(values['private'])} | {mib(values['working'])} | "
            f"{values['gdi']} | {values['windows']} | {values['threads']} | {values['fds']} |")


def soak_full_screen(session, seconds, out=sys.stdout):
    """Runs the saver for `seconds`; returns the samples [(elapsed, frames, values)] and prints
    the table of the baseline, the one-minute and the last sample. Raises AssertionError when a
    count is not flat."""
    session.mouse_move(session.width // 2, session.height // 2)
    log = harness.FrameLog(session)
    trace = session.scratch_path("gdi-trace.txt")
    proc = session.start("/s", env=dict(log.env, WINEDEBUG="-all,trace+gdi"), stderr_path=trace)
    if not log.wait_frames(1, timeout=60, proc=proc):
        raise AssertionError("the saver drew no frame")
    started = time.monotonic()
    samples = []
    while True:
        elapsed = time.monotonic() - started
        if proc.poll() is not None:
            raise AssertionError(f"the saver ended by itself after {elapsed:.0f} s")
        samples.append((elapsed, log.frames(), sample(session, trace)))
        if elapsed >= seconds:
            break
        due = started + min(len(samples) * SAMPLE_EVERY, seconds)
        time.sleep(max(0.0, due - time.monotonic()))
    session.key("Escape")
    if session.wait_exit(proc, 15) is None:
        session.mouse_move(0, 0)
    status = session.wait_exit(proc, 15)

    baseline = next(s for s in samples if s[0] >= WARM_UP)
    minute = next((s for s in samples if s[0] >= 60), samples[-1])
    last = samples[-1]
    print("| sample | time | frames | private | working set | GDI objects | windows | threads | fds |", file=out)
    print("|---|---|---|---|---|---|---|---|---|", file=out)
    for label, s in (("first frame", samples[0]), ("baseline", baseline), ("1 minute", minute), ("end", last)):
        print(row(label, *s), file=out)
    fps = (last[1] - samples[0][1]) / max(1.0, last[0] - samples[0][0])
    print(f"frames per second over the run: {fps:.1f}; exit status {status}", file=out)

    problems = []
    growth = last[2]["private"] - baseline[2]["private"]
    if growth > MAX_PRIVATE_GROWTH:
        problems.append(f"private memory grew by {growth / 1024:.0f} KiB after the warm-up")
    for field in ("gdi", "windows", "threads", "fds"):
        later = {s[2][field] for s in samples if s[0] >= baseline[0]}
        if len(later) != 1:
            problems.append(f"{field} not flat after the warm-up: {sorted(later, key=str)}")
    if status != 0:
        problems.append(f"exit status {status}")
    if problems:
        raise AssertionError("; ".join(problems))
    return samples


# --- the settings mode ------------------------------------------------------------------
SAVE = harness.SAVE_IMAGE


def soak_settings(session, cancel_rounds, save_rounds, out=sys.stdout):
    """Opens the settings mode and runs `cancel_rounds` rounds of "Save Image" then Cancel and
    `save_rounds` of "Save Image" then Save; samples after every round. Returns the samples
    [(round, stills on disk, values)] and prints the table: opened, the first and last round of
    each kind after its warm-up. Raises AssertionError when a count is not flat."""
    stills = session.linux_path("C:\\stills")
    os.makedirs(stills, exist_ok=True)
    session.reg_import(harness.reg_file({
        "Speed": ("REG_DWORD", 20), "Bright": ("REG_DWORD", 4), "Algoritm": ("REG_DWORD", 17),
        "Wall": ("REG_DWORD", 1), "Rands": ("REG_DWORD", 0), "Path_Wall": ("REG_SZ", "C:\\stills")}))
    log = harness.FrameLog(session)
    trace = session.scratch_path("gdi-trace.txt")
    proc = session.start("/c", env=dict(log.env, WINEDEBUG="-all,trace+gdi"), stderr_path=trace)
    if not (log.wait_frames(3, timeout=60, proc=proc) and session.find_window(SETTINGS, timeout=20)):
        raise AssertionError("the settings mode did not open")
    samples = [("opened", 0, sample(session, trace))]
    rounds = [("cancel", i + 1) for i in range(cancel_rounds)] + \
             [("save", i + 1) for i in range(save_rounds)]
    for kind, number in rounds:
        fields = sum(1 for line in log.lines() if line.startswith("field"))
        session.click_control(SETTINGS, BUTTON_SAVE_IMAGE)
        if not session.find_window(SAVE, timeout=60):
            raise AssertionError(f"{kind} round {number}: no save-image dialog")
        cx, cy, _, _ = session.geometry(session.find_window(SAVE))
        session.mouse_move(cx + 330, cy + 150)  # over the dialog, so that it gets the keys
        session.key("Escape" if kind == "cancel" else "Return")
        # Back: the dialog gone, the live view refilled once more and drawing again.
        if not wait_for(lambda: not session.find_window(SAVE, timeout=0) and
                        sum(1 for line in log.lines() if line.startswith("field")) >= fields + 2,
                        timeout=30):
            raise AssertionError(f"{kind} round {number}: the live view did not come back")
        if not log.wait_frames(3, timeout=30, proc=proc):
            raise AssertionError(f"{kind} round {number}: the live view draws no more")
        samples.append((f"{kind} {number}", len(os.listdir(stills)), settled_sample(session, trace)))
    session.click_control(SETTINGS, BUTTON_CLOSE)
    status = session.wait_exit(proc, 20)

    # Each kind of round warms up on its own (the first save loads the encoder and the file
    # system's buffers): flat from the 5th cancelled round and from the 2nd saved one on.
    cancels = samples[min(5, cancel_rounds):cancel_rounds + 1]
    saves = samples[cancel_rounds + min(2, save_rounds):]
    picks = [samples[0], cancels[0], samples[cancel_rounds], saves[0], samples[-1]]
    print("| after | stills | private | working set | GDI objects | windows | threads | fds |", file=out)
    print("|---|---|---|---|---|---|---|---|", file=out)
    mib = lambda b: f"{b / 1048576:.1f} MiB"
    for label, files, v in picks:
        print(f"| {label} | {files} | {mib(v['private'])} | {mib(v['working'])} | {v['gdi']} | "
              f"{v['windows']} | {v['threads']} | {v['fds']} |", file=out)
    problems = []
    if samples[-1][1] != save_rounds:
        problems.append(f"{samples[-1][1]} stills on disk after {save_rounds} saves")
    for kind, run in (("cancelled", cancels), ("saved", saves)):
        for field in ("gdi", "windows", "threads", "fds"):
            later = {s[2][field] for s in run}
            if len(later) != 1:
                problems.append(f"{field} not flat over the {kind} rounds: {sorted(later, key=str)}")
        growth = max(s[2]["private"] for s in run) - run[0][2]["private"]
        if growth > MAX_PRIVATE_GROWTH:
            problems.append(f"private memory grew by {growth / 1024:.0f} KiB over the {kind} rounds")
    if status != 0:
        problems.append(f"exit status {status}")
    if problems:
        raise AssertionError("; ".join(problems))
    return samples


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=int, default=600)
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--settings", action="store_true",
                        help="soak the settings mode instead: Save Image rounds")
    parser.add_argument("--cancels", type=int, default=30)
    parser.add_argument("--saves", type=int, default=10)
    args = parser.parse_args()
    width, height = (int(v) for v in args.size.split("x"))
    with harness.Session(width, height) as session:
        try:
            if args.settings:
                print(f"soak: settings mode at {width}x{height}, {args.cancels} rounds of Save Image "
                      f"and Cancel, {args.saves} of Save Image and Save")
                soak_settings(session, args.cancels, args.saves)
            else:
                print(f"soak: full screen at {width}x{height} for {args.seconds} s")
                soak_full_screen(session, args.seconds)
        except AssertionError as error:
            print(f"soak: FAILED: {error}")
            return 1
    print("soak: flat")
    return 0


if __name__ == "__main__":
    sys.exit(main())
