#!/usr/bin/env bash
# Wine prefixes for the tests.
#   wine-prefix.sh template DIR        boot a prefix in DIR once (a fresh registry: a first run)
#   wine-prefix.sh clone TEMPLATE DIR  make DIR a cheap copy of TEMPLATE: hard links for the
#                                      files, real copies of the registry files Wine rewrites
# Both are safe to call from parallel tests: the work is done under a lock, and only once.
set -euo pipefail
export WINEDEBUG=-all

boot_template() {
  local dir=$1
  mkdir -p "$(dirname "$dir")"
  exec 9>"$dir.lock"
  flock 9
  if [ ! -f "$dir/.booted" ]; then
    rm -rf "$dir"
    # No display is needed to boot; keep wineboot from asking for one.
    WINEPREFIX="$dir" DISPLAY= wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$dir" wineserver -w
    [ -f "$dir/user.reg" ] || { echo "wine-prefix: booting $dir failed" >&2; exit 1; }
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
