#!/usr/bin/env bash
# Installs what building and testing Lumora needs on a Debian machine: the MinGW-w64
# cross compilers, Wine (32- and 64-bit), Xvfb, xdotool, ImageMagick, CMake and GoogleTest,
# clang with its sanitizer and libFuzzer run-time libraries, clang-format (the format test),
# NSIS, zip and osslsigncode for the release packages (openssl for the signing test's certificate), Liberation Sans (the
# dialogs' Arial, metric for metric, under Wine), libpng (the native still renderer's PNG
# files) and Mesa's software OpenGL for 64- and 32-bit programs (Wine's Direct3D runs on
# OpenGL; under Xvfb that is llvmpipe).
# Idempotent: it installs only what is missing and says what it does.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "setup: need root or sudo to install packages" >&2; exit 1; fi
fi
export DEBIAN_FRONTEND=noninteractive

packages=(
  cmake make g++ python3 python3-yaml googletest clang libclang-rt-dev clang-format
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32:i386 wine64 xvfb xauth xdotool imagemagick
  nsis zip osslsigncode openssl fonts-liberation libpng-dev
  libgl1 libgl1:i386 libglx-mesa0 libglx-mesa0:i386 libgl1-mesa-dri libgl1-mesa-dri:i386
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

# Once Wine is installed: how it starts here, said in plain words where the machine runs no
# 32-bit programs (scripts/wine-env.sh).
say_wine() { source "$(dirname "$0")/wine-env.sh"; }

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  say_wine
  exit 0
fi

echo "setup: installing ${missing[*]}"
# A mirror in the middle of a sync serves index files of the wrong size for a while, and
# apt-get then fails: try again after a pause rather than fail the whole set-up.
retry() {
  local attempt
  for attempt in 1 2 3; do
    if "$@"; then return 0; fi
    echo "setup: '$*' failed (attempt $attempt of 3), trying again in $((attempt * 10)) s" >&2
    sleep $((attempt * 10))
  done
  "$@"
}
# An index that stays wrong is left out by apt-get ("ignored, or old ones used instead"): the
# packages of the others still install, so go on and let the install say whether it worked.
retry $SUDO apt-get update -qq ||
  echo "setup: some package indexes could not be fetched; installing from the others" >&2
if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
  # Without the security suite's i386 index, a library updated there for amd64 has no i386
  # twin of the same version, and multiarch refuses the pair. The main suite has both at
  # one version: prefer it for this install (nothing is downgraded: what is installed keeps
  # its priority of 100 too).
  echo "setup: installing again, preferring the main suite's versions" >&2
  pin=$(mktemp)
  trap 'rm -f "$pin"' EXIT
  printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' > "$pin"
  retry $SUDO apt-get -o Dir::Etc::Preferences="$pin" install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
echo "setup: done"
say_wine
