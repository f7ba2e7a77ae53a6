#!/usr/bin/env bash
# The saver's cost against an older build, in one run on this machine: every figure is a ratio
# between two builds measured side by side under the same load.
#
#   scripts/bench-against.sh [--commit C] [--seconds S] [--patterns "P ..."] [--sizes "WxH ..."]
#                            [--no-saver] [--no-render]
#
# Builds commit C (default: the last one before the stretch and the frame were reworked for
# energy) from `git archive` into build/against/C (win32 lumora.scr and lumora-render.exe, native
# lumora-render; kept for the next run), then:
#   - render: lumora-render --bench of both builds at the grids of 1920x1080 and 3840x2160
#     (480x270, 960x540), natively and (with --wine) the win32 build under Wine, on T threads
#     (default 1). Old and new take turns R times (default 5) per grid and build; each pattern's
#     figure is the least of its R medians (of F frames, default 11), which a burst of load on
#     the shared machine can only raise, so the ratio of the two least figures is the
#     comparison that load disturbs least. Ends with the 25 patterns together (the sum of the
#     least figures) and the worst pattern's ratio;
#   - saver: scripts/fps.sh of both builds for every pattern and size (default all 25 at
#     1920x1080 and 3840x2160, S seconds each, default 5), old and new taking turns so that a
#     change of load hits both: frames/s, the saver's CPU share of one core, and the CPU time per
#     frame drawn (ms), which does not depend on how many frames the load let it draw.
# Ends with the median and worst of each column per size. The load average is printed before and
# after: on a busy machine read the ratios, not the absolute figures. Run scripts/build.sh first.
#
#   options: [--rounds R] [--threads T] [--frames F] [--wine] [--grids "WxH ..."]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
commit=7dc8df8a40dce2484c4ecbeea614e465c13b218f
seconds=5
patterns=$(seq 1 25)
sizes="1920x1080 3840x2160"
saver=1
render=1
rounds=5
threads=1
frames=11
wine=
grids="480x270 960x540"
while [ $# -gt 0 ]; do
  case $1 in
    --commit) commit=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --patterns) patterns=$2; shift 2 ;;
    --sizes) sizes=$2; shift 2 ;;
    --no-saver) saver=; shift ;;
    --no-render) render=; shift ;;
    --rounds) rounds=$2; shift 2 ;;
    --threads) threads=$2; shift 2 ;;
    --frames) frames=$2; shift 2 ;;
    --wine) wine=1; shift ;;
    --grids) grids=$2; shift 2 ;;
    *) sed -n '5,6p;24p' "$0" >&2; exit 2 ;;
  esac
done
commit=$(git -C "$top" rev-parse --verify "$commit^{commit}")
old=$top/build/against/${commit:0:12}
# The Windows build the machine runs (scripts/wine-env.sh): win32, or win64 where it runs no
# 32-bit programs.
source "$top/scripts/wine-env.sh"
win=win32 toolchain=mingw-i686.cmake
[ "$LUMORA_32BIT" = 1 ] || { win=win64; toolchain=mingw-x86_64.cmake; }
new_scr=$top/build/$win/lumora.scr
new_render=$top/build/native/lumora-render
new_render_win32=$top/build/$win/lumora-render.exe
[ -f "$new_scr" ] && [ -x "$new_render" ] || { echo "bench-against: run scripts/build.sh first" >&2; exit 1; }

if [ ! -f "$old/$win/lumora.scr" ] || [ ! -f "$old/$win/lumora-render.exe" ] ||
   [ ! -x "$old/native/lumora-render" ]; then
  echo "bench-against: building ${commit:0:12} in $old"
  rm -rf "$old/src" && mkdir -p "$old/src"
  git -C "$top" archive "$commit" | tar -x -C "$old/src"
  cmake -S "$old/src" -B "$old/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$old/native" -j "$(nproc)" --target lumora-render >/dev/null
  cmake -S "$old/src" -B "$old/$win" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$old/src/cmake/$toolchain" >/dev/null
  cmake --build "$old/$win" -j "$(nproc)" --target lumora lumora-render >/dev/null
fi

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), nproc $(nproc)"
echo "old: ${commit:0:12} $(git -C "$top" log -1 --format=%s "$commit" | cut -c1-70)"
echo "new: $(git -C "$top" rev-parse --short=12 HEAD)$(git -C "$top" diff --quiet HEAD -- engine shell platform || echo ' (with uncommitted changes)')"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"

if [ -n "$render" ]; then
  tables=$(mktemp -d)
  # bench NAME PROGRAM... : one --bench run of PROGRAM into $tables/NAME.ROUND (pattern lines).
  bench() {
    local name=$1; shift
    "$@" --bench --size "$grid" --frames "$frames" --threads "$threads" 2>/dev/null | tr -d '\r' |
      grep -E '^([0-9]+ |path |fallbacks )' >"$tables/$name.$round"
  }
  builds="native"
  [ -n "$wine" ] && builds="native $win"
  for grid in $grids; do
    for round in $(seq 1 "$rounds"); do
      for build in $builds; do
        if [ "$build" = native ]; then
          bench "$build.old" "$old/native/lumora-render"
          bench "$build.new" "$new_render"
        else
          bench "$build.old" "$top/scripts/wine-exec.sh" "$old/$win/lumora-render.exe"
          bench "$build.new" "$top/scripts/wine-exec.sh" "$new_render_win32"
        fi
      done
    done
    for build in $builds; do
      echo
      echo "== render, $build, lumora-render --bench --size $grid --threads $threads --frames $frames:" \
           "the least of $rounds medians (ms), old and new in turn"
      echo "pattern old_ms new_ms new/old"
      cat "$tables/$build.old".* | awk '$1 ~ /^[0-9]+$/ { k = $1; if (!(k in m) || $3 < m[k]) m[k] = $3 }
        END { for (k = 1; k <= 25; ++k) print k, m[k] }' >"$tables/old.min"
      cat "$tables/$build.new".* | awk '$1 ~ /^[0-9]+$/ { k = $1; if (!(k in m) || $3 < m[k]) m[k] = $3 }
        END { for (k = 1; k <= 25; ++k) print k, m[k] }' >"$tables/new.min"
      paste -d' ' "$tables/old.min" "$tables/new.min" | awk '
        { r = $4 / $2; printf "%s %.2f %.2f %.2f\n", $1, $2, $4, r; so += $2; sn += $4
          if (r > worst) { worst = r; wp = $1 } }
        END { printf "all %.1f %.1f %.3f\nworst pattern %s: %.2f\n", so, sn, sn / so, wp, worst }'
      grep -hE '^(path|fallbacks) ' "$tables/$build.new.1" | sed 's/^/new: /' || true
    done
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
      o=$(measure "$old/$win/lumora.scr" "$size" "$p"); n=$(measure "$new_scr" "$size" "$p")
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
