#!/usr/bin/env python3
"""Draws the sample game's 8x8 tiles as 24-bit BMP files.

Each picture is eight rows of eight letters, one letter per pixel, naming a
colour of the table below. Every colour is an entry of the default game
palette (the grey ramp or the 6x6x6 colour cube), so the pixels keep their
colour when code is generated and they are matched to the palette. Every
tile is drawn whole, sky included: a cell on the DS shows one tile, nothing
shows through it. Run it from any folder; it writes the BMP files next to
itself.
"""
import os
import struct

# Letter -> (red, green, blue); each value a step of the colour cube.
COLOURS = {
    '.': (102, 204, 255),  # sky
    'W': (255, 255, 255),  # white
    'w': (204, 204, 204),  # cloud shade, eye white
    'K': (0, 0, 0),        # black
    'L': (102, 255, 102),  # light green
    'G': (51, 204, 51),    # green
    'g': (0, 153, 0),      # dark green
    'd': (0, 102, 0),      # deep green, shadow of leaves
    'E': (153, 102, 51),   # earth
    'e': (102, 51, 0),     # dark earth, bark
    'r': (204, 153, 102),  # light earth, pebbles
    'B': (204, 51, 0),     # brick
    'b': (153, 51, 0),     # brick shadow
    'M': (255, 204, 153),  # mortar, skin
    'U': (0, 102, 204),    # water
    'u': (51, 153, 255),   # light water
    'N': (0, 51, 153),     # deep water, overalls
    'Y': (255, 204, 0),    # gold
    'y': (204, 153, 0),    # dark gold
    'R': (255, 0, 0),      # red
    'P': (153, 51, 204),   # blob
    'p': (204, 102, 255),  # blob highlight
    'C': (0, 255, 255),    # gem
    'c': (0, 153, 204),    # gem shadow
    'S': (153, 153, 153),  # flag pole, stone
    'A': (204, 51, 102),   # hurt blob
    'a': (255, 102, 153),  # hurt blob highlight
}

