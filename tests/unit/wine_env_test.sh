#!/usr/bin/env bash
# scripts/wine-env.sh over stand-in Wine loaders: where the 32-bit loader runs, nothing changes
# (Debian's `wine`, no notice); where the kernel refuses it, it is missing, or LUMORA_NO_32BIT=1
# says so, Wine starts through the 64-bit loader, prefixes boot 64-bit, and one notice says why;
# the decision is made once and inherited; `--print` gives it to programs not in bash.
#   wine_env_test.sh WINE_ENV
set -uo pipefail
wine_env=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Loaders that count their starts: one that runs, one the kernel refuses (as bash reports it).
printf '#!/bin/sh\necho x >>"%s/starts"\necho wine-8.0\n' "$work" >"$work/wine32-runs"
printf '#!/bin/sh\necho x >>"%s/starts"\necho "%s/wine32: cannot execute binary file: Exec format error" >&2\nexit 126\n' \
  "$work" "$work" >"$work/wine32-refused"
printf '#!/bin/sh\nexit 0\n' >"$work/wine64"
chmod +x "$work"/wine*
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# decide WINE32 [NAME=VALUE...]: sources wine-env.sh in a clean environment with that 32-bit
# loader, then a script it starts sources it again; prints what the second one sees.
decide() {
  local wine32=$1; shift
  rm -f "$work/starts"
  env -i PATH="$PATH" LUMORA_WINE32_LOADER="$wine32" LUMORA_WINE64_LOADER="$work/wine64" "$@" \
    bash -c 'source "$1" || exit $?; bash -c "source \"$1\"; for n in LUMORA_32BIT LUMORA_WINE WINELOADER WINEARCH; do echo \$n=\${!n:-}; done"' \
    _ "$wine_env" >"$work/out" 2>"$work/err"
}
# expect WHAT LINE...: every LINE is in the output of the last decide
expect() {
  local what=$1 line; shift
  for line in "$@"; do grep -qxF -- "$line" "$work/out" || fail "$what: no '$line' in: $(cat "$work/out")"; done
}
notices() { grep -c '^wine-env: this machine runs no 32-bit programs' "$work/err"; }
starts() { [ -f "$work/starts" ] && wc -l <"$work/starts" || echo 0; }

decide "$work/wine32-runs"
expect "runs 32-bit" LUMORA_32BIT=1 LUMORA_WINE=wine WINELOADER= WINEARCH=
[ "$(notices)" -eq 0 ] || fail "runs 32-bit: a notice: $(cat "$work/err")"
[ "$(starts)" -eq 1 ] || fail "runs 32-bit: the loader was tried $(starts) times, not once"

decide "$work/wine32-refused"
expect "refused" LUMORA_32BIT=0 "LUMORA_WINE=$work/wine64" "WINELOADER=$work/wine64" WINEARCH=win64
[ "$(notices)" -eq 1 ] || fail "refused: $(notices) notices, not 1: $(cat "$work/err")"
grep -q 'Exec format error' "$work/err" || fail "refused: the notice does not give the cause: $(cat "$work/err")"
[ "$(starts)" -eq 2 ] || fail "refused: the loader was tried $(starts) times (once, and once for its message)"

decide "$work/no-such-loader"
expect "missing" LUMORA_32BIT=0 "LUMORA_WINE=$work/wine64" WINEARCH=win64
grep -q "no-such-loader is not installed" "$work/err" || fail "missing: no cause: $(cat "$work/err")"

decide "$work/wine32-runs" LUMORA_NO_32BIT=1
expect "LUMORA_NO_32BIT=1" LUMORA_32BIT=0 "LUMORA_WINE=$work/wine64" "WINELOADER=$work/wine64" WINEARCH=win64
[ "$(notices)" -eq 1 ] && grep -q 'LUMORA_NO_32BIT=1' "$work/err" ||
  fail "LUMORA_NO_32BIT=1: the notice does not say so: $(cat "$work/err")"
[ "$(starts)" -eq 0 ] || fail "LUMORA_NO_32BIT=1: the 32-bit loader was started"

decide "$work/wine32-refused" LUMORA_WINE_QUIET=1
[ "$(notices)" -eq 0 ] || fail "LUMORA_WINE_QUIET=1: a notice"

# Without a 64-bit loader there is nothing to run: a status and a message that names it.
rm "$work/wine64"
decide "$work/wine32-refused"
status=$?
[ "$status" -ne 0 ] && grep -q "wine64 is not installed" "$work/err" ||
  fail "no loader at all: status $status, message: $(cat "$work/err")"
printf '#!/bin/sh\nexit 0\n' >"$work/wine64" && chmod +x "$work/wine64"

# --print, for the end-to-end harness.
env -i PATH="$PATH" LUMORA_WINE32_LOADER="$work/wine32-refused" LUMORA_WINE64_LOADER="$work/wine64" \
  LUMORA_WINE_QUIET=1 bash "$wine_env" --print >"$work/out" 2>"$work/err"
expect "--print" LUMORA_32BIT=0 "LUMORA_WINE=$work/wine64" "WINELOADER=$work/wine64" WINEARCH=win64
grep -q "^LUMORA_32BIT_WHY=.*Exec format error" "$work/out" || fail "--print: no reason: $(cat "$work/out")"

[ $failures -eq 0 ] && echo "wine_env_test: all checks passed"
exit $failures
