#!/usr/bin/env bash
# Soak of the full-screen saver under Wine and Xvfb: runs it (default 10 minutes at 1920x1080)
# and samples its private memory, GDI objects, windows, threads and file handles; fails when any
# grows after the warm-up. Needs the built trees (scripts/build.sh) and the Wine template.
#   scripts/soak.sh [--seconds S] [--size WxH]
# tests/e2e/test_soak.py runs a one-minute soak with the other end-to-end tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/wine-prefix.sh" template "$top/build/wine/template"
export LUMORA_SCR=${LUMORA_SCR:-$top/build/win32/lumora.scr}
export LUMORA_SCRIPTS=$top/scripts LUMORA_WINE_TEMPLATE=$top/build/wine/template
exec python3 -B "$top/tests/e2e/soak.py" "$@"
