#!/usr/bin/env bash
# Renders every pattern in two colour schemes with lumora-render and lays them out as one image.
#   tools/contact_sheet.sh RENDERER OUT.png [SCHEME_A SCHEME_B]
# Needs ImageMagick (montage, convert). Every tile: 200 x 113 grid points, seed 2026, 3 frames.
set -euo pipefail
render=$1
out=$2
schemes=("${3:-0}" "${4:-9}")
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for s in "${schemes[@]}"; do
  tiles=()
  for p in $(seq 1 25); do
    tile=$work/s${s}_p$(printf %02d "$p").bmp
    "$render" --pattern "$p" --scheme "$s" --size 200x113 --seed 2026 --frames 3 --out "$tile"
    tiles+=(-label "pattern $p" "$tile")
  done
  montage -font "$font" "${tiles[@]}" -tile 5x5 -geometry +3+3 \
    -pointsize 11 -background '#1a1a1a' -fill '#e0e0e0' -title "colour scheme $s" "$work/sheet_$s.png"
done
convert "$work/sheet_${schemes[0]}.png" "$work/sheet_${schemes[1]}.png" +append +repage -depth 8 "$out"
