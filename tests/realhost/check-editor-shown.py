#!/usr/bin/env python3
"""Checks that a real host shows the plug-in's editor, from a grab of the screen.

Takes an xwd dump of the whole screen (xwd -root), the host window's bounds
and the default skin's skin.xml. It passes when the window holds the editor,
the skin's panel with the status bar below, and the editor has painted it:
where the skin puts its knobs and lamps the screen shows the panel, not the
black behind it, and the window is not one flat colour.

Standard library only. Exits with 0 when the check passes, 1 otherwise.
"""

import argparse
import collections
import struct
import sys
import xml.etree.ElementTree

# Controls whose pictures rest: no lamp that blinks by itself.
PROBED_CONTROLS = ("TuneKnob", "CutoffKnob", "ResonanceKnob", "VolumeKnob", "ArpeOnLed", "PattLen01Led")
# A probe "shows black" when every channel is at most this.
BLACK_LEVEL = 8

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


def read_skin(path):
    """Returns (panel width, panel height, {control name: centre}) of the main panel."""
    root = xml.etree.ElementTree.parse(path).getroot()
    panel = next(p for p in root.iter("Panel") if p.get("name") == "MainPanel")
    size = panel.find("size")
    centres = {}
    for control in panel.find("controls"):
        pos, csize = control.find("pos"), control.find("size")
        if control.get("name") and pos is not None and csize is not None:
            centres[control.get("name")] = (int(pos.get("left", 0)) + int(csize.get("width")) // 2,
                                            int(pos.get("top", 0)) + int(csize.get("height")) // 2)
    return int(size.get("width")), int(size.get("height")), centres


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dump", help="xwd dump of the root window")
    parser.add_argument("--window", nargs=4, type=int, required=True, metavar=("X", "Y", "WIDTH", "HEIGHT"))
    parser.add_argument("--skin", required=True, help="the default skin's skin.xml")
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

    failed = False
    panel_width, panel_height, centres = read_skin(args.skin)
    if w != panel_width or h <= panel_height:
        print(f"FAILED: the host's window is {w} x {h}; the editor is the {panel_width} x {panel_height} panel "
              "with the status bar below")
        failed = True

    counts = collections.Counter(pixel(x, y) for y in range(y0, y0 + h, 2) for x in range(x0, x0 + w, 2))
    background, most = counts.most_common(1)[0]
    painted = 1.0 - most / sum(counts.values())
    print(f"the host's {w} x {h} window: {painted:.1%} of it differs from its most common colour {background}")
    if painted < MINIMUM_PAINTED_SHARE:
        print("FAILED: the editor has not painted the window")
        failed = True

    for name in PROBED_CONTROLS:
        cx, cy = centres[name]
        if cx >= w or cy >= h:
            continue  # the size check above has failed already
        colour = pixel(x0 + cx, y0 + cy)
        if max(colour) <= BLACK_LEVEL:
            print(f"FAILED: {name} at ({cx}, {cy}) shows black {colour}, not the panel")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
