#!/usr/bin/env bash
# Runs a Windows test program under Wine in the unit tests' own prefix (a copy of the
# booted template), so that registry tests never touch the prefix the saver runs in.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine_dir=${LUMORA_WINE_DIR:-$here/../build/wine}
unit=$wine_dir/unit
mkdir -p "$wine_dir"
if [ ! -f "$unit/user.reg" ]; then
  (
    exec 8>"$wine_dir/unit.lock"
    flock 8
    [ -f "$unit/user.reg" ] || "$here/wine-prefix.sh" clone "$wine_dir/template" "$unit"
  )
fi
export WINEPREFIX=$unit WINEDEBUG=-all
exec wine "$@"
