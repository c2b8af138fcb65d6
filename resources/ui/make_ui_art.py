#!/usr/bin/env python3
"""Draws the artwork of the main window as RGBA PNG files.

The small pictures (the tree icons and the glyphs of the "new" buttons) are
rows of letters, one letter per pixel, naming a colour of the table below; '.'
is transparent. The glyphs of the "new" buttons are the matching motif with a
green plus stamped on the bottom-right corner.

The logo and the application icon are drawn from shapes: the outline of the
handheld is drawn at four times the size and scaled down, so its rounded
corners come out smooth, while the tiles on its top screen stay crisp.

Standard library only. Run it from any folder; it writes the PNG files next
to itself.
"""
import os
import struct
import zlib

# Letter -> (red, green, blue, alpha).
COLOURS = {
    '.': (0, 0, 0, 0),          # transparent
    'K': (36, 40, 54, 255),     # outline
    'D': (100, 106, 122, 255),  # dark grey
    'S': (164, 170, 184, 255),  # grey
    'H': (218, 222, 232, 255),  # light grey (the handheld's body)
    'W': (255, 255, 255, 255),  # white
    'N': (30, 52, 110, 255),    # navy
    'B': (58, 112, 210, 255),   # blue
    'C': (156, 208, 250, 255),  # sky blue
    'G': (26, 112, 40, 255),    # dark green
    'L': (72, 184, 64, 255),    # green
    'l': (164, 230, 126, 255),  # light green
    'M': (124, 28, 34, 255),    # maroon
    'R': (212, 52, 46, 255),    # red
    'r': (244, 132, 110, 255),  # light red
    'O': (222, 132, 36, 255),   # orange
    'Y': (250, 208, 48, 255),   # yellow
    'y': (255, 240, 164, 255),  # light yellow
    'b': (146, 92, 46, 255),    # brown
    'n': (94, 58, 30, 255),     # dark brown
    'P': (120, 66, 176, 255),   # purple
    'p': (184, 136, 232, 255),  # light purple
    'T': (248, 206, 164, 255),  # skin
    'Q': (252, 248, 234, 255),  # paper
    'q': (216, 208, 184, 255),  # paper edge
}

