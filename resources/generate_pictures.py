#!/usr/bin/env python3
"""Draws Skarn's pictures and writes them as PNG files beside this script.

    generate_pictures.py           writes every picture
    generate_pictures.py --check   exits 1 when a written picture differs from
                                   what this script draws (pixels and palette)

Pictures, by the name the program loads them with:
  icons/141-32.png, icons/141-16.png   the large application icon (16 colours)
  icons/142-16.png                     the small application icon (16 colours)
  icons/skarn-{16,32,48,128}.png       the desktop icon (full colour)
  bitmaps/{NEW,SAVE,DEL}{U,D,F}.png    faces of the NEW/SAVE/DEL buttons,
                                       18 x 21, 16 colours: normal, pressed,
                                       focused
  bitmaps/154.png                      the warrior of the Results dialog,
                                       42 x 79, 256 colours, sepia on grey

Only the standard library is used, so any Python 3 runs it.
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# --- PNG ---------------------------------------------------------------------


def _chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def encode_indexed(width, height, pixels, palette, transparent=None):
    """pixels: rows of palette indices. 4 bits a pixel for up to 16 colours."""
    depth = 4 if len(palette) <= 16 else 8
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter: none
        if depth == 8:
            raw.extend(row)
        else:
            for x in range(0, width, 2):
                high = row[x]
                low = row[x + 1] if x + 1 < width else 0
                raw.append(high << 4 | low)
    chunks = [(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, 3, 0, 0, 0)),
              (b"PLTE", b"".join(bytes(c) for c in palette))]
    if transparent is not None:
        chunks.append((b"tRNS", bytes(0 if i == transparent else 255
                                      for i in range(transparent + 1))))
    chunks.append((b"IDAT", zlib.compress(bytes(raw), 9)))
    return chunks


def encode_rgba(width, height, pixels):
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw.extend((r, g, b, a))
    return [(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)),
            (b"IDAT", zlib.compress(bytes(raw), 9))]


def png_bytes(chunks):
    return b"\x89PNG\r\n\x1a\n" + b"".join(_chunk(k, d) for k, d in chunks) + _chunk(b"IEND", b"")


def png_content(data):
    """The chunks that fix a picture, with the image data decompressed, so
    that files written by another zlib still compare equal."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    pos, content, idat = 8, [], b""
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IDAT":
            idat += body
        elif kind != b"IEND":
            content.append((kind, body))
    try:
        content.append((b"IDAT", zlib.decompress(idat)))
    except zlib.error:
        return None
    return content


# --- Drawing -----------------------------------------------------------------
# A picture is a list of shapes painted in order; each covers points of the
# plane and has a colour (r, g, b). Pixels are sampled on a grid of n x n
# points for smooth edges.


def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def capsule(x0, y0, x1, y1, radius):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= radius * radius
    return inside


def render(width, height, shapes, samples=4, scale=1.0):
    """Returns rows of (r, g, b, alpha 0..1). Shapes are in units of `scale`
    pixels; a shape's colour may be a function of (x, y) for shading."""
    rows = []
    n2 = samples * samples
    for py in range(height):
        row = []
        for px in range(width):
            r = g = b = 0.0
            covered = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / scale
                    y = (py + (sy + 0.5) / samples) / scale
                    colour = None
                    for inside, paint in shapes:
                        if inside(x, y):
                            colour = paint(x, y) if callable(paint) else paint
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        covered += 1
            if covered:
                row.append((r / covered, g / covered, b / covered, covered / n2))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def nearest(palette, colour, first=0):
    best, best_d = first, None
    for i in range(first, len(palette)):
        p = palette[i]
        d = (p[0] - colour[0]) ** 2 + (p[1] - colour[1]) ** 2 + (p[2] - colour[2]) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


# The 16 colours of the classic VGA palette.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, NAVY, SILVER, GRAY, RED, YELLOW, BLUE, WHITE = 0, 1, 4, 7, 8, 9, 11, 12, 15
OLIVE = 3

# --- The application icon: a blue shield with a gold rim and an upright sword


