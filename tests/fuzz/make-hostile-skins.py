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
- Pictures that cost far more to decode than their size says: arithmetic-
  coded JPEGs, Huffman-coded ones of refinement scans, sequential ones of a
  scan per component and ones with every value coded; 16-bit, interlaced and
  Paeth-filtered PNGs; each at the limits that bound them, and just past.
- Inflation: many names of one local entry of zeros, many entries of zeros,
  entries inflating to their limit and just past, and inner archives padded
  to their limit, just past it and to the former 64 MiB; and every budget at
  its limit in one package.
"""

import functools
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

# Skin::maxSkinArchiveBytes, Skin::maxEntryBytes and Skin::maxInflatedBytes.
# The pictures below are sized for SkinImageDecoder::maxPixels (4 Mi) and
# Skin::maxDecodeWork (6 Mi units of SkinImageDecoder::Cost::work: a pixel of
# an 8-bit PNG is 1, of a 16-bit one 3, and interlacing adds 1).
MIB = 1024 * 1024
MAX_SKIN_ARCHIVE_BYTES = 16 * MIB
MAX_ENTRY_BYTES = 16 * MIB
MAX_INFLATED_BYTES = 16 * MIB


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


def deflated_repeats(parts, raw=True):
    """Each (unit, count) of parts, the unit repeated count times, deflated at
    level 9 from compressed pieces of a megabyte repeated: compressing
    hundreds of megabytes takes seconds, this takes none. A raw deflate
    stream, or a zlib stream when raw is False."""
    stream, adler = bytearray(), 1

    for unit, count in parts:
        per_piece = max(1, (1 << 20) // len(unit))
        piece = unit * per_piece

        def deflated(data):
            compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
            return compressor.compress(data) + compressor.flush(zlib.Z_FULL_FLUSH)

        stream += deflated(piece) * (count // per_piece)
        stream += deflated(unit * (count % per_piece))

        for _ in range(count // per_piece):
            adler = zlib.adler32(piece, adler)

        adler = zlib.adler32(unit * (count % per_piece), adler)

    # An empty last block ends the stream.
    stream += zlib.compressobj(9, zlib.DEFLATED, -15).flush()
    return bytes(stream) if raw else b"\x78\xda" + bytes(stream) + struct.pack(">I", adler)


@functools.lru_cache(maxsize=None)
def deflated_zeros(length, raw=True):
    return deflated_repeats([(b"\x00", length)], raw)


@functools.lru_cache(maxsize=None)
def crc32_of_zeros(length):
    crc, chunk = 0, bytes(1 << 20)

    for start in range(0, length, len(chunk)):
        crc = zlib.crc32(chunk[:min(len(chunk), length - start)], crc)

    return crc


def raw_zip(entries):
    """A zip archive written by hand, for what zipfile will not write. Each
    entry is (local name or None, central names, method, deflated or stored
    data, crc, inflated size): a local entry is written for it unless its
    local name is None, which makes its central records point at the local
    entry written before. Every central name gets a record of its own."""
    local, central, count = bytearray(), bytearray(), 0
    dos_time, dos_date = 0, (2020 - 1980) << 9 | 1 << 5 | 1
    offset = 0

    for local_name, names, method, data, crc, size in entries:
        if local_name is not None:
            offset = len(local)
            encoded = local_name.encode()
            local += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, method, dos_time, dos_date, crc, len(data), size,
                                 len(encoded), 0) + encoded + data

        for name in names:
            encoded = name.encode()
            central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, method, dos_time, dos_date, crc, len(data),
                                   size, len(encoded), 0, 0, 0, 0, 0o644 << 16, offset) + encoded
            count += 1

    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, len(central), len(local), 0)
    return bytes(local + central + end)


def stored(name, data, names=None):
    return (name, names or [name], 0, data, zlib.crc32(data), len(data))


def zeros_entry(name, length, names=None):
    return (name, names or [name], 8, deflated_zeros(length), crc32_of_zeros(length), length)


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


def grey_frame(marker, width, height):
    return jpeg_segment(marker, struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00")


def arithmetic_jpeg(width, height, scans):
    """A grey progressive JPEG with arithmetic coding (frame 0xFFCA): its DC
    scan, an AC scan, then AC refinement scans, all of no data. Arithmetic
    decoding of a refinement scan takes a step for every coefficient of every
    block, whatever the data holds."""
    quantisation = jpeg_segment(0xDB, b"\x00" + bytes([1] * 64))
    dc_scan = jpeg_segment(0xDA, b"\x01\x01\x00\x00\x00\x00")
    ac_scan = jpeg_segment(0xDA, b"\x01\x01\x00\x01\x3f\x01")
    refinement_scan = jpeg_segment(0xDA, b"\x01\x01\x00\x01\x3f\x10")
    return (b"\xff\xd8" + quantisation + grey_frame(0xCA, width, height) + dc_scan + ac_scan
            + refinement_scan * (scans - 2) + b"\xff\xd9")


def entropy_bits(bits):
    """A string of "0" and "1" as entropy-coded bytes: padded with ones, each
    0xFF followed by the stuffed 0x00."""
    bits += "1" * (-len(bits) % 8)
    out = bytearray()

    for start in range(0, len(bits), 8):
        out.append(int(bits[start:start + 8], 2))

        if out[-1] == 0xFF:
            out.append(0)

    return bytes(out)


def huffman_refinement_jpeg(width, height, scans):
    """A grey progressive Huffman JPEG: its DC scan, then AC refinement
    scans whose few bytes are runs of 32,767 empty blocks (EOB14): for every
    block of a run the decoder walks the whole band."""
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    quantisation = jpeg_segment(0xDB, b"\x00" + bytes([1] * 64))
    # DC table 0: one code "0" for a difference of 0; AC table 0: one code
    # "0" for EOB14, whose 14 extra bits of ones make a run of 32,767 blocks.
    huffman = jpeg_segment(0xC4, b"\x00" + bytes([1] + [0] * 15) + b"\x00" + b"\x10" + bytes([1] + [0] * 15) + b"\xe0")
    dc_scan = jpeg_segment(0xDA, b"\x01\x01\x00\x00\x00\x00") + entropy_bits("0" * blocks)
    runs = (blocks + 32766) // 32767
    ac_scan = jpeg_segment(0xDA, b"\x01\x01\x00\x01\x3f\x10") + entropy_bits(("0" + "1" * 14) * runs)
    return (b"\xff\xd8" + quantisation + grey_frame(0xC2, width, height) + huffman + dc_scan
            + ac_scan * (scans - 1) + b"\xff\xd9")


def colour_frame(marker, width, height):
    return jpeg_segment(marker, struct.pack(">BHHB", 8, height, width, 3) + b"\x01\x11\x00\x02\x11\x00\x03\x11\x00")


def colour_scan(components):
    return jpeg_segment(0xDA, bytes([len(components)]) + b"".join(bytes([c, 0]) for c in components) + b"\x00\x3f\x00")


def dense_colour_jpeg(width, height):
    """A sequential colour JPEG, every component at full size, whose every
    coefficient is coded as a 1 (a one-bit code and one bit of value): what
    a sequential scan costs most for its size."""
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    quantisation = jpeg_segment(0xDB, b"\x00" + bytes([1] * 64))
    # DC and AC table 0: one code "0", for a difference of size 1 and for run 0 size 1.
    huffman = jpeg_segment(0xC4, b"\x00" + bytes([1] + [0] * 15) + b"\x01" + b"\x10" + bytes([1] + [0] * 15) + b"\x01")
    return (b"\xff\xd8" + quantisation + colour_frame(0xC0, width, height) + huffman + colour_scan([1, 2, 3])
            + bytes(blocks * 3 * 64 * 2 // 8) + b"\xff\xd9")


def sequential_colour_jpeg_of_scans(width, height, scans):
    """A sequential colour JPEG of one component a scan, the components in
    turn: the decoder keeps the whole picture's coefficients until the last."""
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    quantisation = jpeg_segment(0xDB, b"\x00" + bytes([1] * 64))
    huffman = jpeg_segment(0xC4, b"\x00" + bytes([1] + [0] * 15) + b"\x00" + b"\x10" + bytes([1] + [0] * 15) + b"\x00")
    body = b"".join(colour_scan([1 + i % 3]) + bytes(blocks * 2 // 8) for i in range(scans))
    return b"\xff\xd8" + quantisation + colour_frame(0xC0, width, height) + huffman + body + b"\xff\xd9"


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


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def png_of_zeros(width, height, bit_depth, colour_type, interlaced, row_filter=0):
    """A PNG of the given kind whose every sample is 0 (a palette of two
    colours for colour type 3), every row under the given filter (4: Paeth,
    what libpng undoes slowest): a few hundred kilobytes for the largest."""
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    rows = []

    for x0, y0, dx, dy in ADAM7 if interlaced else [(0, 0, 1, 1)]:
        pass_width, pass_height = (width - x0 + dx - 1) // dx, (height - y0 + dy - 1) // dy

        if pass_width > 0 and pass_height > 0:
            rows.append((bytes([row_filter]) + bytes((pass_width * channels * bit_depth + 7) // 8), pass_height))

    header = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 1 if interlaced else 0)
    palette = png_chunk(b"PLTE", b"\x00\x00\x00\xff\xff\xff") if colour_type == 3 else b""
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + palette
            + png_chunk(b"IDAT", deflated_repeats(rows, raw=False)) + png_chunk(b"IEND", b""))


def panels_showing(pictures):
    return "".join('<Panel name="P%d"><gfx resource="%s"/></Panel>' % (i, picture) for i, picture in enumerate(pictures))


#==============================================================================
# Skins

def knobs_skin(count):
    return skin_xml("<Knob/>" * count)


def padded_skin_archive(length):
    """A skin of one knob and a stored entry of zeros that makes the archive
    exactly length bytes long."""
    head = [stored("skin.xml", knobs_skin(1).encode())]
    overhead = len(raw_zip(head + [stored("Padding", b"")]))
    archive = raw_zip(head + [stored("Padding", bytes(length - overhead))])
    assert len(archive) == length
    return archive


def every_budget_at_its_limit():
    """An inner archive of the most bytes it may have: pictures taking the
    whole decode budget, an entry of zeros that brings the inflated entries
    to their limit, and stored padding."""
    picture = png_of_zeros(2048, 1536, 8, 6, False, 4)
    description = skin_xml(panels_showing(["Big0.png", "Big1.png", "Zeros.png"])).encode()
    head = [stored("skin.xml", description), stored("Big0.png", picture), stored("Big1.png", picture),
            zeros_entry("Zeros.png", MAX_INFLATED_BYTES - len(description) - 2 * len(picture))]
    overhead = len(raw_zip(head + [stored("Padding", b"")]))
    archive = raw_zip(head + [stored("Padding", bytes(MAX_SKIN_ARCHIVE_BYTES - overhead))])
    assert len(archive) == MAX_SKIN_ARCHIVE_BYTES
    return archive


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

    # Pictures that cost far more to decode than their size says.
    for scans in (11, 32):
        yield "skinpackage", "jpeg-arithmetic-8192x4096-%d-scans-package" % scans, package_of(jpeg_skin_archive(arithmetic_jpeg(8192, 4096, scans)))

    ten = ["Knob%d.jpg" % i for i in range(10)]
    yield "skinpackage", "jpeg-arithmetic-2048x2048-32-scans-ten-package", package_of(
        skin_archive(skin_xml(panels_showing(ten)), [(name, arithmetic_jpeg(2048, 2048, 32)) for name in ten]))
    yield "skinpackage", "jpeg-arithmetic-8192x4096-32-scans-as-thumbnail-package", package_of(
        skin_archive(skin_xml(""), [("Thumbnail.png", arithmetic_jpeg(8192, 4096, 32))]))
    yield "skinpackage", "jpeg-huffman-8192x4096-32-refinement-scans-package", package_of(jpeg_skin_archive(huffman_refinement_jpeg(8192, 4096, 32)))

    # PNGs at the size limits: 16-bit and interlaced ones cost several times an 8-bit one.
    yield "skinpackage", "png-8192x4096-16-bit-rgba-interlaced-package", package_of(
        skin_archive(skin_xml(panels_showing(["Big.png"])), [("Big.png", png_of_zeros(8192, 4096, 16, 6, True))]))

    for name, bit_depth, colour_type in (("1-bit-palette", 1, 3), ("16-bit-rgba", 16, 6)):
        pictures = [("Big%d.png" % i, png_of_zeros(8192, 4096, bit_depth, colour_type, False)) for i in range(2)]
        yield "skinpackage", "png-8192x4096-%s-two-package" % name, package_of(
            skin_archive(skin_xml(panels_showing([picture for picture, _ in pictures])), pictures))

    yield "skinpackage", "png-8192x4096-strip-on-%d-knobs-package" % MAX_CONTROLS, package_of(
        skin_archive(skin_xml(knob_showing("Strip.png") * MAX_CONTROLS), [("Strip.png", png_of_zeros(8192, 4096, 8, 6, False))]))

    # Inflation: names of one entry of zeros, many entries of zeros, and an
    # inner archive at its former limit; each again at the limits now.
    for count in (64, 4096):
        names = ["Zeros%d.png" % i for i in range(count)]

        for size in (32 * MIB, MAX_ENTRY_BYTES):
            yield "skinpackage", "names-%d-of-one-%d-mib-entry-package" % (count, size // MIB), package_of(
                raw_zip([stored("skin.xml", skin_xml(panels_showing(names)).encode()), zeros_entry(names[0], size, names)]))

    names = ["Zeros%d.png" % i for i in range(24)]

    for size in (32 * MIB, MAX_ENTRY_BYTES):
        yield "skinpackage", "entries-24-of-%d-mib-package" % (size // MIB), package_of(
            raw_zip([stored("skin.xml", skin_xml(panels_showing(names)).encode())] + [zeros_entry(name, size) for name in names]))

    yield "skinpackage", "skin-archive-padded-to-64-mib-package", package_of(padded_skin_archive(64 * MIB))

    # At the limits that bound them now, and just past them.
    yield "skinpackage", "skin-archive-padded-to-the-limit-package", package_of(padded_skin_archive(MAX_SKIN_ARCHIVE_BYTES))
    yield "skinpackage", "skin-archive-padded-past-the-limit-package", package_of(padded_skin_archive(MAX_SKIN_ARCHIVE_BYTES + 1))

    shared = ["Shared%d.png" % i for i in range(2)]
    yield "skinpackage", "names-2-of-one-entry-skin-archive", raw_zip(
        [stored("skin.xml", skin_xml(panels_showing(shared)).encode()), stored(shared[0], b"\x00" * 64, shared)])

    for name, extra in (("at", 0), ("past", 1)):
        sizes = [MAX_INFLATED_BYTES // 2, MAX_INFLATED_BYTES // 2 - len(skin_xml(panels_showing(["A", "B"])).encode()) + extra]
        names = ["Zeros%d.png" % i for i in range(2)]
        yield "skinpackage", "entries-inflating-%s-the-limit-package" % name, package_of(
            raw_zip([stored("skin.xml", skin_xml(panels_showing(names)).encode())]
                    + [zeros_entry(entry, size) for entry, size in zip(names, sizes)]))

    # PNGs at the decode budget (in pictures of at most the pixel limit) and one row past it.
    for name, width, height, bit_depth, colour_type, interlaced, count in (
            ("8-bit-rgba-paeth", 2048, 1536, 8, 6, False, 2),
            ("16-bit-rgba-paeth", 2048, 1024, 16, 6, False, 1),
            ("16-bit-rgba-interlaced-paeth", 2048, 768, 16, 6, True, 1),
            ("1-bit-palette-interlaced-paeth", 2048, 1536, 1, 3, True, 1)):
        for suffix, extra in (("at", 0), ("past", 1)):
            pictures = [("Big%d.png" % i, png_of_zeros(width, height + (extra if i == count - 1 else 0), bit_depth,
                                                       colour_type, interlaced, 4)) for i in range(count)]
            yield "skinpackage", "png-%dx%d-%s-%d-%s-the-decode-budget-package" % (width, height, name, count, suffix), package_of(
                skin_archive(skin_xml(panels_showing([picture for picture, _ in pictures])), pictures))

    for suffix, height in (("at", 2048), ("past", 2049)):
        yield "skinpackage", "png-2048x%d-8-bit-rgba-paeth-%s-the-pixel-limit-package" % (height, suffix), package_of(
            skin_archive(skin_xml(panels_showing(["Big.png"])), [("Big.png", png_of_zeros(2048, height, 8, 6, False, 4))]))

    yield "skinpackage", "png-2048x2048-strip-on-%d-knobs-package" % MAX_CONTROLS, package_of(
        skin_archive(skin_xml(knob_showing("Strip.png") * MAX_CONTROLS), [("Strip.png", png_of_zeros(2048, 2048, 8, 6, False, 4))]))

    # JPEGs whose scans cost most within the budgets: every value of a colour
    # picture coded, progressive refinement scans (21 fit the decode budget
    # at this size), and a sequential picture of one scan per component
    # (decoded) or of 32 scans (refused).
    yield "skinpackage", "jpeg-2048x2048-every-value-coded-package", package_of(jpeg_skin_archive(dense_colour_jpeg(2048, 2048)))

    for scans in (21, 22):
        yield "skinpackage", "jpeg-huffman-2048x2048-%d-refinement-scans-package" % (scans - 1), package_of(
            jpeg_skin_archive(huffman_refinement_jpeg(2048, 2048, scans)))

    for scans in (3, 32):
        yield "skinpackage", "jpeg-sequential-colour-2048x2048-%d-scans-package" % scans, package_of(
            jpeg_skin_archive(sequential_colour_jpeg_of_scans(2048, 2048, scans)))

    # Everything at once: an inner archive at its limit, a picture taking the
    # whole decode budget and entries inflating to their limit.
    yield "skinpackage", "every-budget-at-its-limit-package", package_of(every_budget_at_its_limit())


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
