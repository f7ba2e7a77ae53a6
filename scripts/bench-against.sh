#!/usr/bin/env bash
# The saver's cost against an older build, in one run on this machine: every figure is a ratio
# between two builds measured side by side under the same load.
#
#   scripts/bench-against.sh [--commit C] [--seconds S] [--patterns "P ..."] [--sizes "WxH ..."]
#                            [--no-saver] [--no-render]
#
# Builds commit C (default: the last one before the stretch and the frame were reworked for
# energy) from `git archive` into build/against/C (win32 lumora.scr and native lumora-render; kept
# for the next run), then:
#   - render: lumora-render --bench of both builds at the grids of 1920x1080 and 3840x2160
#     (480x270, 960x540): the median frame in ms, one frame per pattern side by side;
#   - saver: scripts/fps.sh of both builds for every pattern and size (default all 25 at
#     1920x1080 and 3840x2160, S seconds each, default 5), old and new taking turns so that a
#     change of load hits both: frames/s, the saver's CPU share of one core, and the CPU time per
#     frame drawn (ms), which does not depend on how many frames the load let it draw.
# Ends with the median and worst of each column per size. The load average is printed before and
# after: on a busy machine read the ratios, not the absolute figures. Run scripts/build.sh first.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
commit=7dc8df8a40dce2484c4ecbeea614e465c13b218f
seconds=5
patterns=$(seq 1 25)
sizes="1920x1080 3840x2160"
saver=1
render=1
while [ $# -gt 0 ]; do
  case $1 in
    --commit) commit=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --patterns) patterns=$2; shift 2 ;;
    --sizes) sizes=$2; shift 2 ;;
    --no-saver) saver=; shift ;;
    --no-render) render=; shift ;;
    *) sed -n '5,6p' "$0" >&2; exit 2 ;;
  esac
done
commit=$(git -C "$top" rev-parse --verify "$commit^{commit}")
old=$top/build/against/${commit:0:12}
new_scr=$top/build/win32/lumora.scr
new_render=$top/build/native/lumora-render
[ -f "$new_scr" ] && [ -x "$new_render" ] || { echo "bench-against: run scripts/build.sh first" >&2; exit 1; }

if [ ! -f "$old/win32/lumora.scr" ] || [ ! -x "$old/native/lumora-render" ]; then
  echo "bench-against: building ${commit:0:12} in $old"
  rm -rf "$old/src" && mkdir -p "$old/src"
  git -C "$top" archive "$commit" | tar -x -C "$old/src"
  cmake -S "$old/src" -B "$old/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$old/native" -j "$(nproc)" --target lumora-render >/dev/null
  cmake -S "$old/src" -B "$old/win32" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$old/src/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$old/win32" -j "$(nproc)" --target lumora >/dev/null
fi

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), nproc $(nproc)"
echo "old: ${commit:0:12} $(git -C "$top" log -1 --format=%s "$commit" | cut -c1-70)"
echo "new: $(git -C "$top" rev-parse --short=12 HEAD)$(git -C "$top" diff --quiet HEAD -- engine shell platform || echo ' (with uncommitted changes)')"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"

if [ -n "$render" ]; then
  # bench RENDER GRID OUT: the bench's table into OUT; prints the CPU seconds the run used.
  bench() {
    local TIMEFORMAT='%U %S'
    { time "$1" --bench --size "$2" --frames 11 >"$3" 2>/dev/null; } 2>&1 |
      awk '{ printf "%.2f", $1 + $2 }'
  }
  tables=$(mktemp -d)
  for grid in 480x270 960x540; do
    # Old, new, old, new: a change of load between the runs shows as a spread.
    cpu_old1=$(bench "$old/native/lumora-render" "$grid" "$tables/old")
    cpu_new1=$(bench "$new_render" "$grid" "$tables/new")
    cpu_old2=$(bench "$old/native/lumora-render" "$grid" "$tables/old2")
    cpu_new2=$(bench "$new_render" "$grid" "$tables/new2")
    echo
    echo "== render, lumora-render --bench --size $grid: CPU of the whole run (25 patterns)"
    awk -v a="$cpu_old1" -v b="$cpu_old2" -v c="$cpu_new1" -v d="$cpu_new2" \
      'BEGIN { printf "old %s s, %s s; new %s s, %s s; new/old %.2f\n", a, b, c, d, (c + d) / (a + b) }'
    echo "pattern old_ms new_ms new/old (median frame, wall clock: read with the load)"
    # the pattern lines only (a newer bench adds its path and fallback share after them)
    paste -d' ' <(grep -E '^[0-9]+ ' "$tables/old") <(grep -E '^[0-9]+ ' "$tables/new") |
      awk '{ printf "%s %.2f %.2f %.2f\n", $1, $3, $6, $6 / $3 }'
    grep -E '^(path|fallbacks) ' "$tables/new" | sed 's/^/new: /' || true
  done
  rm -rf "$tables"
fi

if [ -n "$saver" ]; then
  echo
  echo "== saver, scripts/fps.sh --seconds $seconds, old and new in turn"
  echo "size pattern old_fps new_fps old_cpu% new_cpu% old_ms/frame new_ms/frame new/old"
  results=$(mktemp)
  trap 'rm -f "$results"' EXIT
  # fps.sh prints: "SIZE: F frames/s (N frames in T s); saver CPU C s (P% of one core), ..."
  measure() {  # measure SCR SIZE PATTERN -> "fps cpu% ms_per_frame"
    LUMORA_SCR=$1 "$top/scripts/fps.sh" --seconds "$seconds" --pattern "$3" "$2" 2>/dev/null |
      sed -n 's/^[^:]*: \([0-9.]*\) frames\/s (\([0-9]*\) frames.*saver CPU \([0-9.]*\) s (\([0-9]*\)%.*/\1 \4 \2 \3/p' |
      awk '{ printf "%s %s %.1f\n", $1, $2, ($3 > 0 ? 1000 * $4 / $3 : 0) }'
  }
  for size in $sizes; do
    for p in $patterns; do
      o=$(measure "$old/win32/lumora.scr" "$size" "$p"); n=$(measure "$new_scr" "$size" "$p")
      read -r ofps ocpu oms <<<"${o:-0 0 0}"; read -r nfps ncpu nms <<<"${n:-0 0 0}"
      line=$(awk -v s="$size" -v p="$p" -v a="$ofps" -v b="$nfps" -v c="$ocpu" -v d="$ncpu" \
               -v e="$oms" -v f="$nms" 'BEGIN { printf "%s %s %s %s %s %s %s %s %.2f\n",
               s, p, a, b, c, d, e, f, (e > 0 ? f / e : 0) }')
      echo "$line" | tee -a "$results"
    done
  done
  echo
  echo "size median/worst: old_fps new_fps old_cpu% new_cpu% old_ms/frame new_ms/frame"
  for size in $sizes; do
    awk -v s="$size" '$1 == s' "$results" | python3 -c '
import statistics, sys
rows = [line.split() for line in sys.stdin if line.strip()]
def col(i): return [float(r[i]) for r in rows]
med = [statistics.median(col(i)) for i in range(2, 8)]
worst = [min(col(2)), min(col(3)), max(col(4)), max(col(5)), max(col(6)), max(col(7))]
print(sys.argv[1], "median", " ".join(f"{v:g}" for v in med))
print(sys.argv[1], "worst ", " ".join(f"{v:g}" for v in worst))' "$size"
  done
fi
echo
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