def shield_outline(cx, top, half, bottom, steps=24):
    """A heater shield: straight top, straight sides to mid-height, curved
    sides meeting in a point at the bottom."""
    mid = top + (bottom - top) * 0.42
    pts = [(cx - half, top), (cx + half, top), (cx + half, mid)]
    for i in range(1, steps):
        t = i / steps
        # a quadratic curve from the side down to the point
        x = (1 - t) ** 2 * (cx + half) + 2 * (1 - t) * t * (cx + half) + t * t * cx
        y = (1 - t) ** 2 * mid + 2 * (1 - t) * t * (bottom - (bottom - mid) * 0.25) + t * t * bottom
        pts.append((x, y))
    pts.append((cx, bottom))
    for x, y in reversed(pts[3:-1]):
        pts.append((2 * cx - x, y))
    pts.append((cx - half, mid))
    return pts


def icon_shapes(outline):
    gold, blue, steel = VGA[YELLOW], VGA[BLUE], VGA[SILVER]
    shapes = []
    if outline:
        shapes.append((polygon(shield_outline(0.5, 0.08, 0.44, 0.97)), VGA[BLACK]))
    shapes += [
        (polygon(shield_outline(0.5, 0.11, 0.40, 0.93)), gold),
        (polygon(shield_outline(0.5, 0.18, 0.32, 0.84)), blue),
        # the sword, point up: blade, cross-guard, grip, pommel
        (polygon([(0.5, 0.02), (0.57, 0.12), (0.57, 0.66), (0.43, 0.66), (0.43, 0.12)]), steel),
        (rect(0.5, 0.10, 0.57, 0.66), VGA[WHITE]),
        (rect(0.24, 0.64, 0.76, 0.72), gold),
        (rect(0.45, 0.72, 0.55, 0.86), VGA[MAROON]),
        (ellipse(0.5, 0.90, 0.07, 0.06), gold),
    ]
    return shapes


def icon_16_colours(size, outline):
    rows = render(size, size, icon_shapes(outline), samples=4, scale=size)
    palette = VGA + [(0, 0, 0)]  # entry 16: transparent
    pixels = [[nearest(VGA, c) if c[3] >= 0.5 else 16 for c in row] for row in rows]
    return encode_indexed(size, size, pixels, palette, transparent=16)


def icon_full_colour(size):
    def shade(base, light):
        # lit from the upper left
        return lambda x, y: tuple(min(255, max(0, v * (1.15 - light * (x + y) * 0.35))) for v in base)
    shapes = [
        (polygon(shield_outline(0.5, 0.08, 0.44, 0.97)), (40, 30, 10)),
        (polygon(shield_outline(0.5, 0.10, 0.415, 0.945)), shade((232, 184, 40), 1)),
        (polygon(shield_outline(0.5, 0.17, 0.33, 0.85)), shade((40, 80, 200), 1)),
        (polygon([(0.5, 0.02), (0.575, 0.12), (0.575, 0.66), (0.425, 0.66), (0.425, 0.12)]),
         (150, 156, 170)),
        (polygon([(0.5, 0.03), (0.5, 0.66), (0.425, 0.66), (0.425, 0.12)]), (236, 240, 248)),
        (rect(0.23, 0.635, 0.77, 0.72), shade((232, 184, 40), 1)),
        (rect(0.45, 0.72, 0.55, 0.86), (110, 40, 20)),
        (ellipse(0.5, 0.90, 0.075, 0.065), shade((232, 184, 40), 1)),
    ]
    rows = render(size, size, shapes, samples=4 if size >= 48 else 6, scale=size)
    pixels = [[(round(c[0]), round(c[1]), round(c[2]), round(c[3] * 255)) for c in row]
              for row in rows]
    return encode_rgba(size, size, pixels)


# --- Button faces -------------------------------------------------------------

GLYPHS = {
    "NEW": ["KKKKKK...",
            "KWWWWKK..",
            "KWWWWKWK.",
            "KWWWWKKKK",
            "KWWWWWWWK",
            "KWWWWWWWK",
            "KWWWWWWWK",
            "KWWWWWWWK",
            "KWWWWWWWK",
            "KWWWWWWWK",
            "KWWWWWWWK",
            "KKKKKKKKK"],
    "SAVE": ["KKKKKKKKKK.",
             "KNSSSSSSNKK",
             "KNSSSKKSNNK",
             "KNSSSKKSNNK",
             "KNSSSSSSNNK",
             "KNNNNNNNNNK",
             "KNWWWWWWWNK",
             "KNWKKKKKWNK",
             "KNWWWWWWWNK",
             "KNWKKKKWWNK",
             "KNWWWWWWWNK",
             "KKKKKKKKKKK"],
    "DEL": ["RM......MR",
            "RRM....MRR",
            "MRRM..MRRM",
            ".MRRMMRRM.",
            "..MRRRRM..",
            "...MRRM...",
            "..MRRRRM..",
            ".MRRMMRRM.",
            "MRRM..MRRM",
            "RRM....MRR",
            "RM......MR"],
}
GLYPH_COLOURS = {"K": BLACK, "W": WHITE, "N": NAVY, "S": SILVER, "R": RED, "M": MAROON}


