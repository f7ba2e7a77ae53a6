#!/usr/bin/env bash
# Wine prefixes for the tests.
#   wine-prefix.sh template DIR        boot a prefix in DIR once (a fresh registry: a first run)
#   wine-prefix.sh clone TEMPLATE DIR  make DIR a cheap copy of TEMPLATE: hard links for the
#                                      files, real copies of the registry files Wine rewrites
# Both are safe to call from parallel tests: the work is done under a lock, and only once.
set -euo pipefail
export WINEDEBUG=-all
# The Wine command, and 64-bit prefixes where the machine runs no 32-bit programs.
source "$(dirname "$0")/wine-env.sh"

boot_template() {
  local dir=$1
  mkdir -p "$(dirname "$dir")"
  exec 9>"$dir.lock"
  flock 9
  if [ ! -f "$dir/.booted" ]; then
    rm -rf "$dir"
    # No display is needed to boot; keep wineboot from asking for one. What Wine says goes to
    # a log, shown when the boot fails.
    local log=$dir.boot.log status=0
    WINEPREFIX="$dir" DISPLAY= "$LUMORA_WINE" wineboot -i >"$log" 2>&1 || status=$?
    WINEPREFIX="$dir" wineserver -w
    if [ ! -f "$dir/user.reg" ]; then
      echo "wine-prefix: booting $dir failed: '$LUMORA_WINE wineboot -i' exited $status" \
        "(WINEARCH=${WINEARCH:-default}, WINELOADER=${WINELOADER:-default}); it said:" >&2
      tail -n 20 "$log" | sed 's/^/  /' >&2
      exit 1
    fi
    touch "$dir/.booted"
  fi
}

clone_prefix() {
  local template=$1 dir=$2
  boot_template "$template"
  rm -rf "$dir"
  cp -al "$template" "$dir"
  for reg in system.reg user.reg userdef.reg; do
    cp --remove-destination "$template/$reg" "$dir/$reg"
  done
  rm -f "$dir/.booted"
}

# Wine takes only absolute prefixes.
case "${1:-}:$#" in
  template:2) boot_template "$(realpath -m "$2")" ;;
  clone:3) clone_prefix "$(realpath -m "$2")" "$(realpath -m "$3")" ;;
  *) echo "usage: wine-prefix.sh template DIR | clone TEMPLATE DIR" >&2; exit 2 ;;
esac
