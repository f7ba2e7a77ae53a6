#!/usr/bin/env bash
# Configures and builds the trees: build/native, build/win32 (the product), build/win64, and
# build/asan (native, with AddressSanitizer and UndefinedBehaviorSanitizer; with clang also the
# fuzz targets).
#   LUMORA_FLAVOURS="native win32"   builds only those trees
#   LUMORA_TARGETS="lumora"          builds only those targets of each tree
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${LUMORA_JOBS:-$(nproc)}
declare -A toolchain=([native]="" [asan]="" [win32]="$top/cmake/mingw-i686.cmake" [win64]="$top/cmake/mingw-x86_64.cmake")
flavours=(${LUMORA_FLAVOURS:-native win32 win64 asan})
# Configure the trees not configured yet, side by side: configuring mostly waits on the
# compilers' checks.
pids=()
for flavour in "${flavours[@]}"; do
  dir=$top/build/$flavour
  [ -f "$dir/CMakeCache.txt" ] && continue
  args=(-S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release)
  [ -n "${toolchain[$flavour]}" ] && args+=(-DCMAKE_TOOLCHAIN_FILE="${toolchain[$flavour]}")
  if [ "$flavour" = asan ]; then
    args+=(-DLUMORA_SANITIZE=ON)
    # clang brings libFuzzer; without it the sanitizer build runs on the host compiler alone.
    command -v clang++ >/dev/null && args+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
  fi
  echo "build: configuring $flavour"
  mkdir -p "$dir"
  { cmake "${args[@]}" > "$dir/configure.log" 2>&1 ||
      { cat "$dir/configure.log" >&2; rm -f "$dir/CMakeCache.txt"; exit 1; }; } &
  pids+=($!)
done
for pid in "${pids[@]}"; do
  wait "$pid" || { echo "build: configuring failed" >&2; exit 1; }
done

# Build the trees under one make and its job slots, so that no core idles while one tree
# links its last programs.
echo "build: building ${flavours[*]}"
trees=$(mktemp)
trap 'rm -f "$trees"' EXIT
{
  echo ".PHONY: all ${flavours[*]}"
  echo "all: ${flavours[*]}"
  for flavour in "${flavours[@]}"; do
    printf '%s:\n\t+$(MAKE) -C %s --no-print-directory %s\n' \
      "$flavour" "'$top/build/$flavour'" "${LUMORA_TARGETS:-all}"
  done
} > "$trees"
# The grep only filters what is shown: the status checked is the build's.
if ! make -j "$jobs" -f "$trees" --no-print-directory | { grep -E 'error|warning|Error' || true; }; then
  echo "build: failed" >&2; exit 1
fi
# One CTest summary over all the trees.
printf 'subdirs("native" "win32" "win64" "asan")\n' > "$top/build/CTestTestfile.cmake"
