#!/usr/bin/env bash
# Runs the libFuzzer targets of the sanitizer tree, each for a bounded time, and prints what each
# did: runs, coverage (edges and features) and corpus size. A crash, a sanitizer finding, a hang
# or a failed check fails the run and keeps the reproducer (its path is printed); re-run it with
# `build/asan/fuzz/NAME_fuzz FILE`.
#   scripts/fuzz.sh [--seconds S] [--bin DIR] [NAME...]   (default 60 s each; every target)
# Each target starts from its seeds in tests/fuzz/corpus/NAME and from what earlier runs found
# (build/fuzz/NAME/corpus); reproducers land in build/fuzz/NAME/.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
bin=$top/build/asan/fuzz
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ $# -eq 0 ]; then
  set -- $(cd "$bin" 2>/dev/null && ls -- *_fuzz | sed 's/_fuzz$//')
  [ $# -gt 0 ] || { echo "fuzz: no fuzz targets in $bin (build the asan tree with clang)" >&2; exit 1; }
fi
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
failed=0
for name in "$@"; do
  target=$bin/${name}_fuzz
  work=$top/build/fuzz/$name
  seeds=$top/tests/fuzz/corpus/$name
  mkdir -p "$work/corpus"
  [ -x "$target" ] || { echo "fuzz: $name: no target at $target" >&2; failed=1; continue; }
  touch "$work/started"
  rm -f "$work/summary.txt"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$work/" "$work/corpus" "$seeds" >"$work/log.txt" 2>&1
  status=$?
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/log.txt" | tail -1)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log.txt" | tail -1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
  corp=$(sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p' <<<"$done_line")
  if [ $status -eq 0 ]; then
    echo "fuzz: $name: ${runs:-?} runs in ${seconds} s, coverage ${cov:-?} edges, ${ft:-?} features, corpus ${corp:-?}: ok" |
      tee "$work/summary.txt"
  else
    failed=1
    echo "fuzz: $name: FAILED (status $status) after ${runs:-?} runs" | tee "$work/summary.txt"
    grep -E 'ERROR|SUMMARY|check failed|runtime error|deadly signal|timeout' "$work/log.txt" | head -20
    find "$work" -maxdepth 1 -newer "$work/started" -regex '.*/\(crash\|leak\|timeout\|oom\|slow-unit\)-.*' |
      sed 's|^|fuzz: reproducer kept: |'
  fi
done
exit $failed
