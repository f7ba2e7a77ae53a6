#!/usr/bin/env bash
# Runs a Windows test program under Wine in the unit tests' own prefix (a copy of the
# booted template), so that registry tests never touch the prefix the saver runs in.
#
# Under load Wine sometimes fails to start a program, with status 1 and before the program
# runs: its client is refused as the prefix's wineserver ends (it does a few seconds after its
# last client): "wine client error:0: recvmsg: Connection reset by peer"; or the loader cannot
# map the program and hands it to the shell, which says "ShellExecuteEx failed". Such a start is
# tried again, up to three times; the server is also asked to stay 30 s after its last client.
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
# The program's errors go through a file and its output also into one, so that a failed start
# can be told from the program's own status 1.
errors=$(mktemp)
output=$(mktemp)
trap 'cat "$errors" >&2; rm -f "$errors" "$output"' EXIT
for try in 1 2 3; do
  status=0
  exec 3> >(tee "$output")
  tee_pid=$!
  wine "$@" >&3 2>"$errors" || status=$?
  exec 3>&-
  # The copy ends with the program's output, unless a process it started keeps it open.
  for _ in $(seq 40); do kill -0 "$tee_pid" 2>/dev/null || break; sleep 0.05; done
  refused=
  [ "$status" -eq 1 ] && { grep -q '^wine client error' "$errors" || grep -q '^ShellExecuteEx failed' "$output"; } &&
    refused=1
  if [ -z "$refused" ] || [ "$try" -eq 3 ]; then
    exit "$status"
  fi
  echo "wine-exec: Wine did not start the program (try $try); starting it again" >&2
  sleep 1
done