PICTURES = {
    # The game: an open handheld with two screens, a cross pad and buttons.
    "BmpGame18x18": [
        ".KKKKKKKKKKKKKKKK.",
        "KHWWWWWWWWWWWWWWHK",
        "KWHKKKKKKKKKKKKHHK",
        "KWHKCCCCCCCCCCKHHK",
        "KWHKCCCCCCCCYCKHHK",
        "KWHKCCCRRRCCCCKHHK",
        "KWHKLLLLLLLLLLKHHK",
        "KHHKKKKKKKKKKKKHSK",
        ".KKKKKKKKKKKKKKKK.",
        ".KDDKKKKKKKKKKDDK.",
        "KHWWWWWWWWWWWWWWHK",
        "KWHHHKKKKKKKKHHHHK",
        "KWKHHKCBBBBBKHHRHK",
        "KKKKHKBBBBBBKHRHRK",
        "KWKHHKBBBBBBKHHRHK",
        "KWHHHKKKKKKKKHHHHK",
        "KHHHHHHHHHHHHHHHSK",
        ".KKKKKKKKKKKKKKKK.",
    ],
    # Tiles: brick, grass, water and a bevelled block.
    "BmpTiles18x18": [
        "KKKKKKKK..KKKKKKKK",
        "KrrMrrrK..KlLLLlLK",
        "KRRMRRRK..KLLLLLLK",
        "KMMMMMMK..KLlLLLlK",
        "KrrrrMrK..KLLLLLLK",
        "KRRRRMRK..KlLLlLLK",
        "KMMMMMMK..KLLLLLLK",
        "KKKKKKKK..KKKKKKKK",
        "..................",
        "..................",
        "KKKKKKKK..KKKKKKKK",
        "KBBBBBBK..KyyyyyYK",
        "KCCBBCCK..KyYYYYOK",
        "KBBCCBBK..KyYOOYOK",
        "KBBBBBBK..KyYOOYOK",
        "KCCBBCCK..KyYYYYOK",
        "KBBCCBBK..KYOOOOOK",
        "KKKKKKKK..KKKKKKKK",
    ],
    # Actors: a little hero in a cap and a purple blob.
    "BmpActors18x18": [
        "..KKKK............",
        ".KRRRRK...........",
        "KRRRRRRK..........",
        "KRRrrRRRK.........",
        "KKKKKKKKKK........",
        "KTTTTTTK..........",
        "KTKTTKTK..........",
        "KTTTTTTK...KKKKK..",
        ".KTTTTK...KpppPPK.",
        "KKBBBBKK.KppPPPPPK",
        "KTBBBBTK.KPWKPWKPK",
        "KKBBBBKK.KPWKPWKPK",
        ".KBBBBK..KPPPPPPPK",
        ".KBBBBK..KPPKKKPPK",
        ".KBKKBK..KPPPPPPPK",
        ".KBKKBK..KPPPPPPPK",
        "KnnKKnnK.KPPPPPPPK",
        "KKKKKKKK..KKKKKKK.",
    ],
    # Levels: a stack of three pages, the front one a small map.
    "BmpLevels18x18": [
        "......KKKKKKKKKKKK",
        "......KQQQQQQQQQqK",
        "......KQQQQQQQQQqK",
        "...KKKKKKKKKKKKQqK",
        "...KQQQQQQQQQqKQqK",
        "...KQQQQQQQQQqKQqK",
        "KKKKKKKKKKKKQqKQqK",
        "KCCCCCCCCCCKQqKQqK",
        "KCCCCCCCYCCKQqKQqK",
        "KCCCCCCCCCCKQqKQqK",
        "KCCCLLLLCCCKQqKQqK",
        "KCCCbbbbCCCKQqKQqK",
        "KCCCCCCCCCCKQqKKKK",
        "KCCCCCCCCCCKQqK...",
        "KLLLLLLLLLLKQqK...",
        "KbbbbbbbbbbKKKK...",
        "KbnbbbbnbbbK......",
        "KKKKKKKKKKKK......",
    ],
    # A level: sky, a cloud, a coin, a floating platform and stepped ground.
    "BmpLevel18x18": [
        "..................",
        "KKKKKKKKKKKKKKKKKK",
        "KCCCCCCCCCCCCCCCCK",
        "KCCCWWCCCCCCCCCCCK",
        "KCCWWWWCCCCCCCCCCK",
        "KCCCCCCCCCCCCYCCCK",
        "KCCCCCCCCCCCCCCCCK",
        "KCCCCCCCCCLLLLLLCK",
        "KCCCCCCCCCbbbbbbCK",
        "KCCCCCCCCCCCCCCCCK",
        "KLLLLLCCCCCCCCCCCK",
        "KbbbbbCCCCCCCCCCCK",
        "KbnbbbLLLLLLLLLLLK",
        "KbbbbbbbbbbbbbnbbK",
        "KbbbnbbbbnbbbbbbbK",
        "KbbbbbbbbbbbbbbbbK",
        "KKKKKKKKKKKKKKKKKK",
        "..................",
    ],
    # New tile: three tiles, the fourth place left to the plus.
    "BmpTilesNew16x16": [
        "KKKKKKK.KKKKKKK.",
        "KrrMrrK.KlLLLlK.",
        "KMMMMMK.KLLlLLK.",
        "KrrrMrK.KLLLLLK.",
        "KRRRMRK.KlLLlLK.",
        "KMMMMMK.KLLLLLK.",
        "KKKKKKK.KKKKKKK.",
        "................",
        "KKKKKKK.........",
        "KBBBBBK.........",
        "KCCBCCK.........",
        "KBBCBBK.........",
        "KBBBBBK.........",
        "KCCBCCK.........",
        "KKKKKKK.........",
        "................",
    ],
    # New actor: the hero.
    "BmpActorsNew16x16": [
        "..KKKK..........",
        ".KRRRRK.........",
        "KRRRRRRK........",
        "KRRrrRRRK.......",
        "KKKKKKKKKK......",
        "KTTTTTTK........",
        "KTKTTKTK........",
        "KTTTTTTK........",
        ".KTTTTK.........",
        "KKBBBBKK........",
        "KTBBBBTK........",
        "KKBBBBKK........",
        ".KBKKBK.........",
        ".KBKKBK.........",
        "KnnKKnnK........",
        "KKKKKKKK........",
    ],
    # New level: a smaller stack of pages.
    "BmpLevelsNew16x16": [
        "....KKKKKKKKK...",
        "....KQQQQQQqK...",
        "..KKKKKKKKKqK...",
        "..KQQQQQQqKqK...",
        "KKKKKKKKKqKqK...",
        "KCCCCCCCKqKqK...",
        "KCCCCCYCKqKqK...",
        "KCCLLLCCKqKKK...",
        "KCCbbbCCKqK.....",
        "KCCCCCCCKKK.....",
        "KLLLLLLLK.......",
        "KbbbbbbbK.......",
        "KKKKKKKKK.......",
        "................",
        "................",
        "................",
    ],
    # A variable: a counter showing a number.
    "BmpVariable18x18": [
        "..................",
        "..................",
        "..................",
        "..................",
        "KKKKKKKKKKKKKKKKK.",
        "KSSSSSSSSSSSSSSSK.",
        "KSNNNNNNNNNNNNNSK.",
        "KSNNLNNLLLNLLLNSK.",
        "KSNLLNNNNLNNNLNSK.",
        "KSNNLNNLLLNLLLNSK.",
        "KSNNLNNLNNNNNLNSK.",
        "KSNLLLNLLLNLLLNSK.",
        "KSNNNNNNNNNNNNNSK.",
        "KSSSSSSSSSSSSSSSK.",
        "KKKKKKKKKKKKKKKKK.",
        "..................",
        "..................",
        "..................",
    ],
    # Variables: two counters, one behind the other.
    "BmpVariables18x18": [
        ".....KKKKKKKKKKKKK",
        ".....KSSSSSSSSSSSK",
        ".....KSNNNNNNNNNSK",
        ".....KSNYYYNYYYNSK",
        ".....KSNNNYNNNYNSK",
        ".....KSNYYYNYYYNSK",
        ".....KSNYNNNNNYNSK",
        "KKKKKKKKKYYNYYYNSK",
        "KSSSSSSSKNNNNNNNSK",
        "KSNNNNNSKSSSSSSSSK",
        "KSNNLNNSKKKKKKKKKK",
        "KSNLLNNSK.........",
        "KSNNLNNSK.........",
        "KSNNLNNSK.........",
        "KSNLLLNSK.........",
        "KSNNNNNSK.........",
        "KSSSSSSSK.........",
        "KKKKKKKKK.........",
    ],
    # New variable: a counter.
    "BmpVariablesNew16x16": [
        "KKKKKKKKKKKKK...",
        "KSSSSSSSSSSSK...",
        "KSNNNNNNNNNSK...",
        "KSNNLNNLLLNSK...",
        "KSNLLNNNNLNSK...",
        "KSNNLNNLLLNSK...",
        "KSNNLNNLNNNSK...",
        "KSNLLLNLLLNSK...",
        "KSNNNNNNNNNSK...",
        "KSSSSSSSSSSSK...",
        "KKKKKKKKKKKKK...",
        "................",
        "................",
        "................",
        "................",
        "................",
    ],
    # A sound: a wave on a small screen.
    "BmpSound18x18": [
        "..................",
        "..................",
        "..................",
        "KKKKKKKKKKKKKKKKK.",
        "KNNNNNNNNNNNNNNNK.",
        "KNNNNLNNNNNNNNNNK.",
        "KNNNLNLNNNNLNNNNK.",
        "KNNLNNNLNNLNLNNNK.",
        "KlLNNNNNLNLNNLNlK.",
        "KNNNNNNNNLNNNNLNK.",
        "KNNNNNNNNNNNNNNNK.",
        "KNNNNNNNNNNNNNNNK.",
        "KKKKKKKKKKKKKKKKK.",
        "..................",
        "..................",
        "..................",
        "..................",
        "..................",
    ],
    # Sounds: two notes joined by a beam.
    "BmpSounds18x18": [
        "..................",
        "......KKKKKKKKKK..",
        "......KBBBBBBBBK..",
        "......KKKKKKKKKK..",
        "......K........K..",
        "......K........K..",
        "......K........K..",
        "......K........K..",
        "......K........K..",
        "......K........K..",
        "......K........K..",
        "...KKKK.....KKKK..",
        "..KBBBK....KBBBK..",
        ".KBBBBK...KBBBBK..",
        ".KBBBBK...KBBBBK..",
        "..KBBK.....KBBK...",
        "...KK.......KK....",
        "..................",
    ],
    # New sound: a note.
    "BmpSoundsNew16x16": [
        "......KKKK......",
        "......KBBK......",
        "......K.KBK.....",
        "......K..KBK....",
        "......K...KK....",
        "......K.........",
        "......K.........",
        "...KKKK.........",
        "..KBBBK.........",
        ".KBBBBK.........",
        ".KBBBBK.........",
        "..KBBK..........",
        "...KK...........",
        "................",
        "................",
        "................",
    ],
    # Play: a green triangle.
    "BmpPlay16x16": [
        "................",
        "...KK...........",
        "...KlK..........",
        "...KLlK.........",
        "...KLLlK........",
        "...KLLLlK.......",
        "...KLLLLlK......",
        "...KLLLLLlK.....",
        "...KLLLLLGK.....",
        "...KLLLLGK......",
        "...KLLLGK.......",
        "...KLLGK........",
        "...KLGK.........",
        "...KGK..........",
        "...KK...........",
        "................",
    ],
}

