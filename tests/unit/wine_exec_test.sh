#!/usr/bin/env bash
# scripts/wine-exec.sh over a stand-in `wine`: a start that Wine's server refused is tried again,
# up to three times; any other result, and what the program printed, passes through unchanged.
# Where the machine runs no 32-bit programs a 32-bit program is not started but skipped (77).
#   wine_exec_test.sh WINE_EXEC
set -uo pipefail
wine_exec=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/wine/unit" && touch "$work/wine/unit/user.reg"
# The stand-in fails its first $REFUSE starts as Wine does (a refused client, then a program the
# loader handed to the shell, in turn), then prints and exits $STATUS.
cat >"$work/bin/wine" <<'WINE'
#!/usr/bin/env bash
n=$(($(cat "$CALLS" 2>/dev/null || echo 0) + 1)); echo $n >"$CALLS"
if [ "$n" -le "$REFUSE" ]; then
  if [ $((n % 2)) -eq 1 ]; then echo "wine client error:0: recvmsg: Connection reset by peer" >&2
  else printf 'Application could not be started.\r\nShellExecuteEx failed: Internal error.\r\n'; fi
  exit 1
fi
echo "out $*"; echo "err $*" >&2; exit "$STATUS"
WINE
printf '#!/bin/sh\nexit 0\n' >"$work/bin/wineserver"
chmod +x "$work/bin/wine" "$work/bin/wineserver"
failures=0
# case REFUSE STATUS: expected status, starts and the program's own output
check() {
  local refuse=$1 status=$2 want_status=$3 want_calls=$4
  rm -f "$work/calls"
  PATH=$work/bin:$PATH LUMORA_WINE_DIR=$work/wine CALLS=$work/calls REFUSE=$refuse STATUS=$status \
    LUMORA_32BIT=1 LUMORA_WINE=wine "$wine_exec" prog.exe a >"$work/out" 2>"$work/err"
  local got=$? calls; calls=$(cat "$work/calls")
  if [ "$got" -ne "$want_status" ] || [ "$calls" -ne "$want_calls" ]; then
    echo "FAIL: refused $refuse, status $status: exited $got after $calls starts (want $want_status, $want_calls)"
    failures=$((failures + 1))
  elif [ "$refuse" -lt 3 ] && { [ "$(grep -cx "out prog.exe a" "$work/out")" -ne 1 ] || ! grep -qx "err prog.exe a" "$work/err"; }; then
    echo "FAIL: refused $refuse, status $status: output $(cat "$work/out") / $(cat "$work/err")"
    failures=$((failures + 1))
  fi
}
check 0 0 0 1
check 0 2 2 1
check 0 1 1 1   # the program's own status 1 is not a refused start
check 1 0 0 2
check 2 5 5 3
check 3 0 1 3   # refused every time: given up after three

# A PE header's first bytes: the offset of "PE\0\0" at 60, then the machine (i386 or x86-64).
pe() { { printf 'MZ'; head -c 58 /dev/zero; printf '\100\000\000\000PE\000\000'; printf "$2"; } >"$1"; }
pe "$work/prog32.exe" '\114\001'
pe "$work/prog64.exe" '\144\206'
# skipped NAME RUNS_32BIT WANT_STATUS WANT_CALLS
skipped() {
  rm -f "$work/calls"
  PATH=$work/bin:$PATH LUMORA_WINE_DIR=$work/wine CALLS=$work/calls REFUSE=0 STATUS=0 \
    LUMORA_32BIT=$2 LUMORA_WINE=wine LUMORA_32BIT_WHY="the kernel says no" \
    "$wine_exec" "$work/$1" a >"$work/out" 2>"$work/err"
  local got=$? calls; calls=$(cat "$work/calls" 2>/dev/null || echo 0)
  if [ "$got" -ne "$3" ] || [ "$calls" -ne "$4" ]; then
    echo "FAIL: $1 with LUMORA_32BIT=$2: exited $got after $calls starts (want $3, $4)"
    failures=$((failures + 1))
  elif [ "$3" -eq 77 ] && ! grep -qx "skip: $1 is a 32-bit program, and this machine runs none: the kernel says no" "$work/out"; then
    echo "FAIL: $1 skipped without saying why: $(cat "$work/out")"
    failures=$((failures + 1))
  fi
}
skipped prog32.exe 0 77 0   # not started: CTest's skipped
skipped prog64.exe 0 0 1
skipped prog32.exe 1 0 1
[ $failures -eq 0 ] && echo "wine_exec_test: all checks passed"
exit $failures
