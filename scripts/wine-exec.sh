#!/usr/bin/env bash
# Runs a Windows test program under Wine in the unit tests' own prefix (a copy of the
# booted template), so that registry tests never touch the prefix the saver runs in.
#
# Under load Wine sometimes fails to start a program, with status 1 and before the program
# runs: its client is refused as the prefix's wineserver ends (it does a few seconds after its
# last client): "wine client error:0: recvmsg: Connection reset by peer"; or the loader cannot
# map the program and hands it to the shell, which says "ShellExecuteEx failed". Such a start is
# tried again, up to three times; the server is also asked to stay 30 s after its last client.
#
# A 32-bit program on a machine that runs none (scripts/wine-env.sh) is not started: it prints
# why, on a line that begins "skip: ", and exits 77, which CTest reports as skipped
# (SKIP_RETURN_CODE, tests/CMakeLists.txt).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
LUMORA_WINE_QUIET=1 source "$here/wine-env.sh"  # (a skipped test says why itself)
# The PE header's machine field: 014c for i386, 8664 for x86-64.
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
  [ -n "$offset" ] && od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
if [ "$LUMORA_32BIT" != 1 ] && [ "$(pe_machine "$1")" = 014c ]; then
  echo "skip: $(basename "$1") is a 32-bit program, and this machine runs none: $LUMORA_32BIT_WHY"
  exit 77
fi
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
# can be told from the program's own status 1. The output reaches the copy through a named pipe
# that is the program's standard output and nothing else: any other descriptor would be
# inherited by the prefix's services (services.exe, rpcss.exe, ...), which outlive the program,
# and hold the caller's output open until they end.
work=$(mktemp -d)
errors=$work/errors output=$work/output
mkfifo "$work/pipe"
trap 'cat "$errors" >&2 2>/dev/null; rm -rf "$work"' EXIT
for try in 1 2 3; do
  status=0
  tee "$output" <"$work/pipe" &
  tee_pid=$!
  "$LUMORA_WINE" "$@" >"$work/pipe" 2>"$errors" || status=$?
  # The copy ends with the program's output (a moment later); it is not waited for beyond that.
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
