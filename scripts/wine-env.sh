# How this machine starts Wine: sourced by every script that starts it (setup, test, run, fps,
# bench, soak, package, wine-prefix.sh, wine-exec.sh); tests/e2e/harness.py runs it as
# `wine-env.sh --print`. It decides once per run whether the machine runs 32-bit programs and
# exports the decision, so that the scripts and programs it starts ask no more:
#   LUMORA_32BIT  1 where 32-bit programs run, 0 where they do not
#   LUMORA_WINE   the command that starts a Windows program: Debian's `wine` where 32-bit
#                 programs run (it starts the 32-bit loader, which hands 64-bit programs on to
#                 the 64-bit one); the 64-bit loader /usr/lib/wine/wine64 where they do not
#   WINELOADER, WINEARCH=win64  where they do not: Wine starts its own processes through the
#                 64-bit loader too, and prefixes boot 64-bit
# Where they do not it says so once, in plain words. A kernel without 32-bit emulation refuses
# the 32-bit loader ("Exec format error"), and Debian's `wine` starts that loader whenever
# wine32 is installed. LUMORA_NO_32BIT=1 makes a machine that runs them behave as one that does
# not (for the tests); Wine itself could still start a 32-bit program there on its own, but no
# script or test asks it to. LUMORA_32BIT_WHY says why (for the skipped tests' messages).
# (LUMORA_WINE32_LOADER and LUMORA_WINE64_LOADER name other loaders, for tests/unit/wine_env_test.sh.)
lumora_wine_decide() {
  local wine32=${LUMORA_WINE32_LOADER:-/usr/lib/wine/wine} wine64=${LUMORA_WINE64_LOADER:-/usr/lib/wine/wine64}
  local why=
  if [ "${LUMORA_NO_32BIT:-0}" = 1 ]; then
    why="LUMORA_NO_32BIT=1 is set (a test: the machine itself runs them)"
  elif [ ! -x "$wine32" ]; then
    why="the 32-bit Wine loader $wine32 is not installed (Debian's wine32:i386)"
  elif ! "$wine32" --version >/dev/null 2>&1; then
    why="its kernel refuses the 32-bit Wine loader $wine32 ($("$wine32" --version 2>&1 | head -n 1 | sed 's/^.*: //'))"
  fi
  if [ -z "$why" ]; then
    export LUMORA_32BIT=1 LUMORA_WINE=wine LUMORA_32BIT_WHY=
    return 0
  fi
  if [ ! -x "$wine64" ]; then
    echo "wine-env: this machine runs no 32-bit programs ($why), and the 64-bit Wine loader" \
      "$wine64 is not installed either (Debian's wine64; scripts/setup.sh installs it)" >&2
    return 1
  fi
  export LUMORA_32BIT=0 LUMORA_WINE=$wine64 WINELOADER=$wine64 WINEARCH=win64 LUMORA_32BIT_WHY=$why
  [ -n "${LUMORA_WINE_QUIET:-}" ] ||
    echo "wine-env: this machine runs no 32-bit programs: $why. Wine starts through its 64-bit" \
      "loader and boots 64-bit prefixes; only the 64-bit builds run (the 32-bit Windows unit" \
      "tests and end-to-end tests are reported as skipped, and only the x64 installer is" \
      "installed by the tests)." >&2
}

# Decided already by the script that started this one: keep it.
if [ -z "${LUMORA_32BIT:-}" ] || [ -z "${LUMORA_WINE:-}" ]; then
  lumora_wine_decide || { [ "${BASH_SOURCE[0]}" != "$0" ] && return 1; exit 1; }
fi

# Run rather than sourced: print the decision as NAME=VALUE lines, for programs not in bash.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case "${1:-}" in
    --print)
      for name in LUMORA_32BIT LUMORA_WINE LUMORA_32BIT_WHY WINELOADER WINEARCH; do
        if [ -n "${!name:-}" ]; then echo "$name=${!name}"; fi
      done ;;
    *) echo "usage: wine-env.sh --print   (or source it from bash)" >&2; exit 2 ;;
  esac
fi