# The plus of the "new" glyphs; '.' leaves the picture underneath alone.
PLUS = [
    "..GGG..",
    "..GLG..",
    "GGGlGGG",
    "GlllllG",
    "GGGlGGG",
    "..GlG..",
    "..GGG..",
]

NEW_GLYPHS = [
    "BmpTilesNew16x16", "BmpActorsNew16x16", "BmpLevelsNew16x16", "BmpVariablesNew16x16", "BmpSoundsNew16x16"
]


def stamp_plus(rows):
    """The picture with the plus in its bottom-right corner."""
    grid = [list(r) for r in rows]
    h, w = len(grid), len(grid[0])
    top, left = h - len(PLUS), w - len(PLUS[0])
    for y, line in enumerate(PLUS):
        for x, c in enumerate(line):
            if c != '.':
                grid[top + y][left + x] = c
    return ["".join(r) for r in grid]


def letters_to_pixels(rows):
    """Rows of (r, g, b, a) tuples from rows of letters."""
    width = len(rows[0])
    if any(len(r) != width for r in rows):
        raise ValueError("all rows of a picture have the same length")
    return [[COLOURS[c] for c in r] for r in rows]


def png_bytes(pixels):
    """An 8-bit RGBA PNG of the rows of (r, g, b, a) tuples."""
    height, width = len(pixels), len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # no filter
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# ---------------------------------------------------------------------------
# The logo and the application icon.

