"""End-to-end harness: runs the real lumora.scr under Wine on a private Xvfb display.

A `Session` owns one Xvfb server of a chosen size and one Wine prefix cloned from the
booted template (a fresh registry: a first run). Everything it starts is ended by its own
id when the session closes, also when a test fails, raises or runs out of time:
the programs (each in its own process group), `wineserver -k` for the session's prefix
only, then Xvfb; the cloned prefix is deleted.

Inputs come from the environment, set by CTest (tests/e2e/CMakeLists.txt):
  LUMORA_SCR            the product, lumora.scr
  LUMORA_SCRIPTS        the repository's scripts/ directory (wine-prefix.sh)
  LUMORA_WINE_TEMPLATE  the booted template prefix (default: <repo>/build/wine/template)
  LUMORA_PROBE          window-probe.exe, which reads the program's controls and manifest
  LUMORA_SEND_TO_SAVER  the test helper send_to_saver.exe (Session.send_to_saver)
  LUMORA_SEND_TO_SAVER64  its 64-bit build (Session.change_monitors)
  LUMORA_32BIT, LUMORA_WINE  whether the machine runs 32-bit programs and the Wine command
                        (scripts/wine-env.sh; asked here when not set). A file whose product is
                        a 32-bit program the machine cannot run prints why and exits 77 (skipped)

Several monitors: Session(monitors=[...]) makes one Xvfb screen as large as the layout and
tells Wine, through a stand-in libXinerama built here for the session (xinerama_stand_in.c,
with the host's gcc), that it is made of those heads; the first is the primary monitor.

Python 3 standard library plus the command-line tools Xvfb, wine, xdotool and ImageMagick
(and gcc for several monitors).
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

TITLE = "Lumora Screensaver"
SETTINGS_KEY = r"HKCU\Software\Lumora"
# The settings mode's dialogs, by caption, and the settings dialog's control ids.
SETTINGS, SAVE_IMAGE = "Settings", "Save Image"
LABEL_PATTERN, CHECK_RANDOM, LABEL_SCHEME, SLIDER_PATTERN, SLIDER_SCHEME = 101, 102, 103, 104, 105
LABEL_SIZE, LABEL_SPEED, SLIDER_SIZE, SLIDER_SPEED = 106, 107, 108, 109
BUTTON_SAVE_SETTINGS, BUTTON_SAVE_IMAGE, BUTTON_CLOSE, COMBO_MONITORS = 110, 111, 112, 113

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPTS = os.environ.get("LUMORA_SCRIPTS", os.path.join(HERE, "..", "..", "scripts"))
PRODUCT = os.environ.get("LUMORA_SCR", "")
# The tests' stand-ins for the host (tests/e2e/stand_ins), built beside the product.
STAND_INS = os.path.join(os.path.dirname(os.path.abspath(PRODUCT)), "stand_ins")
PROBE = os.environ.get("LUMORA_PROBE", "")
SEND_TO_SAVER = os.environ.get("LUMORA_SEND_TO_SAVER", "")
SEND_TO_SAVER64 = os.environ.get("LUMORA_SEND_TO_SAVER64", "")
TEMPLATE = os.environ.get(
    "LUMORA_WINE_TEMPLATE", os.path.join(SCRIPTS, "..", "build", "wine", "template"))

# How Wine starts here: scripts/wine-env.sh decides once whether the machine runs 32-bit
# programs (the scripts that start the tests pass the decision on; alone, a test asks it).
if not os.environ.get("LUMORA_32BIT") or not os.environ.get("LUMORA_WINE"):
    _decision = subprocess.run(["bash", os.path.join(SCRIPTS, "wine-env.sh"), "--print"],
                               stdout=subprocess.PIPE, text=True, check=True, timeout=60)
    os.environ.update(line.split("=", 1) for line in _decision.stdout.splitlines() if "=" in line)
# Debian's `wine` where 32-bit programs run (its 32-bit loader hands 64-bit programs on to the
# 64-bit one); the 64-bit loader where they do not.
WINE = os.environ["LUMORA_WINE"]
RUNS_32BIT = os.environ["LUMORA_32BIT"] == "1"
WINE64 = shutil.which("wine64") or "/usr/lib/wine/wine64"
MACHINE_I386 = 0x14C

# The processes Wine starts for a prefix by itself and ends with its server.
WINE_BACKGROUND = {"wineserver", "wineserver64", "services.exe", "explorer.exe", "winedevice.exe",
                   "plugplay.exe", "svchost.exe", "rpcss.exe", "wineboot.exe",
                   "winemenubuilder.exe"}

# Upper bound for any helper command (xdotool, wine reg, import); a hung tool fails the test.
TOOL_TIMEOUT = 30


def _run(args, env=None, timeout=TOOL_TIMEOUT, check=True, text=True):
    """Runs a command to its end and returns what it printed. Its output goes through files,
    not pipes: the first Wine program of a prefix starts Wine's services, which would inherit a
    pipe and hold it open until the Wine server ends, seconds after the program did."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        result = subprocess.run(args, env=env, timeout=timeout, stdin=subprocess.DEVNULL,
                                stdout=out, stderr=err)
        out.seek(0)
        err.seek(0)
        result.stdout, result.stderr = out.read(), err.read()
    if text:
        result.stdout = result.stdout.decode(errors="replace")
        result.stderr = result.stderr.decode(errors="replace")
    if check:
        result.check_returncode()
    return result