def button_face(glyph, face):
    """face: "U" raised, "D" pressed (sunken, glyph one pixel down-right),
    "F" raised with a dotted focus rectangle."""
    w, h = 18, 21
    px = [[SILVER] * w for _ in range(h)]
    if face == "D":
        for x in range(w):
            px[0][x] = BLACK
            px[1][x] = GRAY if x > 0 else BLACK
            px[h - 1][x] = WHITE
        for y in range(h):
            px[y][0] = BLACK
            if y > 0:
                px[y][1] = GRAY if y < h - 1 else px[y][1]
            px[y][w - 1] = WHITE
        px[h - 1][0] = BLACK
    else:
        for x in range(w):
            px[0][x] = WHITE
            px[h - 1][x] = BLACK
            if 0 < x < w - 1:
                px[h - 2][x] = GRAY
        for y in range(h):
            px[y][0] = WHITE if y < h - 1 else BLACK
            px[y][w - 1] = BLACK
            if 0 < y < h - 1:
                px[y][w - 2] = GRAY
        px[0][w - 1] = BLACK
    art = GLYPHS[glyph]
    gh, gw = len(art), len(art[0])
    shift = 1 if face == "D" else 0
    ox = (w - gw) // 2 + shift
    oy = (h - gh) // 2 + shift
    for y, line in enumerate(art):
        for x, ch in enumerate(line):
            if ch in GLYPH_COLOURS:
                px[oy + y][ox + x] = GLYPH_COLOURS[ch]
    if face == "F":
        for x in range(3, w - 3):
            if x % 2:
                px[3][x] = BLACK
                px[h - 4][x] = BLACK
        for y in range(3, h - 3):
            if y % 2:
                px[y][3] = BLACK
                px[y][w - 4] = BLACK
    return encode_indexed(w, h, px, VGA)


# --- The warrior --------------------------------------------------------------

# 256 colours: 192 sepia tones from dark to light, then 64 greys.
SEPIA_DARK, SEPIA_LIGHT = (30, 18, 8), (246, 230, 196)
WARRIOR_PALETTE = (
    [tuple(round(SEPIA_DARK[k] + (SEPIA_LIGHT[k] - SEPIA_DARK[k]) * i / 191) for k in range(3))
     for i in range(192)] +
    [(round(40 + 180 * i / 63),) * 3 for i in range(64)])


def sepia(tone):
    tone = max(0.0, min(1.0, tone))
    return tuple(SEPIA_DARK[k] + (SEPIA_LIGHT[k] - SEPIA_DARK[k]) * tone for k in range(3))


def lit(tone, cx, half):
    """A rounded surface centred on x = cx: lighter left of centre, darker
    toward its right edge."""
    def paint(x, y):
        u = max(-1.0, min(1.0, (x - cx) / half))
        return sepia(tone * (0.78 + 0.32 * math.cos((u + 0.35) * math.pi / 2.2)))
    return paint


