#!/usr/bin/env python3
"""Checks that a real host shows the plug-in's editor, from a grab of the screen.

Takes an xwd dump of the whole screen (xwd -root) and the host window's
bounds. It passes when the window lies on the screen and the editor has
painted it: an empty window, or one the editor never drew into, is one flat
colour. (The probes where skin.xml puts the knobs belong here once the
skinned editor is the instrument's.)

Standard library only. Exits with 0 when the check passes, 1 otherwise.
"""

import argparse
import collections
import struct
import sys

# Of the window's pixels, at least this share differ from its most common
# colour: the editor's text and pictures.
MINIMUM_PAINTED_SHARE = 0.01


def read_xwd(path):
    """Returns (width, height, pixel(x, y) -> (r, g, b)), or None for a dump
    that is not a true-colour 24- or 32-bit ZPixmap."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 100:
        return None
    header = struct.unpack(">25I", data[:100])
    header_size, pixmap_format, depth, width, height = header[0], header[2], header[3], header[4], header[5]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    masks = header[14:17]
    colours = header[19]
    if pixmap_format != 2 or depth != 24 or bits_per_pixel not in (24, 32) or 0 in masks:
        return None
    pixel_bytes = bits_per_pixel // 8
    start = header_size + colours * 12
    if len(data) < start + bytes_per_line * height or bytes_per_line < width * pixel_bytes:
        return None
    shifts = [(mask & -mask).bit_length() - 1 for mask in masks]

    def pixel(x, y):
        offset = start + y * bytes_per_line + x * pixel_bytes
        value = int.from_bytes(data[offset:offset + pixel_bytes], "little" if byte_order == 0 else "big")
        return tuple((value & mask) >> shift for mask, shift in zip(masks, shifts))

    return width, height, pixel


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dump", help="xwd dump of the root window")
    parser.add_argument("--window", nargs=4, type=int, required=True, metavar=("X", "Y", "WIDTH", "HEIGHT"))
    args = parser.parse_args()

    screen = read_xwd(args.dump)
    if screen is None:
        print(f"{args.dump}: not a screen dump this check reads")
        return 1
    width, height, pixel = screen
    x0, y0, w, h = args.window
    if w <= 0 or h <= 0 or x0 < 0 or y0 < 0 or x0 + w > width or y0 + h > height:
        print(f"the window {w} x {h} at ({x0}, {y0}) is not on the {width} x {height} screen")
        return 1

    counts = collections.Counter(pixel(x, y) for y in range(y0, y0 + h, 2) for x in range(x0, x0 + w, 2))
    background, most = counts.most_common(1)[0]
    painted = 1.0 - most / sum(counts.values())
    print(f"the host's {w} x {h} window: {painted:.1%} of it differs from its most common colour {background}")
    if painted < MINIMUM_PAINTED_SHARE:
        print("FAILED: the editor has not painted the window")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