def _pid_alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def _start_xvfb(width, height):
    """Starts Xvfb on a free display; returns (process, display name)."""
    read_end, write_end = os.pipe()
    try:
        server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-br", "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    finally:
        os.close(write_end)
    text = b""
    try:
        while not text.endswith(b"\n"):
            chunk = os.read(read_end, 32)
            if not chunk:
                break
            text += chunk
    finally:
        os.close(read_end)
    if not text.strip().isdigit():
        server.kill()
        server.wait()
        raise RuntimeError("Xvfb did not report a display")
    return server, ":" + text.decode().strip()


def wait_for(predicate, timeout=10):
    """predicate's first true value within timeout seconds, else its last value."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    return predicate()


def sweep_stale_clones(parent):
    """Ends the Xvfb and Wine processes and removes the prefixes left by sessions whose
    harness was killed outright (SIGKILL), which no clean-up code survives."""
    if not os.path.isdir(parent):
        return
    for name in os.listdir(parent):
        match = re.fullmatch(r"e2e-(\d+)-\w+", name)
        if not match or _pid_alive(int(match.group(1))):
            continue
        workdir = os.path.join(parent, name)
        try:
            with open(os.path.join(workdir, "xvfb.pid")) as f:
                xvfb = int(f.read())
            with open(f"/proc/{xvfb}/cmdline", "rb") as f:
                if f.read().startswith(b"Xvfb\0"):
                    os.kill(xvfb, signal.SIGKILL)
        except (OSError, ValueError):
            pass
        prefix = os.path.join(workdir, "prefix")
        if os.path.isdir(prefix):
            env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all")
            subprocess.run(["wineserver", "-k"], env=env, timeout=TOOL_TIMEOUT,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(workdir, ignore_errors=True)


def parse_head(text):
    """"WIDTHxHEIGHT+X+Y" as (x, y, width, height)."""
    match = re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", text)
    if not match:
        raise ValueError(f"not a monitor: '{text}'")
    width, height, x, y = (int(n) for n in match.groups())
    return x, y, width, height


def keep_user_folders_inside(prefix):
    """Wine links the user's Pictures, Documents, Desktop and the like to the Linux home
    directory; in a test prefix they become folders of its own, so that a still saved to the
    default directory lands in the prefix, not in the home of whoever runs the tests."""
    users = os.path.join(prefix, "drive_c", "users")
    for user in os.listdir(users) if os.path.isdir(users) else []:
        for name in os.listdir(os.path.join(users, user)):
            path = os.path.join(users, user, name)
            if os.path.islink(path):
                os.remove(path)
                os.mkdir(path)


class Session:
    """One Xvfb display of width x height and one fresh Wine prefix: 64-bit (running 32- and
    64-bit programs) or, with arch="win32", a 32-bit one of a template of its own. With
    monitors (a list of "WIDTHxHEIGHT+X+Y" in X screen coordinates, the primary first), the
    display is as large as the layout and Wine sees those monitors; width and height are then
    ignored. With dpi, Wine's scale (LogPixels) is that many dots per inch from the start."""

    def __init__(self, width=1366, height=768, product=None, arch=None, monitors=None, dpi=None):
        self.heads = [parse_head(head) for head in monitors or []]
        if self.heads:
            width = max(x + w for x, y, w, h in self.heads)
            height = max(y + h for x, y, w, h in self.heads)
        self.width, self.height = width, height
        self.dpi = dpi
        self.arch = arch
        self.product = os.path.abspath(product or PRODUCT)
        if not os.path.isfile(self.product):
            raise RuntimeError(f"no product at '{self.product}' (set LUMORA_SCR)")
        self.processes = []
        self.xvfb = None
        self.workdir = None

    # --- lifetime -------------------------------------------------------------------
    def __enter__(self):
        try:
            self._open()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _open(self):
        if _out_of_time_now:
            raise OutOfTime("no time left for another session")
        template = os.path.abspath(TEMPLATE)
        boot_env = None
        if self.arch:
            template += "-" + self.arch
            boot_env = dict(os.environ, WINEARCH=self.arch)
        subprocess.run([os.path.join(SCRIPTS, "wine-prefix.sh"), "template", template],
                       check=True, timeout=300, env=boot_env)
        parent = os.path.dirname(template)
        sweep_stale_clones(parent)
        # The clone is hard-linked to the template, so it lives on the same file system.
        self.workdir = tempfile.mkdtemp(prefix=f"e2e-{os.getpid()}-", dir=parent)
        self.prefix = os.path.join(self.workdir, "prefix")
        subprocess.run([os.path.join(SCRIPTS, "wine-prefix.sh"), "clone", template, self.prefix],
                       check=True, timeout=120)
        keep_user_folders_inside(self.prefix)
        self.xvfb, self.display = _start_xvfb(self.width, self.height)
        with open(os.path.join(self.workdir, "xvfb.pid"), "w") as f:
            f.write(str(self.xvfb.pid))
        self.env = dict(os.environ, DISPLAY=self.display, WINEPREFIX=self.prefix,
                        WINEDEBUG="-all")
        if self.dpi:
            self.reg_add("LogPixels", "REG_DWORD", self.dpi, key=r"HKCU\Control Panel\Desktop")
        if self.heads:
            self._use_monitors()
        if self.dpi or self.heads:
            # Wine's desktop reads the monitors and their scale once, when it starts: let the
            # server that set them end before the first program.
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=15,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.root_windows = set(self._search_visible(""))

    def _use_monitors(self):
        # Wine asks XRandR first, which knows only the one screen; without it, Xinerama.
        library = os.path.join(self.workdir, "libXinerama.so.1")
        _run(["gcc", "-shared", "-fPIC", "-O2", "-o", library,
              os.path.join(HERE, "xinerama_stand_in.c")], timeout=60)
        library_path = os.environ.get("LD_LIBRARY_PATH")
        self.env["LD_LIBRARY_PATH"] = self.workdir + (":" + library_path if library_path else "")
        self.env["LUMORA_TEST_MONITORS"] = ",".join(
            f"{w}x{h}+{x}+{y}" for x, y, w, h in self.heads)
        _run([WINE, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR",
              "/t", "REG_SZ", "/d", "N", "/f"], env=self.env)

    def screen_point(self, x, y):
        """Where a point of the Windows virtual screen lies on the X screen: Windows puts the
        primary monitor's top left corner at (0, 0)."""
        left, top = self.heads[0][:2] if self.heads else (0, 0)
        return x + left, y + top

    def close(self):
        # A budget alarm that falls due now is raised once everything is cleaned up.
        signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGALRM})
        try:
            self._close()
        finally:
            signal.pthread_sigmask(signal.SIG_UNBLOCK, {signal.SIGALRM})

    def _close(self):
        for proc in self.processes:
            if proc.poll() is None:
                try:
                    os.killpg(proc.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
            if proc.stdout:
                proc.stdout.close()
        self.processes = []
        if self.workdir and os.path.isdir(getattr(self, "prefix", "")):
            env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all")
            try:
                subprocess.run(["wineserver", "-k"], env=env, timeout=TOOL_TIMEOUT,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                pass
        if self.xvfb is not None:
            self.xvfb.kill()
            self.xvfb.wait()
            self.xvfb = None
        if self.workdir:
            shutil.rmtree(self.workdir, ignore_errors=True)
            self.workdir = None

    # --- the program -----------------------------------------------------------------
    def start(self, *args, env=None, program=None, loader=None, stderr_path=None):
        """Starts `wine lumora.scr ARGS` (or another program) in its own process group;
        returns the process. Where the machine runs 32-bit programs `wine` (WINE) starts
        programs as a 32-bit process would, which sees the 32-bit system directory as
        C:\windows\system32; WINE64 starts them as the 64-bit system does. stderr_path: a
        file that receives Wine's messages (see
        MessageBoxTrace)."""
        proc_env = dict(self.env, **(env or {}))
        stderr = open(stderr_path, "w") if stderr_path else subprocess.DEVNULL
        try:
            proc = subprocess.Popen([loader or WINE, program or self.product, *args], env=proc_env,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=stderr, start_new_session=True)
        finally:
            if stderr_path:
                stderr.close()
        self.processes.append(proc)
        return proc

    def start_stand_in(self, name, *args, env=None):
        """Starts `wine STAND_INS/name ARGS` like start, its standard output a text pipe."""
        proc_env = dict(self.env, **(env or {}))
        proc = subprocess.Popen([WINE, os.path.join(STAND_INS, name), *args], env=proc_env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, start_new_session=True, text=True)
        self.processes.append(proc)
        return proc

    @staticmethod
    def wait_exit(proc, timeout):
        """The exit status, or None when the process still runs after timeout seconds."""
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def program_processes(self):
        """Ids of the processes of this prefix that run the product."""
        name = os.path.basename(self.product).lower()
        return [pid for pid, program in self.running_programs() if program == name]

    def send_to_saver(self, *args, helper=None, env=None):
        """Runs the test helper send_to_saver.exe (power STATE | monitors) in the session's
        prefix; True when it did what it was asked."""
        helper = helper or SEND_TO_SAVER
        if not os.path.isfile(helper):
            raise RuntimeError(f"no helper at '{helper}' (set LUMORA_SEND_TO_SAVER and ...64)")
        result = _run([WINE, helper, *args], env=dict(self.env, **(env or {})), check=False)
        return result.returncode == 0

    def change_monitors(self, monitors):
        """Plugs monitors in or out while programs run: the heads become `monitors` (as for the
        session, the primary first, inside the display), Wine lists them again and every window
        gets WM_DISPLAYCHANGE. True when Wine took the new list."""
        self.heads = [parse_head(head) for head in monitors]
        self.env["LUMORA_TEST_MONITORS"] = ",".join(monitors)
        return self.send_to_saver("monitors", helper=SEND_TO_SAVER64)

    def scratch_path(self, name):
        """A path in the session's own directory, deleted with the session."""
        return os.path.join(self.workdir, name)

    def linux_path(self, windows_path):
        """Where a path on the prefix's drive C: lies on Linux ("" for other drives)."""
        if not re.match(r"(?i)^c:\\", windows_path):
            return ""
        parts = [p for p in windows_path[3:].split("\\") if p]
        return os.path.join(self.prefix, "drive_c", *parts)

    def wait_idle(self, timeout=15):
        """True when, within timeout seconds, no program of this prefix runs any more but Wine's
        own background processes (which the Wine server ends some seconds later by itself)."""
        return bool(wait_for(lambda: not self.running_programs(), timeout))

    def running_programs(self):
        """(pid, program) of every process of this prefix that is not Wine's own."""
        marker = ("WINEPREFIX=" + self.prefix).encode()
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/environ", "rb") as f:
                    if marker not in f.read().split(b"\0"):
                        continue
                with open(f"/proc/{entry}/cmdline", "rb") as f:
                    argv0 = f.read().split(b"\0")[0].decode(errors="replace")
            except OSError:
                continue
            program = re.split(r"[\\/]", argv0)[-1].lower()
            if program not in WINE_BACKGROUND:
                found.append((int(entry), program))
        return found

    # --- windows and input -------------------------------------------------------------
    def _search_visible(self, pattern):
        result = _run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                      env=self.env, check=False)
        return [int(w) for w in result.stdout.split()]

    def shown_windows(self):
        """Visible windows other than the root."""
        return [w for w in self._search_visible("") if w not in self.root_windows]

    def windows_named(self, name=TITLE):
        """Every visible window of exactly this name."""
        return self._search_visible("^" + re.escape(name) + "$")

    def message_boxes(self):
        """Visible windows captioned with the application title beyond the saver's or the live
        view's own one: the program's message boxes."""
        return len(self.windows_named()) - 1

    def click_control(self, title, control_id, controls=None):
        """Clicks the middle of a control of the window of that caption (controls: what
        window-probe read of it, read afresh when None)."""
        controls = controls or self.controls(title)
        x, y, w, h = controls.by_id[control_id]["rect"]
        # Without a window manager a window's X geometry is its client area.
        cx, cy, _, _ = self.geometry(self.find_window(title, timeout=5))
        self.mouse_move(cx + x + w // 2, cy + y + h // 2)
        self.click()

    def find_window(self, name=TITLE, timeout=20, proc=None):
        """The id of a visible window of exactly this name, waiting up to timeout seconds;
        None when none appears (or when proc has exited meanwhile)."""
        deadline = time.monotonic() + timeout
        pattern = "^" + re.escape(name) + "$"
        while True:
            found = self._search_visible(pattern)
            if found:
                return found[0]
            if time.monotonic() > deadline or (proc is not None and proc.poll() is not None):
                return None
            time.sleep(0.1)

    def geometry(self, window):
        """(x, y, width, height) of a window on the screen."""
        out = _run(["xdotool", "getwindowgeometry", "--shell", str(window)], env=self.env).stdout
        fields = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return tuple(int(fields[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def mouse_move(self, x, y):
        _run(["xdotool", "mousemove", str(x), str(y)], env=self.env)

    def mouse_position(self):
        out = _run(["xdotool", "getmouselocation", "--shell"], env=self.env).stdout
        fields = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(fields["X"]), int(fields["Y"])

    def click(self, button=1):
        _run(["xdotool", "click", str(button)], env=self.env)

    def focus(self, window):
        """Gives a window the keyboard focus, so that the next key goes to it."""
        _run(["xdotool", "windowfocus", "--sync", str(window)], env=self.env)

    def key(self, name):
        """Presses and releases a key, by its X name: "a", "alt", "Escape"."""
        _run(["xdotool", "key", name], env=self.env)

    # --- controls, through window-probe.exe ------------------------------------------
    def probe(self, *args):
        """window-probe's output lines, or None when it finds nothing."""
        result = _run([WINE, os.path.abspath(PROBE), *args], env=self.env, check=False)
        if result.returncode != 0:
            return None
        return result.stdout.splitlines()

    def set_text(self, title, control_id, text):
        """Sets a control's text as a paste would, past the control's keyboard filter; False
        when there is no such control."""
        return self.probe("settext", title, str(control_id), text) is not None

    def controls(self, title):
        """The window of that caption as a Controls record, or None when there is none."""
        lines = self.probe("controls", title)
        return Controls(lines) if lines else None

    # --- other processes, through process-probe.exe (built beside the product) -------
    def process_probe(self, *args):
        """process-probe's output, or None when it fails (see tests/tools/process_probe.cpp)."""
        probe = os.path.join(os.path.dirname(self.product), "process-probe.exe")
        result = _run([WINE, probe, *args], env=self.env, check=False)
        return result.stdout.strip() if result.returncode == 0 else None

    # --- registry -----------------------------------------------------------------
    def reg_query(self, key=SETTINGS_KEY, view=None):
        """The values directly under key as {name: (type, value)}: REG_DWORD values as int,
        others as text. None when the key does not exist. `wine reg` sees the 32-bit
        programs' view of HKLM\Software; view=64 reads the 64-bit one."""
        args = [WINE, "reg", "query", key] + ([f"/reg:{view}"] if view else [])
        result = _run(args, env=self.env, check=False)
        if result.returncode != 0:
            return None
        return parse_reg_query(result.stdout)

    def reg_add(self, name, kind, data, key=SETTINGS_KEY):
        _run([WINE, "reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f"],
             env=self.env)

    def reg_store(self, **values):
        """Stores each value under the settings key: text as REG_SZ, numbers as REG_DWORD."""
        for name, value in values.items():
            self.reg_add(name, "REG_SZ" if isinstance(value, str) else "REG_DWORD", value)

    def reg_import(self, text):
        """Imports registry text (a REGEDIT4 file's body, see reg_file) in one go."""
        path = self.scratch_path("import.reg")
        with open(path, "w", encoding="latin-1", newline="\r\n") as f:
            f.write(text)
        _run([WINE, "reg", "import", windows_path(path)], env=self.env)

    def reg_delete(self, name=None, key=SETTINGS_KEY):
        """Deletes one value, or the whole key when name is None."""
        args = [WINE, "reg", "delete", key] + (["/v", name] if name else []) + ["/f"]
        _run(args, env=self.env)

    # --- screenshots -------------------------------------------------------------
    def field_moving(self, regions, min_changed_share, timeout=15, pause=1.0):
        """Looks at the screen until every region (x, y, width, height) shows a field, neither
        (almost) black nor one flat colour, that changed in more than min_changed_share of its
        pixels since the look `pause` seconds before: Wine shows what a program drew a moment
        later, on a loaded machine much later, so one look proves nothing. Returns what was
        wrong at the last look, empty when nothing was."""
        deadline = time.monotonic() + timeout
        before = self.screenshot()
        while True:
            time.sleep(pause)
            after = self.screenshot()
            problems = []
            for region in regions:
                mean, std = image_stats(after, region)
                if mean <= 0.02:
                    problems.append(f"{region} is (almost) black")
                elif std <= 0.01:
                    problems.append(f"{region} is one flat colour")
                elif differing_pixels(before, after, region) <= min_changed_share * region[2] * region[3]:
                    problems.append(f"the field does not move in {region}")
            if not problems or time.monotonic() > deadline:
                return problems
            os.remove(before)
            before = after

    def screenshot(self, path=None):
        """Saves the whole display as PNG; returns the path."""
        if path is None:
            path = tempfile.mktemp(suffix=".png", dir=self.workdir)
        _run(["import", "-window", "root", path], env=self.env, timeout=60)
        return path


class Controls:
    """What window-probe read of a window: `window` {x, y, width, height, client, dpi,
    enabled, active, focus (the focused control's id, 0 outside the window, -1 none)} and
    `by_id` {control id: {kind, rect (x, y, w, h in the client area), item_height, value,
    text, items}}."""

    def __init__(self, lines):
        self.window, self.by_id = None, {}
        last = None
        for line in lines:
            line = line.rstrip("\r")
            parts = line.split(" ")
            if parts[0] == "window":
                self.window = {"x": int(parts[1]), "y": int(parts[2]), "width": int(parts[3]),
                               "height": int(parts[4]), "client": (int(parts[6]), int(parts[7])),
                               "dpi": int(parts[9])}
            elif parts[0] == "state" and self.window is not None:
                self.window.update(
                    {parts[i]: int(parts[i + 1]) for i in range(1, len(parts) - 1, 2)})
            elif parts[0] == "control":
                head, _, text = line.partition(" text ")
                fields = head.split(" ")
                last = {"kind": fields[2], "rect": tuple(int(v) for v in fields[3:7]),
                        "item_height": int(fields[8]), "value": int(fields[10]), "text": text,
                        "items": []}
                self.by_id[int(fields[1])] = last
            elif parts[0] == "item" and last is not None:
                last["items"].append(line.split(" ", 2)[2] if len(parts) > 2 else "")

    def text(self, control_id):
        return self.by_id[control_id]["text"]

    def value(self, control_id):
        return self.by_id[control_id]["value"]


class SessionTestCase(unittest.TestCase):
    """A test class whose tests share one session (display and prefix) of SCREEN's size."""
    SCREEN = (1366, 768)

    DPI = None  # the session's scale: LogPixels, 96 when None

    @classmethod
    def setUpClass(cls):
        cls.session = Session(*cls.SCREEN, dpi=cls.DPI).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.session.close()


class FrameLog:
    """The saver's own record of a run, kept when LUMORA_FRAME_LOG names a file: one line
    "start pattern=P grid=WxH window=WxH" once it is created, then one line per frame drawn;
    the full-screen saver also lists the monitors with their windows (again after "display
    change") and marks "pause" and "resume" when the display goes off and on.
    Pass `env` to Session.start."""

    def __init__(self, session, name="frames.log"):
        self.path = session.scratch_path(name)
        open(self.path, "w").close()
        self.env = {"LUMORA_FRAME_LOG": windows_path(self.path)}

    def lines(self):
        with open(self.path) as f:
            return f.read().splitlines()

    def frames(self):
        return sum(1 for line in self.lines() if line.startswith("frame"))

    def engine(self):
        """The preview's "engine scheme=S speed=N" line as {"scheme": S, "speed": N}, or None."""
        for line in self.lines():
            match = re.fullmatch(r"engine scheme=(\d+) speed=(\d+)", line)
            if match:
                return {"scheme": int(match.group(1)), "speed": int(match.group(2))}
        return None

    def close_tick(self):
        """T of the "close T" line, or None before the window has closed."""
        for line in self.lines():
            match = re.fullmatch(r"close (\d+)", line)
            if match:
                return int(match.group(1))
        return None

    def start(self):
        """The start line as {"pattern": int, "grid": "WxH", "window": "WxH"}, or None."""
        for line in self.lines():
            match = re.fullmatch(r"start pattern=(\d+) grid=(\d+x\d+) window=(\d+x\d+)", line)
            if match:
                return {"pattern": int(match.group(1)), "grid": match.group(2),
                        "window": match.group(3)}
        return None

    def monitors(self, after=None):
        """The monitors of the start (or of the last `after` line, e.g. "display change"), as
        [{"rect": (x, y, w, h), "primary": bool, "window": (x, y, w, h) or None}], in Windows
        virtual-screen coordinates; in a span each also has "source": (left, top, right,
        bottom), the part of the frame it shows, in grid points."""
        return self._monitors(self.after(after) if after else self.lines())

    def mode(self, after=None):
        """How the monitors are covered, from the start (or the last `after` line):
        {"name": "mirror"}, {"name": "primary-only"} or {"name": "span", "divisor": D,
        "grid": "WxH", "bounds": (x, y, w, h)}; None before the line is written."""
        for line in self.after(after) if after else self.lines():
            match = re.fullmatch(r"mode (mirror|primary-only)", line)
            if match:
                return {"name": match.group(1)}
            match = re.fullmatch(r"mode span divisor=(\d+) grid=(\d+x\d+) "
                                 r"bounds=(-?\d+),(-?\d+) (\d+)x(\d+)", line)
            if match:
                return {"name": "span", "divisor": int(match.group(1)), "grid": match.group(2),
                        "bounds": tuple(int(n) for n in match.groups()[2:])}
        return None

    def after(self, event):
        """The lines after the last line that starts with event (all lines when none does)."""
        lines = self.lines()
        marks = [i for i, line in enumerate(lines) if line.startswith(event)]
        return lines[marks[-1] + 1:] if marks else lines

    def count(self, event):
        return sum(1 for line in self.lines() if line.startswith(event))

    @staticmethod
    def _monitors(lines):
        found = []
        for line in lines:
            match = re.fullmatch(
                r"monitor (-?\d+),(-?\d+) (\d+)x(\d+) (primary|other) window "
                r"(?:(-?\d+),(-?\d+) (\d+)x(\d+)|none)"
                r"(?: source ([\d.]+),([\d.]+) ([\d.]+),([\d.]+))?", line)
            if not match:
                if found:
                    break
                continue
            numbers = match.groups()
            window = None if numbers[5] is None else tuple(int(n) for n in numbers[5:9])
            found.append({"rect": tuple(int(n) for n in numbers[:4]),
                          "primary": numbers[4] == "primary", "window": window})
            if numbers[9] is not None:
                found[-1]["source"] = tuple(float(n) for n in numbers[9:])
        return found

    def fading_in(self):
        """True while a start that fades in from the desktop has not ended its fade-in."""
        lines = self.lines()
        return "fade-in" in lines and not any(l.startswith("fade-in end") for l in lines)

    def wait_frames(self, more, timeout=20, proc=None, faded=True):
        """Waits until `more` frames beyond those drawn so far are drawn (and, unless faded is
        False, the fade-in from the desktop is over, so that the screen shows the field alone);
        False when that does not happen within timeout seconds or proc ends."""
        target = self.frames() + more
        deadline = time.monotonic() + timeout
        while self.frames() < target or (faded and self.fading_in()):
            if time.monotonic() > deadline or (proc is not None and proc.poll() is not None):
                return False
            time.sleep(0.02)
        return True


class MessageBoxTrace:
    """The texts of the message boxes a program shows, from Wine's own trace: pass `env` and
    `stderr_path` to Session.start."""
    env = {"WINEDEBUG": "-all,trace+msgbox"}

    def __init__(self, session, name="stderr.txt"):
        self.stderr_path = session.scratch_path(name)

    def texts(self):
        try:
            with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
                lines = f.read().splitlines()
        except FileNotFoundError:
            return []
        found = []
        for line in lines:
            match = re.search(r'MSGBOX_OnInit L"(.*)"$', line)
            if match:
                found.append(match.group(1).replace("\\\\", "\\"))
        return found


def reg_file(values, key=SETTINGS_KEY):
    """REGEDIT4 text that replaces key with exactly these values, {name: (kind, data)}: kind
    REG_DWORD (an int, negative ones as their 32-bit pattern), REG_SZ, REG_EXPAND_SZ (text),
    REG_BINARY (bytes). values None deletes the key; an empty dict leaves it empty."""
    root = key.replace("HKCU", "HKEY_CURRENT_USER", 1)
    lines = ["REGEDIT4", "", f"[-{root}]", ""]
    if values is not None:
        lines.append(f"[{root}]")
        for name, (kind, data) in values.items():
            if kind == "REG_DWORD":
                text = "dword:%08x" % (data & 0xFFFFFFFF)
            elif kind == "REG_SZ":
                text = '"' + data.replace("\\", "\\\\").replace('"', '\\"') + '"'
            elif kind == "REG_EXPAND_SZ":
                text = "hex(2):" + ",".join("%02x" % b for b in data.encode("latin-1") + b"\0")
            elif kind == "REG_BINARY":
                text = "hex:" + ",".join("%02x" % b for b in data)
            else:
                raise ValueError(kind)
            lines.append(f'"{name}"={text}')
    return "\n".join(lines) + "\n\n"


def windows_path(path):
    """The path under which a Wine program sees a Linux file (drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def cpu_seconds(pid):
    """User plus system CPU time used so far by a process (all its threads), in seconds."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # After the command name: state is field 3, utime 14 and stime 15 (1-based).
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def parse_reg_query(text):
    """Parses `wine reg query KEY` output (one key, no subkeys)."""
    values = {}
    for line in text.splitlines():
        match = re.match(r"^\s+(.*?)\s{4}(REG_[A-Z_]+)(?:\s{4}(.*))?$", line.rstrip("\r"))
        if not match:
            continue
        name, kind, data = match.group(1), match.group(2), match.group(3) or ""
        if kind == "REG_DWORD":
            data = int(data, 16)
        values[name] = (kind, data)
    return values


# --- image checks ---------------------------------------------------------------------
def image_stats(path, region=None):
    """(mean, standard deviation) of the image's intensities, 0..1; region is
    (x, y, width, height) or None for the whole image."""
    args = ["convert", path]
    if region:
        x, y, w, h = region
        args += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
    args += ["-format", "%[fx:mean] %[fx:standard_deviation]", "info:"]
    mean, std = _run(args, timeout=60).stdout.split()
    return float(mean), float(std)


def differing_pixels(path_a, path_b, region=None):
    """How many pixels differ between two images of the same size, or between the same region
    (x, y, width, height) of both."""
    if region:
        x, y, w, h = region
        path_a, path_b = (f"{path}[{w}x{h}+{x}+{y}]" for path in (path_a, path_b))
    result = _run(["compare", "-metric", "AE", path_a, path_b, "null:"], check=False, timeout=60)
    if result.returncode not in (0, 1):
        raise RuntimeError("compare failed: " + result.stderr.strip())
    return int(float(result.stderr.split()[0]))


def is_black(path):
    """True when no pixel of the image is brighter than black."""
    mean, std = image_stats(path)
    return mean == 0.0 and std == 0.0


# --- running a test file ----------------------------------------------------------------
class OutOfTime(Exception):
    pass


_out_of_time_now = False


def _out_of_time(signum, frame):
    global _out_of_time_now
    _out_of_time_now = True
    raise OutOfTime("the test ran out of its time budget")


def _terminated(signum, frame):
    raise SystemExit(128 + signum)


# The status of a test file that cannot run here.
SKIPPED = 77


def pe_machine(path):
    """The machine field of a Windows program's PE header (MACHINE_I386, 0x8664), or None."""
    try:
        with open(path, "rb") as f:
            header = f.read(4096)
        offset = int.from_bytes(header[0x3C:0x40], "little")
        if header[:2] != b"MZ" or header[offset:offset + 4] != b"PE\0\0":
            return None
        return int.from_bytes(header[offset + 4:offset + 6], "little")
    except OSError:
        return None


def skip_reason(program):
    """Why `program` cannot run on this machine (a 32-bit one where it runs none), or None."""
    if RUNS_32BIT or pe_machine(program) != MACHINE_I386:
        return None
    return (f"{os.path.basename(program)} is a 32-bit program, and this machine runs none: "
            + os.environ.get("LUMORA_32BIT_WHY", ""))


def main():
    """Runs the calling module's tests. Past the file's time budget (LUMORA_E2E_BUDGET seconds,
    set by CTest from tests/e2e/CMakeLists.txt; 900 when the file runs alone) the running test
    raises, so that its session still cleans up before CTest's own timeout."""
    skip = skip_reason(PRODUCT)
    if skip:
        # CTest reports the file as skipped (SKIP_RETURN_CODE, tests/e2e/CMakeLists.txt).
        print("skip: " + skip, flush=True)
        sys.exit(SKIPPED)
    signal.signal(signal.SIGALRM, _out_of_time)
    signal.signal(signal.SIGTERM, _terminated)
    signal.alarm(int(os.environ.get("LUMORA_E2E_BUDGET", "900")))
    unittest.main(module="__main__", verbosity=2)
