#!/usr/bin/env python3
"""Draws the four tray pictures pixel by pixel at the sizes panels use (16, 22, 24 and 32 px):
a down arrow (download) on the left and an up arrow (upload) on the right, grey when idle, green
while that direction carries traffic. Drawn on the pixel grid rather than scaled from one
picture, so each size stays sharp. Run it from this folder to rewrite the PNGs."""
import os
import struct
import sys
import zlib

# Per size: arrow width (odd, the head's width), shaft width, arrow height, top row, left column
# of the down arrow and of the up arrow.
GEOMETRY = {
    16: (7, 3, 14, 1, 0, 9),
    22: (9, 3, 20, 1, 1, 12),
    24: (11, 5, 22, 1, 0, 13),
    32: (13, 5, 28, 2, 2, 17),
}

# (fill, edge) as RGBA; the darker edge keeps the arrow readable on light and dark panels.
GREY = ((178, 178, 178, 255), (88, 88, 88, 255))
GREEN = ((64, 214, 84, 255), (22, 112, 38, 255))

# Picture number: (download active, upload active).
PICTURES = {117: (False, False), 119: (True, True), 120: (False, True), 121: (True, False)}


def arrow_cells(width, shaft, height, top, left, pointing_down):
    """The cells of one arrow: a 45-degree head with a full-width row at its base, so the head
    keeps some body at 16 px."""
    cells = set()
    head = (width + 1) // 2
    centre = left + width // 2
    for row in range(height):
        from_tip = height - 1 - row if pointing_down else row
        if from_tip <= head:
            half = min(from_tip, width // 2)
        else:
            half = shaft // 2
        for col in range(centre - half, centre + half + 1):
            cells.add((col, top + row))
    return cells


def draw(size, down_active, up_active):
    width, shaft, height, top, left_down, left_up = GEOMETRY[size]
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    for active, left, pointing_down in ((down_active, left_down, True),
                                        (up_active, left_up, False)):
        fill, edge = GREEN if active else GREY
        cells = arrow_cells(width, shaft, height, top, left, pointing_down)
        for (x, y) in cells:
            inner = all(n in cells for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))
            pixels[y][x] = fill if inner else edge
    return pixels


def write_png(path, pixels):
    size = len(pixels)
    raw = b"".join(b"\0" + b"".join(struct.pack("4B", *p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as out:
        out.write(png)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for number, (down_active, up_active) in PICTURES.items():
        for size in GEOMETRY:
            write_png(os.path.join(folder, "tray%d-%d.png" % (number, size)),
                      draw(size, down_active, up_active))


if __name__ == "__main__":
    main()
