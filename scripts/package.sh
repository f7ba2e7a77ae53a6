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
#
# Every build of one commit gives the same bytes, wherever and whenever it runs: the programs
# carry no build folder and no link time (CMakeLists.txt), and every time stamp in the
# installers and the zip is the commit's (SOURCE_DATE_EPOCH; taken from git when not set).
#
# With a code-signing certificate (LUMORA_SIGN_PKCS12 and LUMORA_SIGN_PASSWORD; see
# scripts/sign.sh) every program of the release is signed with Authenticode: both builds of
# lumora.scr, the uninstaller each installer writes and each installer; the zip, the checksums
# and the manifests are made from the signed files. Without one the release is unsigned.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build
dist=${LUMORA_DIST:-$top/dist}
flavours=(win32 win64)
# The programs the release ships from each build tree, as TARGET:FILE.
programs=(lumora:lumora.scr)

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$top" log -1 --format=%ct 2>/dev/null) || {
    echo "package: not a git checkout: set SOURCE_DATE_EPOCH to the release's time" >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH
if [ -n "${LUMORA_SIGN_PKCS12:-}" ]; then
  signing=1
  echo "package: signing with $LUMORA_SIGN_PKCS12${LUMORA_SIGN_TIMESTAMP_URL:+, time-stamped by $LUMORA_SIGN_TIMESTAMP_URL}"
else
  signing=
  echo "package: LUMORA_SIGN_PKCS12 is not set: the release is not signed"
fi

if [ ! -f "$build/win32/CMakeCache.txt" ] || [ ! -f "$build/win64/CMakeCache.txt" ]; then
  LUMORA_FLAVOURS="${flavours[*]}" bash "$top/scripts/build.sh"
fi
for flavour in "${flavours[@]}"; do
  cmake --build "$build/$flavour" --target "${programs[@]%%:*}" -- --no-print-directory >/dev/null
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

# A file of the release as every build writes it: the commit's time and the usual modes,
# whatever the clock and the umask of this machine.
settle() {
  for path in "$@"; do
    case $path in
      *.exe|*.scr) chmod 755 "$path" ;;
      *) if [ -d "$path" ]; then chmod 755 "$path"; else chmod 644 "$path"; fi ;;
    esac
    touch -h -d "@$SOURCE_DATE_EPOCH" "$path"
  done
}
sign() {
  [ -z "$signing" ] || bash "$top/scripts/sign.sh" "$@"
}

# The programs, copied out of the build trees (which stay unsigned) and signed once: the
# installers and the zip take these copies.
for flavour in "${flavours[@]}"; do
  mkdir -p "$stage/programs/$flavour"
  for program in "${programs[@]#*:}"; do
    cp "$build/$flavour/$program" "$stage/programs/$flavour/"
    sign "$stage/programs/$flavour/$program"
    settle "$stage/programs/$flavour/$program"
  done
done
scr32=$stage/programs/win32/lumora.scr
scr64=$stage/programs/win64/lumora.scr

kib() { echo $(( ($(stat -c %s "$1") + 1023) / 1024 )); }
# make_installer OUT SCRIPT [MAKENSIS ARGS...]: an installer from an NSIS script; with a
# certificate its uninstaller (through !uninstfinalize, installer/signing.nsh) and then the
# installer itself are signed.
make_installer() {
  local out=$1 script=$2
  shift 2
  local args=()
  [ -n "$signing" ] && args+=(-DSIGN="$top/scripts/sign.sh")
  # Warnings are errors: a release is built clean or not at all.
  makensis -V2 -WX -INPUTCHARSET UTF8 "${args[@]}" \
    -DVERSION_H="$header" -DICON="$top/res/lumora.ico" -DOUTFILE="$out.part" "$@" "$script"
  sign "$out.part"
  touch -d "@$SOURCE_DATE_EPOCH" "$out.part"
  mv -f "$out.part" "$out"
}
# The x86 installer (for 32-bit and 64-bit Windows) and the x64 one (a 64-bit program that
# installs the 64-bit build alone).
builds=(-DSCR32="$scr32" -DSCR32_KB="$(kib "$scr32")" -DSCR64="$scr64" -DSCR64_KB="$(kib "$scr64")")
make_installer "$setup" "$top/installer/lumora.nsi" "${builds[@]}"
make_installer "$setup64" "$top/installer/lumora.nsi" -DX64 "${builds[@]}"

folder=$stage/zip/Lumora-$version
mkdir -p "$folder/32-bit" "$folder/64-bit"
cp "$scr32" "$folder/32-bit/"
cp "$scr64" "$folder/64-bit/"
cp "$top/installer/README.txt" "$folder/README.txt"
cp "$top/LICENSE" "$folder/LICENSE.txt"
# Entries in a fixed order, with the commit's time (zip stores local time: UTC here) and no
# owner or extra time fields (-X).
(cd "$stage/zip" &&
   mapfile -t entries < <(find "Lumora-$version" | LC_ALL=C sort) &&
   settle "${entries[@]}" &&
   printf '%s\n' "${entries[@]}" | TZ=UTC zip -q -X -@ "$archive.part")
touch -d "@$SOURCE_DATE_EPOCH" "$archive.part"
mv -f "$archive.part" "$archive"

python3 "$top/scripts/release_manifests.py" "$version" "$dist"

echo "package: $setup"
echo "package: $setup64"
echo "package: $archive"
echo "package: $dist/SHA256SUMS, $dist/winget/Lumora.Lumora/$version/, $dist/scoop/lumora.json"