# The handheld's colours.
BODY = (70, 126, 206, 255)
BODY_LIGHT = (118, 166, 232, 255)
BODY_DARK = (22, 38, 84, 255)
HINGE = (44, 72, 136, 255)
BEZEL = (24, 26, 36, 255)
LOWER_SCREEN = (30, 52, 110, 255)

# 8x8 tiles of the scene on the top screen.
TILES = {
    's': ["CCCCCCCC"] * 8,
    'c': [
        "CCCCCCCC",
        "CCCWWCCC",
        "CCWWWWCC",
        "CWWWWWWC",
        "CCCCCCCC",
        "CCCCCCCC",
        "CCCCCCCC",
        "CCCCCCCC",
    ],
    'o': [
        "CCCCCCCC",
        "CCCKKCCC",
        "CCKyYKCC",
        "CCKyYKCC",
        "CCKyYKCC",
        "CCKYOKCC",
        "CCCKKCCC",
        "CCCCCCCC",
    ],
    'x': [
        "rrrMrrrr",
        "RRRMRRRR",
        "RRRMRRRR",
        "MMMMMMMM",
        "rrrrrrrM",
        "RRRRRRRM",
        "RRRRRRRM",
        "MMMMMMMM",
    ],
    'q': [
        "yyyyyyyY",
        "yYYYYYYO",
        "yYYYYYYO",
        "yYYOOYYO",
        "yYYOOYYO",
        "yYYYYYYO",
        "yYYYYYYO",
        "YOOOOOOO",
    ],
    'g': [
        "lLlLlLlL",
        "LLLLLLLL",
        "bLbbbLbb",
        "bbbbbbbb",
        "bbnbbbbb",
        "bbbbbbnb",
        "bnbbbbbb",
        "bbbbbbbb",
    ],
}


