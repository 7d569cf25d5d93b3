#!/usr/bin/env python3
"""Draws the application icon: a graticule with a marked position and a code bar.

Writes ui/icons/miralto-16.png and miralto-32.png (16 colours) and miralto-32-mono.png
(2 colours) as palette PNGs, miralto.ico with the same three images for the Windows executable,
and the same design as ui/icons/miralto.svg. Run it again after changing the drawing.
"""
import struct
import zlib
from pathlib import Path

PALETTE16 = [
    (255, 255, 255), (20, 60, 110), (40, 110, 170), (200, 225, 245),
    (220, 40, 40), (255, 210, 60), (0, 0, 0), (120, 160, 200),
] + [(0, 0, 0)] * 8
PALETTE2 = [(255, 255, 255), (0, 0, 0)]


def shapes(mono):
    """The design as rectangles (x0, y0, x1, y1, palette index) on a 32-unit square."""
    bg, frame, grid, mark, bar = (0, 1, 1, 1, 1) if mono else (3, 1, 2, 4, 5)
    out = [(0, 0, 32, 32, bg)]
    def rect(x0, y0, x1, y1, c):
        out.append((x0, y0, x1, y1, c))
    rect(0, 0, 32, 2, frame); rect(0, 30, 32, 32, frame)
    rect(0, 0, 2, 32, frame); rect(30, 0, 32, 32, frame)
    for v in (10, 20):
        rect(v, 2, v + 2, 24, grid)
    for h in (8, 16):
        rect(2, h, 30, h + 2, grid)
    rect(17, 5, 25, 13, mark)            # the marked position
    if not mono:
        rect(19, 7, 23, 11, 0)
        rect(20, 8, 22, 10, mark)
    for i, x in enumerate(range(4, 28, 3)):  # the code: a bar of digits
        rect(x, 25 if i % 2 else 26, x + 2, 29, bar)
    return out


def draw(size, mono):
    img = [[0] * size for _ in range(size)]
    s = size / 32
    for x0, y0, x1, y1, c in shapes(mono):
        for y in range(round(y0 * s), round(y1 * s)):
            for x in range(round(x0 * s), round(x1 * s)):
                img[y][x] = c
    return img


def svg(path, palette):
    """The same design as a scalable icon, for the hicolor theme's scalable folder."""
    rects = "".join(
        f'<rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" '
        f'fill="#{palette[c][0]:02x}{palette[c][1]:02x}{palette[c][2]:02x}"/>\n'
        for x0, y0, x1, y1, c in shapes(False))
    Path(path).write_text(
        '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32" '
        'shape-rendering="crispEdges">\n' + rects + "</svg>\n")


def png(path, img, palette, depth):
    size = len(img)
    raw = b""
    for row in img:
        bits = "".join(format(c, f"0{depth}b") for c in row)
        bits += "0" * (-len(bits) % 8)
        raw += b"\0" + int(bits, 2).to_bytes(len(bits) // 8, "big")
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, depth, 3, 0, 0, 0))
    data += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    data += chunk(b"IDAT", zlib.compress(raw, 9))
    data += chunk(b"IEND", b"")
    Path(path).write_bytes(data)


def bmp(img, palette, depth):
    """An icon directory's image: a bottom-up BITMAPINFOHEADER bitmap of twice the height (the
    colour rows, then the transparency mask, all opaque here), rows padded to 4 bytes."""
    size = len(img)
    def rows(pixels, bits):
        out = b""
        for row in reversed(pixels):
            line = "".join(format(c, f"0{bits}b") for c in row)
            line += "0" * (-len(line) % 32)
            out += int(line, 2).to_bytes(len(line) // 8, "big")
        return out
    colours = rows(img, depth)
    mask = rows([[0] * size for _ in range(size)], 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, depth, 0,
                         len(colours) + len(mask), 0, 0, len(palette), 0)
    rgbquads = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + rgbquads + colours + mask


def ico(path, images):
    """images: (img, palette, depth) in the order of the icon directory."""
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    bodies = b""
    for img, palette, depth in images:
        body = bmp(img, palette, depth)
        size = len(img)
        data += struct.pack("<BBBBHHII", size, size, len(palette), 0, 1, depth, len(body),
                            offset + len(bodies))
        bodies += body
    Path(path).write_bytes(data + bodies)


out = Path(__file__).resolve().parent.parent / "ui" / "icons"
out.mkdir(parents=True, exist_ok=True)
png(out / "miralto-32.png", draw(32, False), PALETTE16, 4)
png(out / "miralto-16.png", draw(16, False), PALETTE16, 4)
png(out / "miralto-32-mono.png", draw(32, True), PALETTE2, 1)
svg(out / "miralto.svg", PALETTE16)
ico(out / "miralto.ico", [(draw(32, True), PALETTE2, 1), (draw(32, False), PALETTE16, 4),
                          (draw(16, False), PALETTE16, 4)])
