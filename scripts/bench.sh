#!/usr/bin/env bash
# The engine's speed: lumora-render --bench natively and under Wine, at the grids of a 1920 x 1080
# screen (480x270) and of a 3840 x 2160 screen (960x540), and the "Save Image" still at 2000x1500
# (its field plus one frame), for every pattern.
#
#   scripts/bench.sh [--native DIR] [--win32 DIR] [--threads T] [--frames F] [--reference]
#                    [--no-still] [--no-wine]
#
# DIR are build trees holding lumora-render / lumora-render.exe (default build/native and
# build/win32, or build/win64 where the machine runs no 32-bit programs: scripts/wine-env.sh). --threads is passed on (default: the machine's count); --reference measures the
# straightforward one-thread engine instead. Prints the machine, the load before and after, and
# one table per run: pattern, field_ms, frame_ms (median of F frames). The still table adds
# field+frame. Figures, not pass/fail: the machine is shared, so read them with the load.
#
#   scripts/bench.sh --against [COMMIT] [OPTIONS]
#
# measures the saver and the engine side by side with an older build instead, in one run
# (scripts/bench-against.sh; see there for its options).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --against ]; then
  shift
  if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then set -- --commit "$@"; fi
  exec "$top/scripts/bench-against.sh" "$@"
fi
native_dir=$top/build/native
source "$top/scripts/wine-env.sh"
win32_dir=$top/build/$([ "$LUMORA_32BIT" = 1 ] && echo win32 || echo win64)
threads=
frames=21
reference=
still=1
wine=1
while [ $# -gt 0 ]; do
  case $1 in
    --native) native_dir=$2; shift 2 ;;
    --win32) win32_dir=$2; shift 2 ;;
    --threads) threads=$2; shift 2 ;;
    --frames) frames=$2; shift 2 ;;
    --reference) reference=1; shift ;;
    --no-still) still=; shift ;;
    --no-wine) wine=; shift ;;
    *) echo "usage: $0 [--native DIR] [--win32 DIR] [--threads T] [--frames F] [--reference] [--no-still] [--no-wine]" >&2
       exit 2 ;;
  esac
done

args=()
[ -n "$threads" ] && args+=(--threads "$threads")
[ -n "$reference" ] && args+=(--reference)
engine=$([ -n "$reference" ] && echo "straightforward, 1 thread" || echo "fast, ${threads:-$(nproc)} threads")

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), nproc $(nproc)"
echo "engine: $engine; frame_ms is the median of $frames frames"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"

run() {  # run LABEL PROGRAM ARGS...
  local label=$1; shift
  echo
  echo "== $label"
  "$@"
}

native=$native_dir/lumora-render
win32=$win32_dir/lumora-render.exe
win=$(basename "$win32_dir")
for size in 480x270 960x540; do
  [ -x "$native" ] && run "native $size" "$native" --bench --size "$size" --frames "$frames" "${args[@]}"
  if [ -n "$wine" ] && [ -f "$win32" ]; then
    run "$win under Wine $size" "$top/scripts/wine-exec.sh" "$win32" --bench --size "$size" \
      --frames "$frames" "${args[@]}" | tr -d '\r'
  fi
done

# The still: field and one frame at 2000x1500.
still_table() {
  awk 'NR == 1 { print "pattern field_ms frame_ms still_ms"; next }
       $1 ~ /^[0-9]+$/ { printf "%s %s %s %.1f\n", $1, $2, $3, $2 + $3; next }
       { print }'
}
if [ -n "$still" ]; then
  if [ -x "$native" ]; then
    printf '\n== native still 2000x1500\n'
    "$native" --bench --size 2000x1500 --frames 1 "${args[@]}" | still_table
  fi
  if [ -n "$wine" ] && [ -f "$win32" ]; then
    printf '\n== %s under Wine still 2000x1500\n' "$win"
    "$top/scripts/wine-exec.sh" "$win32" --bench --size 2000x1500 --frames 1 "${args[@]}" |
      tr -d '\r' | still_table
  fi
fi
echo
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