TILES = {
    "Sky": [
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
    ],
    # Two halves of one cloud, meant to sit side by side.
    "CloudLeft": [
        "........",
        "....WW..",
        "...WWWWW",
        ".WWWWWWW",
        "WWWWWWWW",
        "wWWWWWWW",
        ".wwwwwww",
        "........",
    ],
    "CloudRight": [
        "........",
        "..WW....",
        "WWWWW...",
        "WWWWWWW.",
        "WWWWWWWW",
        "WWWWWWWw",
        "wwwwwww.",
        "........",
    ],
    # Grass on the top of the ground, sky above the blades.
    "Grass": [
        ".L...L..",
        "LGL.LGL.",
        "GGGGGGGG",
        "GgGGGgGG",
        "gggggggg",
        "EeEEEEeE",
        "EEEeEEEE",
        "ErEEEEEr",
    ],
    "Earth": [
        "EEEeEEEE",
        "ErEEEEeE",
        "EEEEEEEE",
        "EEeEErEE",
        "EEEEEEEE",
        "rEEEeEEE",
        "EEEEEEEr",
        "EeEEEEEE",
    ],
    "Brick": [
        "BBBMBBBB",
        "BBBMBBBB",
        "bbbMbbbb",
        "MMMMMMMM",
        "BBBBBBBM",
        "BBBBBBBM",
        "bbbbbbbM",
        "MMMMMMMM",
    ],
    # Waves on the top row, so a pool reads as water from above.
    "Water": [
        "uWuu.uWu",
        "UuUUuUuU",
        "UUUUUUUU",
        "UUuUUUUU",
        "UUUUUUuU",
        "NUUUUUUU",
        "UUUNUUUU",
        "UUUUUUUN",
    ],
    # Water below the surface: no waves.
    "Sea": [
        "UUUUUUUU",
        "UUuUUUUU",
        "UUUUUNUU",
        "UUUUUUuU",
        "UNUUUUUU",
        "UUUUuUUU",
        "UUUUUUUN",
        "UuUUUUUU",
    ],
    "Coin": [
        "...yy...",
        "..yYYy..",
        ".yYWYYy.",
        ".yWYYYy.",
        ".yYYYYy.",
        ".yYYYyy.",
        "..yYyy..",
        "...yy...",
    ],
    # Red cap, face, blue overalls, brown boots.
    "Hero": [
        "..RRRR..",
        ".RRRRRRR",
        "..MKMK..",
        "..MMMM..",
        ".RNNNNR.",
        ".MNNNNM.",
        "..N..N..",
        ".ee..ee.",
    ],
    "Blob": [
        "........",
        "...PP...",
        "..PpPP..",
        ".PwKPwK.",
        ".PPPPPP.",
        "PpPPPPPP",
        "PPPPPPpP",
        ".P.PP.P.",
    ],
    "Gem": [
        "........",
        "..cCCc..",
        ".cCWCCc.",
        "cCWCCCCc",
        ".cCCCCc.",
        "..cCCc..",
        "...cc...",
        "........",
    ],
    "Trunk": [
        "..eEEe..",
        "..eEEe..",
        "..eErE..",
        "..eEEe..",
        "..EeEe..",
        "..eEEe..",
        ".geEEeg.",
        "GeEEEEeG",
    ],
    # A bunch of leaves whose sides reach the edges, so a row of them joins
    # into one crown with a scalloped rim.
    "Leaves": [
        "..gGGg..",
        ".gGLGGGg",
        "gGGGGLGG",
        "GLGGGGGg",
        "GGGgGLGG",
        "gGGGGGgG",
        ".dGgGGd.",
        "..dddd..",
    ],
    # The goal: a pennant on a pole.
    "Flag": [
        ".SRRR...",
        ".SRRRRR.",
        ".SRRR...",
        ".S......",
        ".S......",
        ".S......",
        ".S......",
        "SSS.....",
    ],
    # A blob that a star has hit once: red with anger.
    "BlobHurt": [
        "........",
        "...AA...",
        "..AaAA..",
        ".AwKAwK.",
        ".AAAAAA.",
        "AaAAAAAA",
        "AAAAAAaA",
        ".A.AA.A.",
    ],
    # A locked wooden door, and the same door swung open (its two leaves at
    # the sides, the floor between them).
    "Door": [
        "eeeeeeee",
        "eEeEEeEe",
        "eEeEEeEe",
        "eEeYYeEe",
        "eEYeeYEe",
        "eEYYYYEe",
        "eEYyyYEe",
        "eeeeeeee",
    ],
    "DoorOpen": [
        "ee....ee",
        "eE....Ee",
        "eE....Ee",
        "eE....Ee",
        "eE....Ee",
        "eE....Ee",
        "eE....Ee",
        "ee....ee",
    ],
    # What the hero throws.
    "Star": [
        "...Y....",
        "...YY...",
        "YYYWYYY.",
        ".YYYYY..",
        "..YYY...",
        ".YY.YY..",
        ".Y...Y..",
        "........",
    ],
    "Ghost": [
        "..WWWW..",
        ".WWWWWW.",
        "WWKWWKWW",
        "WWKWWKWW",
        "WWWWWWWW",
        "WWWwwWWW",
        "WwWWWWwW",
        "W.WW.WW.",
    ],
    # The headstone the ghosts rise from.
    "Tomb": [
        "..SSSS..",
        ".SwwwwS.",
        ".SwSSwS.",
        ".SwwwwS.",
        ".SwSSwS.",
        ".SwwwwS.",
        "gSSSSSSg",
        "GGGGGGGG",
    ],
    # Where the hero lies when the game is over.
    "Grave": [
        "...ee...",
        ".eeeeee.",
        "...ee...",
        "...ee...",
        "..EEEE..",
        ".EEEEEE.",
        "EErEEEEE",
        "EEEEErEE",
    ],
    # The treasure at the end, and the hero wearing it.
    "Crown": [
        "........",
        "Y..YY..Y",
        "YY.YY.YY",
        "YYYYYYYY",
        "YRYCCYRY",
        "YYYYYYYY",
        "yyyyyyyy",
        "........",
    ],
    "King": [
        ".Y.YY.Y.",
        ".YYYYYY.",
        "M.MKMK.M",
        "M.MMMM.M",
        ".RNNNNR.",
        "..NNNN..",
        "..N..N..",
        ".ee..ee.",
    ],
    # The coin turning: seen at a slant, then edge on.
    "CoinTurn": [
        "...yy...",
        "...yYy..",
        "..yWYy..",
        "..yYYy..",
        "..yYYy..",
        "..yYYy..",
        "...yYy..",
        "...yy...",
    ],
    "CoinEdge": [
        "...yy...",
        "...yy...",
        "...yY...",
        "...yY...",
        "...yY...",
        "...yY...",
        "...yy...",
        "...yy...",
    ],
    # The ghost's hem the other way: it flaps.
    "GhostFlap": [
        "..WWWW..",
        ".WWWWWW.",
        "WWKWWKWW",
        "WWKWWKWW",
        "WWWWWWWW",
        "WWWwwWWW",
        "WWwWWwWW",
        ".WW.WW.W",
    ],
}

