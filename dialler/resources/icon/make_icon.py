#!/usr/bin/env python3
"""Lays out the application icon as RT_ICON images and an RT_GROUP_ICON
directory from the pixel-art text files beside this script.

usage: make_icon.py OUTPUT_DIR
Writes icon_30001.bin, icon_30002.bin, icon_30003.bin and icon_group.bin.
"""
import pathlib
import struct
import sys

HERE = pathlib.Path(__file__).resolve().parent

# The standard 16-colour VGA palette, as (r, g, b).
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
MONO = [(0, 0, 0), (255, 255, 255)]
MONO_INDEX = {"#": 0, "o": 1}

# Resource id, art file, bits per pixel: in the order the group lists them.
IMAGES = [
    (30001, "keypad_32x32_2.txt", 1),
    (30002, "keypad_32x32_16.txt", 4),
    (30003, "keypad_16x16_16.txt", 4),
]


def read_art(name):
    rows = [line for line in (HERE / name).read_text().splitlines()
            if line and not line.startswith("#")]
    size = len(rows)
    if any(len(row) != size for row in rows):
        raise SystemExit(f"{name}: the art must be square")
    return rows


def pixel_index(ch, bits):
    if ch == ".":
        return 0
    return MONO_INDEX[ch] if bits == 1 else int(ch, 16)


def pack_row(values, bits):
    """Packs pixel values MSB first and pads the row to 32 bits."""
    out = bytearray()
    acc, filled = 0, 0
    for value in values:
        acc = (acc << bits) | value
        filled += bits
        if filled == 8:
            out.append(acc)
            acc, filled = 0, 0
    if filled:
        out.append(acc << (8 - filled))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def icon_image(rows, bits):
    size = len(rows)
    palette = MONO if bits == 1 else VGA
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0,
                         len(palette), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    bottom_up = list(reversed(rows))
    xor = b"".join(pack_row([pixel_index(c, bits) for c in row], bits) for row in bottom_up)
    mask = b"".join(pack_row([1 if c == "." else 0 for c in row], 1) for row in bottom_up)
    return header + colours + xor + mask


def main():
    out = pathlib.Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    group = struct.pack("<HHH", 0, 1, len(IMAGES))
    for resource_id, art, bits in IMAGES:
        rows = read_art(art)
        image = icon_image(rows, bits)
        (out / f"icon_{resource_id}.bin").write_bytes(image)
        size = len(rows)
        group += struct.pack("<BBBBHHIH", size, size, 1 << bits, 0, 1, bits, len(image),
                             resource_id)
    (out / "icon_group.bin").write_bytes(group)


if __name__ == "__main__":
    main()
