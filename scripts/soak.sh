#!/usr/bin/env bash
# Soak under Wine and Xvfb: the full-screen saver (default 10 minutes at 1920x1080), or with
# --settings the settings mode through rounds of "Save Image" (default 30 of them cancelled,
# then 10 saved); samples the process's private memory, GDI objects, windows, threads and file
# handles and fails when any grows after the warm-up. Needs the built trees (scripts/build.sh).
#   scripts/soak.sh [--seconds S] [--size WxH]
#   scripts/soak.sh --settings [--cancels N] [--saves N] [--size WxH]
# tests/e2e/test_soak.py runs short soaks of both with the other end-to-end tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# The build the machine runs: win32, or win64 where it runs no 32-bit programs (wine-env.sh).
source "$top/scripts/wine-env.sh"
win=$([ "$LUMORA_32BIT" = 1 ] && echo win32 || echo win64)
"$top/scripts/wine-prefix.sh" template "$top/build/wine/template"
export LUMORA_SCR=${LUMORA_SCR:-$top/build/$win/lumora.scr}
export LUMORA_SCRIPTS=$top/scripts LUMORA_WINE_TEMPLATE=$top/build/wine/template
export LUMORA_PROBE=${LUMORA_PROBE:-$top/build/$win/tests/e2e/window-probe.exe}
exec python3 -B "$top/tests/e2e/soak.py" "$@"
