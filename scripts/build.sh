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
for flavour in ${LUMORA_FLAVOURS:-native win32 win64 asan}; do
  dir=$top/build/$flavour
  args=(-S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release)
  [ -n "${toolchain[$flavour]}" ] && args+=(-DCMAKE_TOOLCHAIN_FILE="${toolchain[$flavour]}")
  if [ "$flavour" = asan ]; then
    args+=(-DLUMORA_SANITIZE=ON)
    # clang brings libFuzzer; without it the sanitizer build runs on the host compiler alone.
    command -v clang++ >/dev/null && args+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
  fi
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    echo "build: configuring $flavour"
    cmake "${args[@]}" >/dev/null
  fi
  echo "build: building $flavour"
  # The grep only filters what is shown: the status checked is the build's.
  if ! cmake --build "$dir" -j "$jobs" ${LUMORA_TARGETS:+--target $LUMORA_TARGETS} -- --no-print-directory |
       { grep -E 'error|warning|Error' || true; }; then
    echo "build: $flavour failed" >&2; exit 1
  fi
done
# One CTest summary over all the trees.
printf 'subdirs("native" "win32" "win64" "asan")\n' > "$top/build/CTestTestfile.cmake"
