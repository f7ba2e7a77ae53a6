#!/usr/bin/env bash
# Configures and builds the three trees: build/native, build/win32 (the product) and build/win64.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${LUMORA_JOBS:-$(nproc)}
declare -A toolchain=([native]="" [win32]="$top/cmake/mingw-i686.cmake" [win64]="$top/cmake/mingw-x86_64.cmake")
for flavour in native win32 win64; do
  dir=$top/build/$flavour
  args=(-S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release)
  [ -n "${toolchain[$flavour]}" ] && args+=(-DCMAKE_TOOLCHAIN_FILE="${toolchain[$flavour]}")
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    echo "build: configuring $flavour"
    cmake "${args[@]}" >/dev/null
  fi
  echo "build: building $flavour"
  # The grep only filters what is shown: the status checked is the build's.
  if ! cmake --build "$dir" -j "$jobs" -- --no-print-directory |
       { grep -E 'error|warning|Error' || true; }; then
    echo "build: $flavour failed" >&2; exit 1
  fi
done
# One CTest summary over all three trees.
printf 'subdirs("native" "win32" "win64")\n' > "$top/build/CTestTestfile.cmake"
