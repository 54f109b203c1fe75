#!/usr/bin/env python3
"""Writes hostile skin inputs for the skin fuzz targets, the same bytes on every run.

    python3 tests/fuzz/make-hostile-skins.py OUTDIR

Each input goes to OUTDIR/<fuzz target>/<input name>. The "skinpackage" target
takes its input both as a whole ".ulvraskin" package (whose skin is named
"input.v2") and as the ".skin" archive inside a package with a matching
digest: names ending in "-package" are the first kind, "-skin-archive" the
second. The "skinxml" target takes the text of "skin.xml".

What they hold:
- GIF pictures that JUCE 7.0.5's GIF reader reads or writes past its own
  buffers on: picture data cut inside its first data block, in blocks of one
  byte, and codes that build a loop in its string table; and a whole GIF.
  Skins take no GIF pictures.
- Progressive JPEG pictures of 8192 x 4096 pixels followed by thousands of
  empty scans, each of which costs a pass over the whole picture.
- A PNG picture of 4 x 4 pixels whose text chunks inflate to 8 GB.
- Skins of 1.2 and 4.79 million knobs (compressed to a few hundred bytes), one
  just over the control limit, and one at it.
- ".skin" archives of 65,000 entries, and of as many as a skin may hold,
  whose controls name pictures they lack.
"""

import hashlib
import importlib
import io
import os
import struct
import sys
import zipfile
import zlib

sys.dont_write_bytecode = True   # nothing written beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
hostile_files = importlib.import_module("make-hostile-files")

PACKAGE_NAME = "input.v2"
ZIP_DATE = (2020, 1, 1, 0, 0, 0)
MAX_CONTROLS = 4096
MAX_ENTRIES = 8192


def zip_of(entries, compressed=True):
    """A zip archive of (name, bytes) entries in order, with a fixed date."""
    out = io.BytesIO()
    method = zipfile.ZIP_DEFLATED if compressed else zipfile.ZIP_STORED

    with zipfile.ZipFile(out, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, ZIP_DATE)
            info.compress_type = method
            info.external_attr = 0o644 << 16
            archive.writestr(info, data, compresslevel=9 if compressed else None)

    return out.getvalue()


def skin_archive(skin_xml, pictures=()):
    return zip_of([("skin.xml", skin_xml.encode())] + list(pictures))


def package_of(skin_archive_bytes):
    """The whole package the target opens as "input.v2": the ".skin" archive
    deflated once more, beside its digest."""
    digest = hashlib.md5(skin_archive_bytes).hexdigest().encode()
    return zip_of([(PACKAGE_NAME + ".md5", digest), (PACKAGE_NAME + ".skin", skin_archive_bytes)])


def skin_xml(controls, panel_extra=""):
    return ('<PluginEditor application="Tarvelin"><Panel name="MainPanel">' + panel_extra
            + '<size width="64" height="64"/><controls>' + controls + "</controls></Panel></PluginEditor>")


def knob_showing(picture):
    return ('<Knob name="Cutoff"><links><link as="connectedTo" param="Cutoff"/></links>'
            '<gfx resource="' + picture + '" framesNum="1"/><pos left="1" top="1"/></Knob>')


#==============================================================================
# GIF

def gif_blocks(data, size=255):
    """Picture data as GIF sub-blocks, then the terminator."""
    out = bytearray()

    for start in range(0, len(data), size):
        chunk = data[start:start + size]
        out += bytes([len(chunk)]) + chunk

    return bytes(out) + b"\x00"


def gif_codes(codes, width):
    """Codes of one width, packed from the low bit up."""
    out, accumulator, bits = bytearray(), 0, 0

    for code in codes:
        accumulator |= code << bits
        bits += width

        while bits >= 8:
            out.append(accumulator & 0xFF)
            accumulator >>= 8
            bits -= 8

    if bits:
        out.append(accumulator & 0xFF)

    return bytes(out)


def gif_literal_codes(pixels):
    """The 7-bit picture data of the pixels with every code 8 bits wide: a clear
    code before every run of 100 literals keeps the string table from growing."""
    clear, end = 128, 129
    codes = []

    for start in range(0, len(pixels), 100):
        codes.append(clear)
        codes.extend(pixels[start:start + 100])

    codes.append(end)
    return gif_codes(codes, 8)


