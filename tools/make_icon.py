#!/usr/bin/env python3
"""Makes the program's icon: one 48 x 48 image at 24 bits per pixel, from any picture that
ImageMagick reads. Usage: make_icon.py PICTURE OUT.ico

res/lumora.ico was made from a still of the engine:
    lumora-render --pattern 22 --scheme 0 --size 48x48 --seed 3 --out icon.bmp
    tools/make_icon.py icon.bmp res/lumora.ico"""
import struct
import subprocess
import sys

SIZE = 48


def rgb_pixels(picture):
    raw = subprocess.run(
        ["convert", picture, "-resize", f"{SIZE}x{SIZE}!", "-depth", "8", "rgb:-"],
        check=True, capture_output=True).stdout
    if len(raw) != SIZE * SIZE * 3:
        sys.exit(f"make_icon: {picture} gave {len(raw)} bytes, not {SIZE}x{SIZE} RGB")
    return raw


def icon_bytes(raw):
    row_bytes = SIZE * 3  # 144: already a multiple of 4
    # The colour image bottom-up in BGR order, then an all-zero (opaque) AND mask.
    colour = b"".join(
        bytes(b for i in range(SIZE) for b in reversed(raw[(y * SIZE + i) * 3:(y * SIZE + i) * 3 + 3]))
        for y in reversed(range(SIZE)))
    assert len(colour) == row_bytes * SIZE
    mask = bytes(8 * SIZE)  # 48 bits padded to 64 per row
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_icon.py PICTURE OUT.ico")
    with open(sys.argv[2], "wb") as out:
        out.write(icon_bytes(rgb_pixels(sys.argv[1])))


if __name__ == "__main__":
    main()
