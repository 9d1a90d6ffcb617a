#!/usr/bin/env python3
"""Draws the Timer window's button pictures, 75 x 23 pixels, 24-bit: a play triangle (Start), two
bars (Pause) and a square (Reset), each on a raised button face and, for the pressed look, on a
sunken face with the symbol moved one pixel down and right. Symbol edges are smoothed by sampling
each pixel 4 x 4 times. Run it to rewrite the PNGs in timer/."""
import os
import struct
import sys
import zlib

WIDTH, HEIGHT = 75, 23
SUBSAMPLES = 4

WINDOW = (239, 239, 239)  # the dialog background, shown in the rounded-off corners
BORDER = (118, 118, 118)
RAISED = ((250, 250, 250), (222, 222, 222))  # face gradient, top to bottom
SUNKEN = ((200, 200, 200), (216, 216, 216))
HIGHLIGHT = (255, 255, 255)
SHADE = (186, 186, 186)
INNER_SHADOW = (168, 168, 168)

# Symbol: (fill colour, function telling whether a point (x, y) relative to the symbol's centre
# lies inside it).
SYMBOLS = {
    "play": ((34, 146, 58), lambda x, y: -4.5 <= x and abs(y) <= 5.5 * (5.5 - x) / 10.0),
    "pause": ((42, 92, 172), lambda x, y: abs(y) <= 5.5 and 1.5 <= abs(x) <= 4.5),
    "stop": ((196, 48, 42), lambda x, y: abs(x) <= 4.5 and abs(y) <= 4.5),
}


def mix(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def face(pressed):
    """The button without its symbol: border, bevel and a vertical gradient."""
    top, bottom = SUNKEN if pressed else RAISED
    pixels = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            edge_x = x in (0, WIDTH - 1)
            edge_y = y in (0, HEIGHT - 1)
            if edge_x and edge_y:
                row.append(WINDOW)
            elif edge_x or edge_y:
                row.append(BORDER)
            elif pressed and (x == 1 or y == 1):
                row.append(INNER_SHADOW)
            elif not pressed and (x == 1 or y == 1):
                row.append(HIGHLIGHT)
            elif not pressed and (x == WIDTH - 2 or y == HEIGHT - 2):
                row.append(SHADE)
            else:
                row.append(mix(top, bottom, y / (HEIGHT - 1)))
        pixels.append(row)
    return pixels


def draw(name, pressed):
    colour, inside = SYMBOLS[name]
    pixels = face(pressed)
    shift = 1 if pressed else 0
    cx, cy = (WIDTH - 1) / 2 + shift, (HEIGHT - 1) / 2 + shift
    for y in range(2, HEIGHT - 2):
        for x in range(2, WIDTH - 2):
            hits = 0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    px = x - cx + (sx + 0.5) / SUBSAMPLES - 0.5
                    py = y - cy + (sy + 0.5) / SUBSAMPLES - 0.5
                    hits += inside(px, py)
            if hits:
                pixels[y][x] = mix(pixels[y][x], colour, hits / SUBSAMPLES ** 2)
    return pixels


def write_png(path, pixels):
    raw = b"".join(b"\0" + b"".join(struct.pack("3B", *p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)  # 8-bit RGB
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as out:
        out.write(png)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "timer")
    for name in SYMBOLS:
        write_png(os.path.join(folder, "%s.png" % name), draw(name, False))
        write_png(os.path.join(folder, "%s-pressed.png" % name), draw(name, True))


if __name__ == "__main__":
    main()