def gif_head(width, height, minimum_code_size, colours=128):
    """Header, a palette of grey levels, the image descriptor and the code size."""
    bits = max(1, (colours - 1).bit_length())
    palette = b"".join(bytes([i * 255 // (2 ** bits - 1)] * 3) for i in range(2 ** bits))
    return (b"GIF89a" + struct.pack("<HH", width, height) + bytes([0x80 | (bits - 1), 0, 0]) + palette
            + b"," + struct.pack("<HHHH", 0, 0, width, height) + b"\x00" + bytes([minimum_code_size]))


def gif_picture(width, height):
    """A whole picture: vertical bands of 16 grey levels."""
    pixels = [(x * 16 // width) * 8 for y in range(height) for x in range(width)]
    return gif_head(width, height, 7) + gif_blocks(gif_literal_codes(pixels)) + b";"


def gif_cut_in_first_block(minimum_code_size, kept, byte):
    """The first data block declares 255 bytes, fewer follow and the file
    ends: the reader takes the block as missing and reads on from its buffer
    and beyond, building its string table from what it finds there."""
    return gif_head(256, 256, minimum_code_size, 2) + b"\xff" + bytes([byte]) * kept


def gif_of_one_byte_blocks():
    """9-bit codes in blocks of one byte: the reader takes one block for each
    code and reads the missing bit from whatever lies beyond, a bit further on
    for every code. Terminated, and 600,000 blocks long."""
    return gif_head(2048, 2048, 8, 256) + b"\x01\x44" * 600000 + b"\x00;"


def gif_string_table_loop():
    """Whole, terminated picture data whose 9-bit codes make string 258 start
    with string 300 and string 300 with string 258: the reader follows the two
    round and round, writing each onto its stack as it goes."""
    codes = [256, 300] + [1] * 41 + [258, 1, 258, 257]
    return gif_head(16, 16, 8, 256) + gif_blocks(gif_codes(codes, 9)) + b";"


#==============================================================================
# JPEG

def jpeg_segment(marker, payload):
    return bytes([0xFF, marker]) + struct.pack(">H", len(payload) + 2) + payload


def progressive_jpeg(width, height, empty_scans):
    """A grey progressive JPEG: its DC scan, then empty AC scans."""
    quantisation = jpeg_segment(0xDB, b"\x00" + bytes([1] * 64))
    frame = jpeg_segment(0xC2, struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00")
    # One code of one bit for symbol 0, in the DC table 0 and the AC table 0.
    huffman = jpeg_segment(0xC4, b"\x00" + bytes([1] + [0] * 15) + b"\x00"
                                 + b"\x10" + bytes([1] + [0] * 15) + b"\x00")
    dc_scan = jpeg_segment(0xDA, b"\x01\x01\x00\x00\x00\x00") + b"\x00" * 16
    ac_scan = jpeg_segment(0xDA, b"\x01\x01\x00\x01\x3f\x00")
    return (b"\xff\xd8" + quantisation + frame + huffman + dc_scan
            + ac_scan * empty_scans + b"\xff\xd9")


def progressive_jpeg_of_scans(total_scans):
    """A small progressive JPEG of the given number of scans."""
    return progressive_jpeg(16, 16, total_scans - 1)


def jpeg_skin_archive(jpeg):
    return skin_archive(skin_xml(knob_showing("Knob.jpg")), [("Knob.jpg", jpeg)])


#==============================================================================
# PNG

def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_with_compressed_text(chunks, inflated_bytes):
    """A 4 x 4 grey PNG whose header is followed by compressed text chunks, each
    inflating to just under libpng's limit for one chunk (8 MB)."""
    text = png_chunk(b"zTXt", b"Comment\x00\x00" + zlib.compress(b"\x00" * inflated_bytes, 9))
    rows = b"".join(b"\x00" + b"\x80" * 4 for _ in range(4))
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", 4, 4, 8, 0, 0, 0, 0))
            + text * chunks + png_chunk(b"IDAT", zlib.compress(rows, 9)) + png_chunk(b"IEND", b""))


#==============================================================================
# Skins

def knobs_skin(count):
    return skin_xml("<Knob/>" * count)


def many_entries_skin_archive(entries, missing_pictures):
    controls = "".join('<Knob name="K%d"><gfx resource="missing-%d.png"/></Knob>' % (i, i)
                       for i in range(missing_pictures))
    pictures = [("e%05d" % i, b"") for i in range(entries - 1)]
    return skin_archive(skin_xml(controls), pictures)


#==============================================================================
def inputs():
    gif = lambda picture: skin_archive(skin_xml(knob_showing("Knob.gif")), [("Knob.gif", picture)])

    cut = gif_cut_in_first_block(7, 200, 0x44)
    yield "skinpackage", "gif-256x256-cut-in-first-data-block-package", package_of(gif(cut))
    yield "skinpackage", "gif-256x256-cut-in-first-data-block-skin-archive", gif(cut)
    yield "skinpackage", "gif-256x256-cut-in-first-data-block-code-size-8-skin-archive", gif(gif_cut_in_first_block(8, 40, 0))
    yield "skinpackage", "gif-of-one-byte-blocks-skin-archive", gif(gif_of_one_byte_blocks())
    yield "skinpackage", "gif-string-table-loop-skin-archive", gif(gif_string_table_loop())
    yield "skinpackage", "gif-whole-picture-skin-archive", gif(gif_picture(32, 32))

    yield "skinpackage", "jpeg-8192x4096-1100-empty-scans-package", package_of(jpeg_skin_archive(progressive_jpeg(8192, 4096, 1100)))
    yield "skinpackage", "jpeg-8192x4096-8400-empty-scans-package", package_of(jpeg_skin_archive(progressive_jpeg(8192, 4096, 8400)))
    yield "skinpackage", "jpeg-33-scans-skin-archive", jpeg_skin_archive(progressive_jpeg_of_scans(33))

    png = png_with_compressed_text(1000, 7990000)
    yield "skinpackage", "png-1000-text-chunks-of-8-mb-package", package_of(skin_archive(skin_xml(knob_showing("Knob.png")), [("Knob.png", png)]))

    yield "skinpackage", "knobs-1200000-package", package_of(skin_archive(knobs_skin(1200000)))
    yield "skinpackage", "knobs-4790000-package", package_of(skin_archive(knobs_skin(4790000)))
    yield "skinpackage", "knobs-%d-skin-archive" % (MAX_CONTROLS + 1), skin_archive(knobs_skin(MAX_CONTROLS + 1))
    yield "skinxml", "knobs-%d.xml" % (MAX_CONTROLS + 1), knobs_skin(MAX_CONTROLS + 1).encode()

    yield "skinpackage", "knobs-%d-skin-archive" % MAX_CONTROLS, skin_archive(knobs_skin(MAX_CONTROLS))

    yield "skinpackage", "entries-65000-missing-pictures-20000-package", package_of(many_entries_skin_archive(65000, 20000))
    yield "skinpackage", "entries-65000-missing-pictures-%d-package" % MAX_CONTROLS, package_of(many_entries_skin_archive(65000, MAX_CONTROLS))
    yield "skinpackage", "entries-%d-missing-pictures-%d-package" % (MAX_ENTRIES, MAX_CONTROLS), package_of(many_entries_skin_archive(MAX_ENTRIES, MAX_CONTROLS))


def names_skin_xml(size):
    """A "skin.xml" of size bytes: distinct attribute names in descending
    order, eight to an element (hostile_files.names_filling), inside the root."""
    opening, closing = '<PluginEditor application="Tarvelin">', "</PluginEditor>"
    room = size - len(opening) - len(closing)
    body = hostile_files.names_filling(room, 8)
    return opening + body + " " * (room - len(body)) + closing


def names_inputs():
    # Every tag and attribute name goes into the toolkit's one sorted pool:
    # new names in descending order move the whole pool each time. Attributes
    # are no elements, so the description's element count does not stop them.
    yield "skinpackage", "distinct-attribute-names-4MiB-skin-archive", skin_archive(names_skin_xml(4 * 1024 * 1024))
    yield "skinxml", "distinct-attribute-names-256KiB.xml", names_skin_xml(256 * 1024).encode()


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-hostile-skins.py OUTDIR")

    for target, name, data in list(inputs()) + list(names_inputs()):
        folder = os.path.join(sys.argv[1], target)
        os.makedirs(folder, exist_ok=True)

        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
