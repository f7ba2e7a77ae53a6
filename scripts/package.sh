#!/usr/bin/env bash
# Makes a release in dist/ from the win32 and win64 builds:
#   Lumora-VERSION-setup.exe  the x86 installer (NSIS): the build that fits the system, into the
#                             Windows system directory, with an uninstaller
#   Lumora-VERSION-x64-setup.exe  the x64 installer, a 64-bit program: the 64-bit build alone
#   Lumora-VERSION-win.zip    both builds, the users' README (installer/README.txt) and the
#                             licence
#   SHA256SUMS, winget/, scoop/  the files' SHA-256 and the package managers' manifests for this
#                             version (scripts/release_manifests.py; LUMORA_RELEASE_URL says
#                             where the files will be downloaded from)
# The version is the CMake project's. Builds the two programs first (configuring the win32 and
# win64 trees through scripts/build.sh when they are not configured yet).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build
dist=${LUMORA_DIST:-$top/dist}

if [ ! -f "$build/win32/CMakeCache.txt" ] || [ ! -f "$build/win64/CMakeCache.txt" ]; then
  LUMORA_FLAVOURS="win32 win64" bash "$top/scripts/build.sh"
fi
for flavour in win32 win64; do
  cmake --build "$build/$flavour" --target lumora -- --no-print-directory >/dev/null
done

header=$build/win32/generated/lumora_version.h
version=$(sed -n 's/^#define LUMORA_VERSION_TEXT "\(.*\)"$/\1/p' "$header")
[ -n "$version" ] || { echo "package: no version in $header" >&2; exit 1; }
mkdir -p "$dist"
setup=$dist/Lumora-$version-setup.exe
setup64=$dist/Lumora-$version-x64-setup.exe
archive=$dist/Lumora-$version-win.zip
stage=$(mktemp -d)
trap 'rm -rf "$stage" "$setup.part" "$setup64.part" "$archive.part"' EXIT

kib() { echo $(( ($(stat -c %s "$1") + 1023) / 1024 )); }
# installer OUTFILE [-DX64]: one installer. Warnings are errors: a release is built clean or not
# at all.
installer() {
  local out=$1; shift
  makensis -V2 -WX -INPUTCHARSET UTF8 "$@" \
    -DSCR32="$build/win32/lumora.scr" -DSCR32_KB="$(kib "$build/win32/lumora.scr")" \
    -DSCR64="$build/win64/lumora.scr" -DSCR64_KB="$(kib "$build/win64/lumora.scr")" \
    -DVERSION_H="$header" -DICON="$top/res/lumora.ico" -DOUTFILE="$out.part" \
    "$top/installer/lumora.nsi"
  mv -f "$out.part" "$out"
}
installer "$setup"
installer "$setup64" -DX64

folder=$stage/Lumora-$version
mkdir -p "$folder/32-bit" "$folder/64-bit"
cp "$build/win32/lumora.scr" "$folder/32-bit/"
cp "$build/win64/lumora.scr" "$folder/64-bit/"
cp "$top/installer/README.txt" "$folder/README.txt"
cp "$top/LICENSE" "$folder/LICENSE.txt"
(cd "$stage" && zip -q -X -r "$archive.part" "Lumora-$version")
mv -f "$archive.part" "$archive"

python3 "$top/scripts/release_manifests.py" "$version" "$dist"

echo "package: $setup"
echo "package: $setup64"
echo "package: $archive"
echo "package: $dist/SHA256SUMS, $dist/winget/Lumora.Lumora/$version/, $dist/scoop/lumora.json"
