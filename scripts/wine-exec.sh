#!/usr/bin/env bash
# Runs a Windows test program under Wine in the unit tests' own prefix (a copy of the
# booted template), so that registry tests never touch the prefix the saver runs in.
#
# A program started just as the prefix's wineserver ends (it does a few seconds after its last
# client) dies before it runs with "wine client error:0: recvmsg: Connection reset by peer"
# and status 1. Such a start is tried again, up to three times; the server is also asked to
# stay 30 s after its last client, which makes that moment rare while tests follow each other.
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
# Exits at once when a server already runs for the prefix.
wineserver -p30 >/dev/null 2>&1 || true
# The program's errors go through a file, so that a failed start can be told from the program.
errors=$(mktemp)
trap 'cat "$errors" >&2; rm -f "$errors"' EXIT
for try in 1 2 3; do
  status=0
  wine "$@" 2>"$errors" || status=$?
  if [ "$status" -ne 1 ] || ! grep -q '^wine client error' "$errors" || [ "$try" -eq 3 ]; then
    exit "$status"
  fi
  echo "wine-exec: Wine's server went away as the program started; starting it again" >&2
  sleep 1
done
