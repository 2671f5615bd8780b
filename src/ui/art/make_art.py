#!/usr/bin/env python3
"""Regenerates the windows' images and the application icon from the SVG files beside this script.

Each image becomes an icon file (32 bits per pixel, with the mask Windows wants beside the alpha
channel), so the image lists and the window keep their soft edges on every Windows:
  <name>.ico  the toolbar and folder tree images at 16, 20, 24 and 32 pixels (96 to 192 dpi)
  app.ico     APPICON at 16 (app16.svg), 32 and 48 pixels (app.svg)
rsvg-convert (Debian package librsvg2-bin) draws the pixels; with --sheet FILE the script also
writes a PNG of every image, eight times enlarged, for review.
"""
import struct
import subprocess
import sys
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
SMALL_SIZES = [16, 20, 24, 32]
SMALL = ["folder_add", "delete", "save", "refresh", "folder_check", "page_check", "tree_folder"]
APP_SIZES = [16, 32, 48]


def render(svg, size):
    """The SVG drawn at size x size: rows of (r, g, b, a) tuples."""
    png = subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), str(svg)],
                         check=True, capture_output=True).stdout
    return decode_png(png)


def decode_png(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert (depth, colour, interlace) == (8, 6, 0), "expected 8-bit RGBA, not interlaced"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up, corner = previous[i], previous[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(line[x * 4:x * 4 + 4]) for x in range(width)])
        previous = line
    return rows


def icon_image(rows):
    """One icon directory image: BITMAPINFOHEADER, BGRA rows bottom-up, then the AND mask."""
    size = len(rows)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + bytes(mask)


def write_icon(path, images):
    offset = 6 + 16 * len(images)
    directory, bodies = struct.pack("<HHH", 0, 1, len(images)), b""
    for rows in images:
        body = icon_image(rows)
        size = len(rows)
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
        bodies += body
    path.write_bytes(directory + bodies)


def write_sheet(path, images, zoom=8, gap=4):
    """A review sheet: every image enlarged, side by side on a light grey ground."""
    height = max(len(rows) for rows in images) * zoom
    width = sum(len(rows) * zoom + gap for rows in images) + gap
    canvas = [[(235, 235, 235)] * width for _ in range(height + 2 * gap)]
    left = gap
    for rows in images:
        for y, row in enumerate(rows):
            for x, (r, g, b, a) in enumerate(row):
                colour = tuple((c * a + 235 * (255 - a)) // 255 for c in (r, g, b))
                for dy in range(zoom):
                    line = canvas[gap + y * zoom + dy]
                    line[left + x * zoom:left + (x + 1) * zoom] = [colour] * zoom
        left += len(rows) * zoom + gap
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in line) for line in canvas)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, len(canvas), 8, 2, 0, 0, 0))
                     + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    sheet = []
    for name in SMALL:
        images = [render(HERE / f"{name}.svg", size) for size in SMALL_SIZES]
        write_icon(HERE / f"{name}.ico", images)
        sheet.append(images[0])
    # At 16 pixels the icon has a drawing of its own: the large one's detail would only blur.
    app = [render(HERE / ("app16.svg" if size == 16 else "app.svg"), size) for size in APP_SIZES]
    write_icon(HERE / "app.ico", app)
    sheet += app
    if len(sys.argv) == 3 and sys.argv[1] == "--sheet":
        write_sheet(Path(sys.argv[2]), sheet)


if __name__ == "__main__":
    main()
