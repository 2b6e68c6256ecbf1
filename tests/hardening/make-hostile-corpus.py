#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pictomat developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Rebuilds tests/data/hostile/: broken and misleading image files made from small valid ones.

usage: python3 tests/hardening/make-hostile-corpus.py [OUTDIR]

Needs ImageMagick's convert (JPEG, GIF, TIFF, WEBP), avifenc, heif-enc and cjxl (packages.txt lists
them all). The output is deterministic for the same encoder versions. Every file stem is unique up
to its first dot, so a conversion job over the whole folder gives each source its own target.

Files made (prefix = the format of the valid file they come from):
  valid-<fmt>                  the untouched source, a control that must convert
  truncated-<fmt>-<n>          the first n bytes
  flipped-<fmt>-<offset>       one header byte inverted (offsets spread over the first 48 bytes)
  huge-<what>                  a declared size far beyond the reader's allocation limit (or zero)
  empty-<fmt>                  zero bytes
  <real>-with-<ext>-extension  right content, wrong suffix (png-with-jpeg-extension.jpg and friends)
  text-with-png-extension.png, noise-with-jpeg-extension.jpg
  exif-orientation-<v>.jpg     an EXIF orientation outside 1..8, and one whose IFD points past the end
  <fmt>-with-<ext>-extension   also formats Qt reads but the program does not take (BMP, XPM, ICO,
                               TGA, and an SVG that draws itself), which must never be decoded
  progressive-jpeg-<n>-scans   one scan repeated until the file holds n scans (500 is the most taken)
  avif-box-claims-<n>gb        an item whose box and extent declare gigabytes the file does not hold
  png-text-chunks-with-location.png  EXIF, IPTC and XMP as ImageMagick's "Raw profile type" text
                               chunks and Adobe's iTXt, beside ImageMagick's own location properties
  geotiff-tie-point.tiff       a picture placed on the map by GeoTIFF's tie point, scale and keys
  xmp-drone-location.jpg       a drone's position in XMP (drone-dji, Pix4D's Camera) and no EXIF GPS
The directory named photo.jpg, the symbolic-link loops and the unreadable file need the file system
of the test run and are made by the tests themselves.
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

WIDTH, HEIGHT = 48, 32