def warrior():
    w, h = 42, 79
    shapes = [
        # ground shadow
        (ellipse(21, 75.5, 15, 2.6), (104, 104, 104)),
        # legs and boots
        (rect(13.5, 52, 19.5, 71), lit(0.55, 16.5, 3.5)),
        (rect(22.5, 52, 28.5, 71), lit(0.55, 25.5, 3.5)),
        (ellipse(16.5, 60, 3.6, 2.4), lit(0.75, 16.5, 3.6)),
        (ellipse(25.5, 60, 3.6, 2.4), lit(0.75, 25.5, 3.6)),
        (polygon([(12.5, 69), (20, 69), (21, 75), (10.5, 75)]), lit(0.3, 16, 5)),
        (polygon([(22, 69), (29.5, 69), (31.5, 75), (21, 75)]), lit(0.3, 26, 5)),
        # left arm hanging, with its gauntlet
        (capsule(9, 28, 7.5, 44, 2.9), lit(0.6, 8, 3)),
        (ellipse(7.5, 46, 3, 3.2), lit(0.45, 7.5, 3)),
        # tassets, breastplate, belt
        (polygon([(13, 45), (29, 45), (31, 55), (11, 55)]), lit(0.6, 21, 10)),
        (rect(20.6, 46, 21.4, 55), sepia(0.25)),
        (polygon([(11.5, 24), (30.5, 24), (28.5, 44), (13.5, 44)]), lit(0.78, 20, 9.5)),
        (polygon([(20.5, 25), (21.5, 25), (21.5, 43), (20.5, 43)]), sepia(0.5)),
        (rect(13, 43, 29, 46), sepia(0.22)),
        (rect(19.5, 43.5, 22.5, 45.5), sepia(0.8)),
        # shoulders
        (ellipse(11, 26.5, 5.2, 4), lit(0.82, 10, 5)),
        (ellipse(31, 26.5, 5.2, 4), lit(0.82, 30, 5)),
        # the sword in the right hand, point up
        (polygon([(35, 6), (36.6, 9), (36.6, 38), (33.4, 38), (33.4, 9)]), lit(0.95, 34.4, 2.4)),
        (rect(34.8, 9, 35.2, 37), sepia(0.62)),
        (rect(29.5, 38, 40.5, 40), sepia(0.42)),
        (rect(34, 40, 36, 46), sepia(0.2)),
        (ellipse(35, 47.5, 1.8, 1.6), sepia(0.7)),
        # right arm, bent to the hilt, and the gauntlet round the grip
        (capsule(31.5, 28, 34, 41, 2.8), lit(0.6, 32.5, 3)),
        (ellipse(35, 42.5, 3, 2.6), lit(0.5, 35, 3)),
        # neck guard and helmet with its visor slit and crest
        (rect(17, 19, 25, 25), lit(0.5, 21, 4)),
        (ellipse(21, 13.5, 6.6, 7.2), lit(0.85, 20, 6.6)),
        (rect(14.8, 15, 27.2, 20.5), lit(0.75, 20, 6.6)),
        (rect(15.5, 13.2, 26.5, 14.6), sepia(0.08)),
        (rect(20.4, 14.6, 21.6, 20), sepia(0.35)),
        (capsule(21, 6.5, 21, 11, 1.1), sepia(0.35)),
    ]
    rows = render(w, h, shapes, samples=4)
    pixels = []
    for py, row in enumerate(rows):
        grey = 168 - 40 * py / (h - 1)  # background: lighter at the top
        line = []
        for r, g, b, a in row:
            colour = (r * a + grey * (1 - a), g * a + grey * (1 - a), b * a + grey * (1 - a))
            line.append(nearest(WARRIOR_PALETTE, colour, 192) if a == 0 else
                        nearest(WARRIOR_PALETTE, colour))
        pixels.append(line)
    return encode_indexed(w, h, pixels, WARRIOR_PALETTE)


# --- Main ---------------------------------------------------------------------


def pictures():
    result = {
        "icons/141-32.png": lambda: icon_16_colours(32, outline=False),
        "icons/141-16.png": lambda: icon_16_colours(16, outline=False),
        "icons/142-16.png": lambda: icon_16_colours(16, outline=True),
        "bitmaps/154.png": warrior,
    }
    for size in (16, 32, 48, 128):
        result["icons/skarn-%d.png" % size] = (lambda s: lambda: icon_full_colour(s))(size)
    for glyph in GLYPHS:
        for face in "UDF":
            result["bitmaps/%s%s.png" % (glyph, face)] = (
                lambda g, f: lambda: button_face(g, f))(glyph, face)
    return result


def main(argv):
    check = "--check" in argv[1:]
    stale = []
    for name, draw in sorted(pictures().items()):
        chunks = draw()
        path = os.path.join(HERE, name)
        if check:
            try:
                with open(path, "rb") as f:
                    written = png_content(f.read())
            except OSError:
                written = None
            expected = png_content(png_bytes(chunks))
            if written != expected:
                stale.append(name)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(png_bytes(chunks))
    if stale:
        print("pictures differ from what generate_pictures.py draws: " + ", ".join(stale) +
              "\nrun resources/generate_pictures.py and commit the result", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