def shrink_tile(rows, size):
    """The tile scaled down to size x size by picking every n-th pixel."""
    return ["".join(r[x * 8 // size] for x in range(size)) for r in (rows[y * 8 // size] for y in range(size))]


class Canvas:
    """An RGBA picture drawn at SCALE times its size, then scaled down."""

    SCALE = 4

    def __init__(self, width, height):
        self.width, self.height = width, height
        s = self.SCALE
        self.sub = [[(0, 0, 0, 0)] * (width * s) for _ in range(height * s)]

    def _fill(self, x0, y0, x1, y1, colour, inside):
        s = self.SCALE
        for sy in range(max(0, int(y0 * s)), min(self.height * s, int(y1 * s + 0.999))):
            for sx in range(max(0, int(x0 * s)), min(self.width * s, int(x1 * s + 0.999))):
                if inside((sx + 0.5) / s, (sy + 0.5) / s):
                    self.sub[sy][sx] = colour

    def rect(self, x0, y0, x1, y1, colour):
        self._fill(x0, y0, x1, y1, colour, lambda x, y: x0 <= x < x1 and y0 <= y < y1)

    def round_rect(self, x0, y0, x1, y1, radius, colour):
        def inside(x, y):
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius and x0 <= x < x1 and y0 <= y < y1
        self._fill(x0, y0, x1, y1, colour, inside)

    def framed(self, x0, y0, x1, y1, radius, line, outline, fill):
        self.round_rect(x0, y0, x1, y1, radius, outline)
        self.round_rect(x0 + line, y0 + line, x1 - line, y1 - line, max(0, radius - line), fill)

    def letters(self, x, y, rows):
        for dy, line in enumerate(rows):
            for dx, c in enumerate(line):
                if c != '.':
                    self.rect(x + dx, y + dy, x + dx + 1, y + dy + 1, COLOURS[c])

    def pixels(self):
        s = self.SCALE
        out = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                r = g = b = a = 0
                for sy in range(y * s, y * s + s):
                    for sr, sg, sb, sa in self.sub[sy][x * s:x * s + s]:
                        r += sr * sa
                        g += sg * sa
                        b += sb * sa
                        a += sa
                if a:
                    row.append((round(r / a), round(g / a), round(b / a), round(a / (s * s))))
                else:
                    row.append((0, 0, 0, 0))
            out.append(row)
        return out


def handheld(size):
    """The open handheld: tiles on the top screen, the letter L below."""
    if size == 64:
        tile, scene = 8, ["scso", "sxqx", "gggg"]
        line, radius, margin = 2, 6, 2
    else:
        tile, scene = 6, ["scso", "sxqx", "gggg"]
        line, radius, margin = 2, 5, 1
    screen_w, screen_h = 4 * tile, 3 * tile
    half = size // 2
    c = Canvas(size, size)
    body_x0, body_x1 = margin, size - margin
    sx = (size - screen_w) // 2

    # The lid and the base, each with a light top edge for a little depth.
    for y0, y1 in ((0, half - 1), (half + 1, size)):
        c.framed(body_x0, y0, body_x1, y1, radius, line, BODY_DARK, BODY)
        c.round_rect(body_x0 + line, y0 + line, body_x1 - line, y0 + line + 2, max(0, radius - line), BODY_LIGHT)
        c.rect(body_x0 + line, y0 + line + 1, body_x1 - line, y0 + line + 2, BODY)
    # The hinge.
    c.rect(body_x0 + radius, half - 2, body_x1 - radius, half + 2, BODY_DARK)
    c.rect(body_x0 + radius + 1, half - 1, body_x1 - radius - 1, half + 1, HINGE)

    # The top screen, a scene made of tiles.
    top_y = (half - 1 - screen_h) // 2
    c.rect(sx - 1, top_y - 1, sx + screen_w + 1, top_y + screen_h + 1, BEZEL)
    for row, names in enumerate(scene):
        for col, name in enumerate(names):
            art = TILES[name] if tile == 8 else shrink_tile(TILES[name], tile)
            c.letters(sx + col * tile, top_y + row * tile, art)

    # The bottom screen with the letter L.
    low_y = half + 1 + (size - half - 1 - screen_h) // 2
    c.rect(sx - 1, low_y - 1, sx + screen_w + 1, low_y + screen_h + 1, BEZEL)
    c.rect(sx, low_y, sx + screen_w, low_y + screen_h, LOWER_SCREEN)
    u = tile / 8
    lx, ly = sx + screen_w / 2 - 7 * u, low_y + 3 * u
    stroke = 5 * u
    for dx, dy, colour in ((u, u, COLOURS['O']), (0, 0, COLOURS['Y'])):
        c.rect(lx + dx, ly + dy, lx + dx + stroke, ly + dy + 18 * u, colour)
        c.rect(lx + dx, ly + dy + 13 * u, lx + dx + 14 * u, ly + dy + 18 * u, colour)

    # The cross pad on the left, the buttons on the right.
    pad = 2 * u
    px = (body_x0 + line + sx - 1) / 2
    py = low_y + screen_h / 2
    c.rect(px - 3 * pad / 2, py - pad / 2, px + 3 * pad / 2, py + pad / 2, BEZEL)
    c.rect(px - pad / 2, py - 3 * pad / 2, px + pad / 2, py + 3 * pad / 2, BEZEL)
    bx = (sx + screen_w + 1 + body_x1 - line) / 2
    r = 1.6 * u
    for dx, dy, colour in ((-1, 1, 'R'), (1, -1, 'Y')):
        cx, cy = bx + dx * 2.2 * u, py + dy * 2.2 * u
        c.round_rect(cx - r - u, cy - r - u, cx + r + u, cy + r + u, r + u, BEZEL)
        c.round_rect(cx - r, cy - r, cx + r, cy + r, r, COLOURS[colour])
    return c.pixels()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = {}
    for name, rows in PICTURES.items():
        if name in NEW_GLYPHS:
            rows = stamp_plus(rows)
        out[name] = letters_to_pixels(rows)
    out["Logo"] = handheld(64)
    out["AppIcon"] = handheld(48)
    for name, pixels in out.items():
        with open(os.path.join(here, name + ".png"), "wb") as f:
            f.write(png_bytes(pixels))


if __name__ == "__main__":
    main()
