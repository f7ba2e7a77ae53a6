#!/usr/bin/env bash
# Sets up the machine, builds Lumora and runs the saver under Wine.
#   scripts/run.sh [ARGS...]        ARGS go to lumora.scr; default /s (full screen)
# On a desktop ($DISPLAY set) the saver runs on that display until a key or a jerk of the
# mouse ends it. Without a display it runs for a few seconds on a private virtual display
# (Xvfb, LUMORA_RUN_SIZE, default 1920x1080), saves a screenshot to build/run-screenshot.png
# and ends everything it started.
# The saver keeps its settings in its own Wine prefix, build/wine/run, made once from the
# booted template and kept, so that settings persist from one run to the next.
# It runs the win32 build, or the win64 one where the machine runs no 32-bit programs
# (scripts/wine-env.sh, which setup.sh has already had say so).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
LUMORA_WINE_QUIET=1 source "$top/scripts/wine-env.sh"
win=$([ "$LUMORA_32BIT" = 1 ] && echo win32 || echo win64)
# Only what runs here: the program of that tree.
LUMORA_FLAVOURS=$win LUMORA_TARGETS=lumora bash "$top/scripts/build.sh"

scr=$top/build/$win/lumora.scr
template=$top/build/wine/template
prefix=$top/build/wine/run
"$top/scripts/wine-prefix.sh" template "$template"
(
  exec 8>"$prefix.lock"
  flock 8
  [ -f "$prefix/user.reg" ] || "$top/scripts/wine-prefix.sh" clone "$template" "$prefix"
)
export WINEPREFIX=$prefix WINEDEBUG=-all
[ $# -gt 0 ] || set -- /s

if [ -n "${DISPLAY:-}" ]; then
  echo "run: $win lumora.scr $* on display $DISPLAY"
  exec "$LUMORA_WINE" "$scr" "$@"
fi

# No display: a private one, a few seconds of the saver, a screenshot.
size=${LUMORA_RUN_SIZE:-1920x1080}
seconds=${LUMORA_RUN_SECONDS:-5}
shot=$top/build/run-screenshot.png
scratch=$(mktemp -d)
xvfb="" saver=""
cleanup() {
  if [ -n "$saver" ] && kill -0 "$saver" 2>/dev/null; then kill -9 "$saver" 2>/dev/null || true; fi
  if [ -n "$saver" ]; then
    # The saver's prefix goes idle on its own; end what is left of it if it does not.
    timeout 15 wineserver -w || wineserver -k || true
  fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -br 3>"$scratch/display" \
  >/dev/null 2>&1 </dev/null &
xvfb=$!
for _ in $(seq 100); do
  grep -q '^[0-9]' "$scratch/display" && break
  kill -0 "$xvfb" 2>/dev/null || { echo "run: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
export DISPLAY=:$(head -n 1 "$scratch/display")
echo "run: no display; $win lumora.scr $* for $seconds s on a private $size display ($DISPLAY)"

"$LUMORA_WINE" "$scr" "$@" </dev/null &
saver=$!
sleep "$seconds"
if ! kill -0 "$saver" 2>/dev/null; then
  wait "$saver" && status=0 || status=$?
  echo "run: lumora.scr ended by itself (status $status) before the screenshot"
fi
import -window root "$shot"
# End the saver as a user would: a key press (a second one if the first only closed a message).
for _ in 1 2; do
  kill -0 "$saver" 2>/dev/null || break
  xdotool key Escape || true
  for _ in $(seq 50); do kill -0 "$saver" 2>/dev/null || break; sleep 0.1; done
done
echo "run: screenshot saved to $shot"
