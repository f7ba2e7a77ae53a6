#!/usr/bin/env bash
# The tree's C and C++ in the repository's own format: every file git tracks is as clang-format
# (with .clang-format) writes it, and no line is over 100 columns.
#   format_check.sh [TOP]      (TOP: the repository, default the one this file is in)
#   format_check.sh --self-test   also shows that a file put out of format fails
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=${1:-$here/..}
if [ "${1:-}" = --self-test ]; then top=$here/..; fi
cd "$top" || exit 1
command -v clang-format >/dev/null || { echo "format_check: no clang-format (scripts/setup.sh installs it)"; exit 1; }

check() {  # files...: prints what is out of format; non-zero when anything is
  local failed=0 out
  out=$(clang-format --dry-run --Werror "$@" 2>&1) || failed=1
  [ -z "$out" ] || echo "$out" | grep -E '^[^ ].*(warning|error):' | cut -d: -f1,2 | sort -u | head -20
  if awk 'length > 100 { print FILENAME ":" FNR ": " length " columns"; found = 1 } END { exit !found }' "$@"; then
    failed=1
  fi
  return $failed
}

mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.c')
[ ${#files[@]} -gt 0 ] || { echo "format_check: no files found under $top"; exit 1; }

if [ "${1:-}" = --self-test ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp .clang-format "$work/"
  printf 'int  f( int x ){return x;}\n' > "$work/bad.cpp"
  (cd "$work" && check bad.cpp >/dev/null) && { echo "format_check: a file out of format passed"; exit 1; }
  printf '// %s\n' "$(printf 'x%.0s' $(seq 110))" > "$work/long.cpp"
  (cd "$work" && check long.cpp >/dev/null) && { echo "format_check: a line of 113 columns passed"; exit 1; }
  echo "format_check: files out of format and long lines are found"
fi

if check "${files[@]}"; then
  echo "format_check: ${#files[@]} files in format"
else
  echo "format_check: files above are not in the format of .clang-format (run clang-format -i on them)"
  exit 1
fi