# The hero's 16x16 frames, facing right; each is cut into four tiles named
# NAME0 (top left), NAME1 (top right), NAME2 (bottom left), NAME3.
_HERO_TOP = [
    "................",
    "......RRRRR.....",
    ".....RRRRRRRRR..",
    ".....MMKMMKM....",
    ".....MMKMMKM....",
    ".....MMMMMMM....",
    "......MMMMM.....",
    "....RRNNNNNRR...",
    "...RRRNNNNNRRR..",
    "...MM.NNNNN.MM..",
    "...MM.NYNYN.MM..",
    "......NNNNN.....",
]
BLOCKS = {
    "HeroStand": _HERO_TOP + [
        "......NN.NN.....",
        "......NN.NN.....",
        ".....eee.eee....",
        ".....eee.eee....",
    ],
    "HeroBlink": _HERO_TOP[:3] + [".....MMMMMMM....", ".....MMKMMKM...."] + _HERO_TOP[5:] + [
        "......NN.NN.....",
        "......NN.NN.....",
        ".....eee.eee....",
        ".....eee.eee....",
    ],
    "HeroStep": _HERO_TOP + [
        ".....NN...NN....",
        "....NN.....NN...",
        "...eee.....eee..",
        "...eee......ee..",
    ],
    "HeroCross": _HERO_TOP + [
        "......NNNN......",
        ".......NN.......",
        "......eeee......",
        "......eee.......",
    ],
}


def block_tiles(name, rows):
    """The four 8x8 tiles of a 16x16 picture, in the order a frame holds them."""
    if len(rows) != 16 or any(len(r) != 16 for r in rows):
        raise ValueError("a block is 16 rows of 16 letters")
    return {
        name + str(2 * y + x): [r[8 * x:8 * x + 8] for r in rows[8 * y:8 * y + 8]]
        for y in range(2) for x in range(2)
    }


for _name, _rows in BLOCKS.items():
    TILES.update(block_tiles(_name, _rows))


def bmp_bytes(rows):
    """A 24-bit BMP of the picture: rows bottom-up, blue-green-red, 24 bytes each."""
    if len(rows) != 8 or any(len(r) != 8 for r in rows):
        raise ValueError("a tile is 8 rows of 8 letters")
    pixels = bytearray()
    for row in reversed(rows):
        for letter in row:
            r, g, b = COLOURS[letter]
            pixels += bytes((b, g, r))
    offset = 14 + 40
    info = struct.pack("<IiiHHIIiiII", 40, 8, 8, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + bytes(pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in TILES.items():
        with open(os.path.join(here, name + ".bmp"), "wb") as f:
            f.write(bmp_bytes(rows))


if __name__ == "__main__":
    main()
