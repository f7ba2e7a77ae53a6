#!/usr/bin/env bash
# Installs what building and testing Lumora needs on a Debian machine: the MinGW-w64
# cross compilers, Wine (32- and 64-bit), Xvfb, xdotool, ImageMagick, CMake and GoogleTest,
# clang with its sanitizer and libFuzzer run-time libraries, NSIS and zip for the release
# packages, Liberation Sans (the dialogs' Arial, metric for metric, under Wine) and libpng
# (the native still renderer's PNG files).
# Idempotent: it installs only what is missing and says what it does.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "setup: need root or sudo to install packages" >&2; exit 1; fi
fi
export DEBIAN_FRONTEND=noninteractive

packages=(
  cmake make g++ python3 python3-yaml googletest clang libclang-rt-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32:i386 wine64 xvfb xauth xdotool imagemagick
  nsis zip fonts-liberation libpng-dev
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture (for 32-bit Wine)"
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
# A mirror in the middle of a sync serves index files of the wrong size for a while, and
# apt-get then fails: try again after a pause rather than fail the whole set-up.
retry() {
  local attempt
  for attempt in 1 2 3 4 5; do
    if "$@"; then return 0; fi
    echo "setup: '$*' failed (attempt $attempt of 5), trying again in $((attempt * 15)) s" >&2
    sleep $((attempt * 15))
  done
  "$@"
}
retry $SUDO apt-get update -qq
retry $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