def pattern_rgb():
    """A small picture with edges and gradients, so every codec has real work to do."""
    rows = []
    for y in range(HEIGHT):
        row = bytearray()
        for x in range(WIDTH):
            r = x * 255 // (WIDTH - 1)
            g = y * 255 // (HEIGHT - 1)
            b = 255 if (x // 6 + y // 6) % 2 else 40
            row += bytes((r, g, b))
        rows.append(bytes(row))
    return rows


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def make_png(width, height, rows, color_type=2):
    ihdr = struct.pack(">IIBBBBB", width, height, 8, color_type, 0, 0, 0)
    raw = b"".join(b"\x00" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def encode_all(work):
    """The valid files, by format name: PNG made here, the rest by the codecs' own tools."""
    png = make_png(WIDTH, HEIGHT, pattern_rgb())
    src = os.path.join(work, "src.png")
    with open(src, "wb") as f:
        f.write(png)
    convert = shutil.which("convert", path="/usr/bin") or shutil.which("convert")
    out = {"png": png}
    for fmt, args in (("jpg", ["-quality", "90"]), ("gif", []), ("tiff", ["-compress", "lzw"]),
                      ("webp", ["-quality", "80"])):
        dst = os.path.join(work, "src." + fmt)
        run(convert, src, "-strip", *args, dst)
        out[fmt] = open(dst, "rb").read()
    dst = os.path.join(work, "progressive.jpg")
    run(convert, src, "-strip", "-quality", "90", "-interlace", "Plane", dst)
    out["progressive-jpg"] = open(dst, "rb").read()
    dst = os.path.join(work, "src.avif")
    run("avifenc", "--speed", "10", "--min", "20", "--max", "30", src, dst)
    out["avif"] = open(dst, "rb").read()
    dst = os.path.join(work, "src.heic")
    run("heif-enc", "-q", "60", "-o", dst, src)
    out["heic"] = open(dst, "rb").read()
    dst = os.path.join(work, "src.jxl")
    run("cjxl", "-d", "1", "-e", "3", src, dst)
    out["jxl"] = open(dst, "rb").read()
    return out


def truncation_lengths(size):
    points = {1, 2, 4, 8, 16, 33, 64, 150, size // 2, size - 16, size - 1}
    return sorted(n for n in points if 0 < n < size)


def flip_offsets(data):
    rnd = random.Random(len(data))
    return sorted({0, 3, 9} | {rnd.randrange(10, min(48, len(data))) for _ in range(3)})


def patch_png_ihdr(png, width, height):
    ihdr = bytearray(png[16:29])
    struct.pack_into(">II", ihdr, 0, width, height)
    return png[:8] + png_chunk(b"IHDR", bytes(ihdr)) + png[33:]


def patch_jpeg_sof(jpg, width, height):
    data = bytearray(jpg)
    i = 2
    while i + 4 < len(data):
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            struct.pack_into(">HH", data, i + 5, height, width)
            return bytes(data)
        i += 2 + length
    raise ValueError("no SOF marker")


def patch_gif_screen(gif, width, height):
    data = bytearray(gif)
    struct.pack_into("<HH", data, 6, width, height)
    image = data.index(b"\x2c", 13)  # the image descriptor follows the colour table
    struct.pack_into("<HH", data, image + 5, width, height)
    return bytes(data)


def patch_tiff_size(tiff, width, height):
    data = bytearray(tiff)
    order = "<" if data[:2] == b"II" else ">"
    ifd = struct.unpack(order + "I", data[4:8])[0]
    count = struct.unpack(order + "H", data[ifd:ifd + 2])[0]
    for n in range(count):
        entry = ifd + 2 + 12 * n
        tag, kind = struct.unpack(order + "HH", data[entry:entry + 4])
        if tag in (256, 257):
            value = width if tag == 256 else height
            if kind == 3:
                struct.pack_into(order + "HHIH", data, entry, tag, 3, 1, min(value, 0xFFFF))
            else:
                struct.pack_into(order + "HHII", data, entry, tag, 4, 1, value)
    return bytes(data)


def patch_webp_vp8(webp, width, height):
    data = bytearray(webp)
    start = data.index(b"\x9d\x01\x2a")
    struct.pack_into("<HH", data, start + 3, width & 0x3FFF, height & 0x3FFF)
    return bytes(data)


def patch_ispe(heif, width, height):
    data = bytearray(heif)
    box = data.index(b"ispe")
    struct.pack_into(">II", data, box + 8, width, height)
    return bytes(data)


def exif_segment(orientation, ifd_offset=8):
    tiff = b"MM\x00\x2a" + struct.pack(">I", ifd_offset)
    tiff += struct.pack(">H", 1) + struct.pack(">HHIHH", 0x0112, 3, 1, orientation, 0) + struct.pack(">I", 0)
    body = b"Exif\x00\x00" + tiff
    return b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body


def with_exif(jpg, segment):
    return jpg[:2] + segment + jpg[2:]


def bmp(width, height, rows):
    body = b"".join(bytes(p for x in range(width) for p in reversed(r[3 * x:3 * x + 3])) + b"\0" * ((-3 * width) % 4)
                    for r in reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + body


def tga(width, height, rows):
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 24, 0x20)
    body = b"".join(bytes(p for x in range(width) for p in reversed(r[3 * x:3 * x + 3])) for r in rows)
    return header + body


def ico(png):
    entry = struct.pack("<BBBBHHII", WIDTH, HEIGHT, 0, 0, 1, 32, len(png), 22)
    return struct.pack("<HHH", 0, 1, 1) + entry + png


XPM = (b'/* XPM */\nstatic char *x[] = {\n"4 2 2 1",\n"a c #ff0000",\n"b c #0000ff",\n'
       b'"abab",\n"baba"};\n')

# Draws itself as its own picture: a renderer that follows the reference recurses without end.
SVG_SELF = (b'<svg xmlns="http://www.w3.org/2000/svg" width="48" height="32">'
            b'<image href="svg-with-png-extension.png" width="48" height="32"/></svg>\n')


def jpeg_scans(jpg):
    """The byte ranges of the scans (SOS segment and its coded data) of a JPEG."""
    scans, i = [], 2
    while i + 4 <= len(jpg) and jpg[i + 1] != 0xD9:
        length = struct.unpack(">H", jpg[i + 2:i + 4])[0]
        if jpg[i + 1] != 0xDA:
            i += 2 + length
            continue
        j = i + 2 + length
        while jpg[j] != 0xFF or jpg[j + 1] == 0 or 0xD0 <= jpg[j + 1] <= 0xD7:
            j += 1
        scans.append((i, j))
        i = j
    return scans


def with_scans(progressive, total):
    """The progressive JPEG with its shortest scan repeated until it holds `total` scans."""
    scans = jpeg_scans(progressive)
    start, end = min(scans, key=lambda s: s[1] - s[0])
    last = scans[-1][1]
    return progressive[:last] + progressive[start:end] * (total - len(scans)) + progressive[last:]


def claims_gigabytes(avif, gigabytes):
    """The AVIF with its 'mdat' box and the item's extent claiming `gigabytes` GB."""
    data = bytearray(avif)
    size = gigabytes << 30
    mdat = data.index(b"mdat") - 4
    data[mdat:mdat + 8] = struct.pack(">I4s", 1, b"mdat")
    data[mdat + 8:mdat + 8] = struct.pack(">Q", size)
    iloc = data.index(b"iloc") - 4
    # Everything after the mdat header moved by 8 bytes; the extents are patched to the claim.
    version = data[iloc + 8]
    sizes = data[iloc + 12]
    offset_size, length_size = sizes >> 4, sizes & 15
    if version == 0 and offset_size == 4 and length_size == 4:
        count = struct.unpack(">H", data[iloc + 14:iloc + 16])[0]
        at = iloc + 16
        for _ in range(count):
            extents = struct.unpack(">H", data[at + 6:at + 8])[0]
            at += 8
            for _ in range(extents):
                offset = struct.unpack(">I", data[at:at + 4])[0]
                struct.pack_into(">II", data, at, offset + 8, 0xFFFFFFF0)
                at += 8
    return bytes(data)


def gps_exif():
    """A big-endian EXIF block (no "Exif" header) with a make and a GPS latitude 48/1 51/1 756/25."""
    make = b"Pictocam\0"
    ifd0 = 8
    gps = ifd0 + 2 + 2 * 12 + 4
    make_at = gps + 2 + 2 * 12 + 4
    lat_at = make_at + len(make)
    out = b"MM\x00\x2a" + struct.pack(">I", ifd0)
    out += struct.pack(">H", 2) + struct.pack(">HHII", 0x010F, 2, len(make), make_at)
    out += struct.pack(">HHII", 0x8825, 4, 1, gps) + struct.pack(">I", 0)
    out += struct.pack(">H", 2) + struct.pack(">HHI", 1, 2, 2) + b"N\0\0\0"
    out += struct.pack(">HHII", 2, 5, 3, lat_at) + struct.pack(">I", 0)
    return out + make + struct.pack(">6I", 48, 1, 51, 1, 756, 25)


def raw_profile(kind, data):
    text = "\n%s\n%8d\n" % (kind, len(data))
    hexed = data.hex()
    return (text + "".join(hexed[i:i + 72] + "\n" for i in range(0, len(hexed), 72))).encode()


LOCATION_XMP = (b"<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
                b"<rdf:Description rdf:about='' xmlns:exif='http://ns.adobe.com/exif/1.0/'"
                b" xmlns:photoshop='http://ns.adobe.com/photoshop/1.0/'"
                b" xmlns:drone-dji='http://www.dji.com/drone-dji/1.0/' xmlns:Camera='http://pix4d.com/camera/1.0/'"
                b" exif:GPSLatitude='48,51.504N' photoshop:City='Paris' drone-dji:GpsLatitude='48.8584'"
                b" drone-dji:GpsLongtitude='2.2945' drone-dji:AbsoluteAltitude='+118.45'"
                b" Camera:GPSXYAccuracy='0.0342'/></rdf:RDF></x:xmpmeta>")


def png_with_location_text(width, height, rows):
    png = make_png(width, height, rows)
    iend = png.rindex(b"IEND") - 4
    chunks = png_chunk(b"zTXt", b"Raw profile type exif\0\0" + zlib.compress(raw_profile("exif", b"Exif\0\0" + gps_exif())))
    chunks += png_chunk(b"tEXt", b"photoshop:City\0Paris")
    chunks += png_chunk(b"tEXt", b"exif:GPSLatitude\x0048/1, 51/1, 756/25")
    chunks += png_chunk(b"iTXt", b"XML:com.adobe.xmp\0\0\0\0\0" + LOCATION_XMP)
    return png[:iend] + chunks + png[iend:]


def big_comment_exif(size):
    """EXIF of more than one JPEG segment: IFD0 with Make, an EXIF IFD with a UserComment of `size` bytes."""
    comment_at = 8 + 2 + 2 * 12 + 4 + 2 + 12 + 4
    ifd0 = struct.pack("<H", 2) + struct.pack("<HHII", 0x10F, 2, 4, 0x636950) + struct.pack("<HHII", 0x8769, 4, 1, 38)
    exif_ifd = struct.pack("<H", 1) + struct.pack("<HHII", 0x9286, 7, size, comment_at)
    return b"II*\0" + struct.pack("<I", 8) + ifd0 + struct.pack("<I", 0) + exif_ifd + struct.pack("<I", 0) + b"x" * size


def png_with_big_metadata(width, height, rows, xmp, exif):
    """XMP of more than 64 KB in a compressed text chunk as Adobe stores it, EXIF in an eXIf chunk
    (exiv2 reads no more than 128 KB from a compressed chunk: ImageMagick's hex profile would not do)."""
    png = make_png(width, height, rows)
    iend = png.rindex(b"IEND") - 4
    chunks = b""
    if exif:
        chunks += png_chunk(b"eXIf", exif)
    if xmp:
        chunks += png_chunk(b"iTXt", b"XML:com.adobe.xmp\0\1\0\0\0" + zlib.compress(xmp))
    return png[:iend] + chunks + png[iend:]


def ancestors_xmp(count):
    items = b"".join(b"<rdf:li>xmp.did:%032d</rdf:li>" % i for i in range(count))
    return (b"<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
            b"<rdf:Description rdf:about='' xmlns:photoshop='http://ns.adobe.com/photoshop/1.0/'>"
            b"<photoshop:DocumentAncestors><rdf:Bag>" + items + b"</rdf:Bag></photoshop:DocumentAncestors>"
            b"</rdf:Description></rdf:RDF></x:xmpmeta>")


def cjxl_with_metadata(jpg, exif, xmp):
    """What cjxl makes of a JPEG with EXIF and XMP: both in Brotli-compressed ("brob") boxes."""
    with tempfile.TemporaryDirectory() as work:
        src, dst = os.path.join(work, "src.jpg"), os.path.join(work, "dst.jxl")
        with open(src, "wb") as f:
            body = b"Exif\0\0" + exif
            f.write(with_xmp(with_exif(jpg, b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body), xmp))
        run("cjxl", src, dst)
        return open(dst, "rb").read()


def geotiff(width, height):
    """A little-endian grey TIFF with ModelPixelScale, ModelTiePoint and a GeoKeyDirectory."""
    pixels = bytes((x * 255 // (width - 1)) for y in range(height) for x in range(width))
    scale = struct.pack("<3d", 0.001, 0.001, 0.0)
    tie = struct.pack("<6d", 0, 0, 0, 2.2945, 48.8583, 0)
    keys = struct.pack("<8H", 1, 1, 0, 1, 1024, 0, 1, 2)
    entries = [(256, 3, 1, width), (257, 3, 1, height), (258, 3, 1, 8), (259, 3, 1, 1), (262, 3, 1, 1),
               (273, 4, 1, None), (277, 3, 1, 1), (278, 3, 1, height), (279, 4, 1, len(pixels)),
               (33550, 12, 3, None), (33922, 12, 6, None), (34735, 3, 8, None)]
    data_at = 8
    scale_at = data_at + len(pixels)
    tie_at = scale_at + len(scale)
    keys_at = tie_at + len(tie)
    ifd_at = keys_at + len(keys)
    values = {273: data_at, 33550: scale_at, 33922: tie_at, 34735: keys_at}
    ifd = struct.pack("<H", len(entries))
    for tag, kind, count, value in entries:
        value = values.get(tag, value)
        if kind == 3 and count == 1:
            ifd += struct.pack("<HHIHH", tag, kind, count, value, 0)
        else:
            ifd += struct.pack("<HHII", tag, kind, count, value)
    ifd += struct.pack("<I", 0)
    return b"II\x2a\x00" + struct.pack("<I", ifd_at) + pixels + scale + tie + keys + ifd


def with_xmp(jpg, packet):
    body = b"http://ns.adobe.com/xap/1.0/\0" + packet
    return jpg[:2] + b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body + jpg[2:]


def box(kind, payload):
    return struct.pack(">I", 8 + len(payload)) + kind + payload


def full_box(kind, version, payload):
    return box(kind, struct.pack(">I", version << 24) + payload)


# A HEIF grid of rows x columns tiles of 16 x 16 pixels: only the descriptions, no coded data.
# libheif reads every tile's description before anything can be refused by size.
def heif_grid(rows, columns):
    tiles = rows * columns
    infe = b"".join(full_box(b"infe", 2, struct.pack(">HH", i, 0) + (b"grid" if i == 1 else b"hvc1") + b"\0")
                    for i in range(1, tiles + 2))
    grid = struct.pack(">BBBBHH", 0, 0, rows - 1, columns - 1, 16 * columns, 16 * rows)
    ipco = box(b"ipco", full_box(b"ispe", 0, struct.pack(">II", 16, 16))
               + full_box(b"ispe", 0, struct.pack(">II", 16 * columns, 16 * rows))
               + box(b"hvcC", b"\x01" + bytes(21) + b"\x00"))
    ipma = struct.pack(">I", tiles + 1) + struct.pack(">HBB", 1, 1, 0x82) + b"".join(
        struct.pack(">HBBB", i, 2, 0x81, 0x83) for i in range(2, tiles + 2))
    meta = (full_box(b"hdlr", 0, struct.pack(">I", 0) + b"pict" + bytes(13))
            + full_box(b"pitm", 0, struct.pack(">H", 1))
            + full_box(b"iinf", 0, struct.pack(">H", tiles + 1) + infe)
            + full_box(b"iloc", 1, struct.pack(">HHHHHHII", 0x4400, 1, 1, 1, 0, 1, 0, len(grid)))
            + box(b"idat", grid)
            + box(b"iprp", ipco + full_box(b"ipma", 0, ipma))
            + full_box(b"iref", 0, box(b"dimg", struct.pack(">HH", 1, tiles)
                                       + b"".join(struct.pack(">H", i) for i in range(2, tiles + 2)))))
    return box(b"ftyp", b"heic" + bytes(4) + b"mif1heic") + full_box(b"meta", 0, meta) + box(b"mdat", b"")


def hostile_files(valid):
    files = {}
    for fmt, data in valid.items():
        if "-" in fmt:
            continue
        files["valid-%s.%s" % (fmt, fmt)] = data
        files["empty-%s.%s" % (fmt, fmt)] = b""
        for n in truncation_lengths(len(data)):
            files["truncated-%s-%d.%s" % (fmt, n, fmt)] = data[:n]
        for offset in flip_offsets(data):
            flipped = bytearray(data)
            flipped[offset] ^= 0xFF
            files["flipped-%s-%d.%s" % (fmt, offset, fmt)] = bytes(flipped)

    png, jpg = valid["png"], valid["jpg"]
    files["huge-png-65535x65535.png"] = patch_png_ihdr(png, 65535, 65535)
    files["huge-png-2147483647x1.png"] = patch_png_ihdr(png, 0x7FFFFFFF, 1)
    files["huge-png-0x0.png"] = patch_png_ihdr(png, 0, 0)
    # Within the allocation limit but with the pixel data of a 48x32 picture: a full-size
    # buffer is allocated and the decoder runs out of data.
    files["huge-png-6000x4000-short-data.png"] = patch_png_ihdr(png, 6000, 4000)
    files["huge-jpeg-65500x65500.jpg"] = patch_jpeg_sof(jpg, 65500, 65500)
    files["huge-jpeg-0x0.jpg"] = patch_jpeg_sof(jpg, 0, 0)
    files["huge-gif-65535x65535.gif"] = patch_gif_screen(valid["gif"], 65535, 65535)
    files["huge-tiff-4294967295x4294967295.tiff"] = patch_tiff_size(valid["tiff"], 0xFFFFFFFF, 0xFFFFFFFF)
    files["huge-tiff-65535x65535.tiff"] = patch_tiff_size(valid["tiff"], 65535, 65535)
    files["huge-webp-16383x16383.webp"] = patch_webp_vp8(valid["webp"], 16383, 16383)
    files["huge-avif-100000x100000.avif"] = patch_ispe(valid["avif"], 100000, 100000)
    files["huge-heic-100000x100000.heic"] = patch_ispe(valid["heic"], 100000, 100000)

    files["png-with-jpeg-extension.jpg"] = png
    files["jpeg-with-png-extension.png"] = jpg
    files["gif-with-webp-extension.webp"] = valid["gif"]
    files["tiff-with-avif-extension.avif"] = valid["tiff"]
    files["webp-with-heic-extension.heic"] = valid["webp"]
    files["jxl-with-gif-extension.gif"] = valid["jxl"]
    files["text-with-png-extension.png"] = b"This is a shopping list, not a picture.\n"
    files["noise-with-jpeg-extension.jpg"] = bytes(random.Random(7).randrange(256) for _ in range(3000))

    rows = pattern_rgb()
    files["bmp-with-jpeg-extension.jpg"] = bmp(WIDTH, HEIGHT, rows)
    files["tga-with-tiff-extension.tiff"] = tga(WIDTH, HEIGHT, rows)
    files["ico-with-webp-extension.webp"] = ico(png)
    files["xpm-with-png-extension.png"] = XPM
    files["svg-with-png-extension.png"] = SVG_SELF
    for total in (500, 501, 2000):
        files["progressive-jpeg-%d-scans.jpg" % total] = with_scans(valid["progressive-jpg"], total)
    files["avif-box-claims-30gb.avif"] = claims_gigabytes(valid["avif"], 30)
    files["heic-grid-1056-tiles.heic"] = heif_grid(32, 33)

    for value in (0, 9, 65535):
        files["exif-orientation-%d.jpg" % value] = with_exif(jpg, exif_segment(value))
    files["exif-orientation-ifd-past-end.jpg"] = with_exif(jpg, exif_segment(6, ifd_offset=0x7FFFFFF0))

    # Location under other names, which "Remove location" must take out.
    files["png-text-chunks-with-location.png"] = png_with_location_text(WIDTH, HEIGHT, rows)
    files["geotiff-tie-point.tiff"] = geotiff(WIDTH, HEIGHT)
    files["xmp-drone-location.jpg"] = with_xmp(jpg, LOCATION_XMP)

    # Metadata too large for one JPEG segment, and metadata only libjxl can unpack.
    files["png-xmp-over-64kb.png"] = png_with_big_metadata(WIDTH, HEIGHT, rows, ancestors_xmp(2000), None)
    files["png-exif-over-64kb.png"] = png_with_big_metadata(WIDTH, HEIGHT, rows, None, big_comment_exif(66000))
    files["jxl-metadata-in-brob-boxes.jxl"] = cjxl_with_metadata(jpg, gps_exif(), LOCATION_XMP)
    return files


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "hostile")
    with tempfile.TemporaryDirectory() as work:
        files = hostile_files(encode_all(work))
    stems = [name.split(".")[0] for name in files]
    assert len(stems) == len(set(stems)), "two files would share a target name"
    if os.path.isdir(out):
        shutil.rmtree(out)
    os.makedirs(out)
    for name, data in sorted(files.items()):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    total = sum(len(d) for d in files.values())
    print("%d files, %d bytes in %s" % (len(files), total, os.path.normpath(out)))


if __name__ == "__main__":
    main()
