#!/usr/bin/env bash
# Sets up the machine, builds the trees and the release packages (dist/) and runs every test
# (native and Windows unit tests, end-to-end tests under Wine and Xvfb, the sanitizer build's
# tests and 30 s of each fuzz target) in one CTest run. Exits non-zero on any failure.
#   scripts/test.sh [CTEST ARGS...]     e.g. scripts/test.sh -R mode_test
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
# Whether this machine runs 32-bit programs, decided once for everything below (setup.sh has
# said it where it does not): Wine's command, and what the tests skip.
LUMORA_WINE_QUIET=1 source "$top/scripts/wine-env.sh"
# The booted Wine template of the end-to-end tests, made while the trees build (Wine waits on
# itself more than on the processor).
mkdir -p "$top/build"
"$top/scripts/wine-prefix.sh" template "$top/build/wine/template" > "$top/build/wine-template.log" 2>&1 &
template=$!
bash "$top/scripts/build.sh"
# The release packages, which the installer test installs.
bash "$top/scripts/package.sh"
wait "$template" || { cat "$top/build/wine-template.log" >&2; exit 1; }
cd "$top/build"
rm -f fuzz/*/summary.txt
# The end-to-end tests spend most of their time waiting on Wine and Xvfb (three at a time kept
# two cores half busy): four at a time, the longest first (their COST is their budget).
ctest --output-on-failure -j "${LUMORA_TEST_JOBS:-4}" "$@" 2>&1 | tee ctest.log
status=${PIPESTATUS[0]}
# What each fuzz target did in this run (runs, coverage), also when it passed, and why tests
# were skipped (their "skip: " line, which CTest does not show); then CTest's verdict again,
# so that it stays the last word.
again=
if ls fuzz/*/summary.txt >/dev/null 2>&1; then
  cat fuzz/*/summary.txt
  again=1
fi
# ("skip: mode_test.exe is a 32-bit program, and ...": grouped by what follows the program.)
skipped=$(awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 }
               /^skip: / { reason = substr($0, 7); sub(/^[^ ]+ is an? /, "", reason)
                           names[reason] = names[reason] " " name }
               END { for (r in names) print "skipped, each a " r ":" names[r] }' \
            Testing/Temporary/LastTest.log 2>/dev/null | fold -s -w 100 || true)
if [ -n "$skipped" ]; then
  echo "$skipped"
  again=1
fi
[ -z "$again" ] || sed -n '/tests passed, /,$p' ctest.log
exit "$status"
