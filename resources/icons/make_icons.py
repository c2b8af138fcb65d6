#!/usr/bin/env python3
"""Draws the 16x16 icons of the event and action kinds as 4-bit BMP files.

Each picture is sixteen rows of sixteen letters, one letter per pixel, naming
a colour of the standard 16-colour table. The background letter '.' is
fuchsia: the pixel at the bottom-left corner is the icon's transparent colour,
as usual for 16-colour button glyphs. Run it from any folder; it writes the
BMP files next to itself.
"""
import os
import struct

# The standard 16-colour table in its usual order, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (128, 128, 128),
    (192, 192, 192), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Letter -> index into PALETTE.
LETTERS = {
    'K': 0,   # black
    'M': 1,   # maroon
    'G': 2,   # green
    'O': 3,   # olive
    'N': 4,   # navy
    'P': 5,   # purple
    'T': 6,   # teal
    'D': 7,   # dark grey
    'S': 8,   # silver
    'R': 9,   # red
    'L': 10,  # lime
    'Y': 11,  # yellow
    'B': 12,  # blue
    '.': 13,  # fuchsia: transparent background
    'C': 14,  # aqua
    'W': 15,  # white
}

ICONS = {
    # A sparkle with a green plus: something comes into being.
    "BmpOnCreate16x16": [
        "......O.........",
        "......O.........",
        ".....OYO........",
        ".....OYO........",
        "....OYWYO.......",
        "OOOOYYWYYOOOO...",
        ".OYYWWWWWYYO....",
        "..OOYYWYYOO.....",
        "....OYWYO.......",
        ".....OYO...GGG..",
        ".....OYO...GLG..",
        "......O..GGGLGGG",
        "......O..GLLLLLG",
        ".........GGGLGGG",
        "...........GLG..",
        "...........GGG..",
    ],
    # A red cross on a burst: the actor goes away.
    "BmpOnDestroy16x16": [
        "................",
        ".MM..........MM.",
        ".MRM........MRM.",
        "..MRM......MRM..",
        "...MRM....MRM...",
        "....MRM..MRM....",
        ".....MRMMRM.....",
        "......MRRM......",
        "......MRRM......",
        ".....MRMMRM.....",
        "....MRM..MRM....",
        "...MRM....MRM...",
        "..MRM......MRM..",
        ".MRM........MRM.",
        ".MM..........MM.",
        "................",
    ],
    # A raised key cap with an arrow on it.
    "BmpOnKey16x16": [
        "................",
        ".KKKKKKKKKKKKKK.",
        ".KWWWWWWWWWWWDK.",
        ".KWSSSSSSSSSSDK.",
        ".KWSSSSKSSSSSDK.",
        ".KWSSSKKKSSSSDK.",
        ".KWSSKKKKKSSSDK.",
        ".KWSKKKKKKKSSDK.",
        ".KWSSSKKKSSSSDK.",
        ".KWSSSKKKSSSSDK.",
        ".KWSSSKKKSSSSDK.",
        ".KWSSSSSSSSSSDK.",
        ".KWDDDDDDDDDDDK.",
        ".KDDDDDDDDDDDDK.",
        ".KKKKKKKKKKKKKK.",
        "................",
    ],
    # A stylus touching the screen, with ripples round its tip.
    "BmpOnTouch16x16": [
        "............NN..",
        "...........NBBN.",
        "..........NBBBN.",
        ".........NBBBN..",
        "........NBBBN...",
        ".......NBBBN....",
        "......NBBBN.....",
        ".....NBBBN......",
        "....NSSSN.......",
        "R..NSSSN........",
        ".R.NSSN.........",
        "...DDN..........",
        "RR.K.RR.........",
        "................",
        ".R.R.R..........",
        "R..R..R.........",
    ],
    # Two squares overlapping: blue and red, the shared part purple.
    "BmpOnCollision16x16": [
        "................",
        ".NNNNNNNNN......",
        ".NBBBBBBBN......",
        ".NBBBBBBBN......",
        ".NBBBBBBBN......",
        ".NBBBBMMMMMMMMM.",
        ".NBBBBMPPPRRRRM.",
        ".NBBBBMPPPRRRRM.",
        ".NBBBBMPPPRRRRM.",
        ".NNNNNMMMMRRRRM.",
        "......MRRRRRRRM.",
        "......MRRRRRRRM.",
        "......MRRRRRRRM.",
        "......MRRRRRRRM.",
        "......MMMMMMMMM.",
        "................",
    ],
    # An arrow leaving a frame through its right side.
    "BmpOnOutside16x16": [
        "................",
        "KKKKKKKKKK......",
        "KWWWWWWWWK......",
        "KWWWWWWWWK......",
        "KWWWWWWWWK..G...",
        "KWWWWWWWWK..GG..",
        "KWWWWWWWWK..GLG.",
        "KWWGGGGGGGGGGLLG",
        "KWWGLLLLLLLLLLLG",
        "KWWGGGGGGGGGGLLG",
        "KWWWWWWWWK..GLG.",
        "KWWWWWWWWK..GG..",
        "KWWWWWWWWK..G...",
        "KWWWWWWWWK......",
        "KKKKKKKKKK......",
        "................",
    ],
    # Bars that grow from left to right: how fast.
    "BmpSetSpeedSize16x16": [
        "................",
        "............KKK.",
        "............KRK.",
        "............KRK.",
        "........KKK.KRK.",
        "........KYK.KRK.",
        "........KYK.KRK.",
        "........KYK.KRK.",
        "....KKK.KYK.KRK.",
        "....KLK.KYK.KRK.",
        "....KLK.KYK.KRK.",
        "KKK.KLK.KYK.KRK.",
        "KLK.KLK.KYK.KRK.",
        "KLK.KLK.KYK.KRK.",
        "KKK.KKK.KKK.KKK.",
        "................",
    ],
    # A compass rose with its needle: which way.
    "BmpSetSpeedDir16x16": [
        ".....KKKKKK.....",
        "...KKWWWWWWKK...",
        "..KWWWWKWWWWWK..",
        ".KWWWWWKWWWRRWK.",
        ".KWWWWWWWWRRRWK.",
        "KWWWWWWWWRRRWWWK",
        "KWWWWWWWRRRWWWWK",
        "KWKWWWWKRRWWWKWK",
        "KWWWWWWDKWWWWWWK",
        "KWWWWWDDDWWWWWWK",
        "KWWWWDDDWWWWWWWK",
        ".KWWDDDWWWWWWWK.",
        ".KWWDDWWWWWWWWK.",
        "..KWWWWKWWWWWK..",
        "...KKWWWWWWKK...",
        ".....KKKKKK.....",
    ],
    # A bomb with a lit fuse: the actor is gone at the end of the frame.
    "BmpDestroy16x16": [
        "...........Y.R..",
        "..........R.Y...",
        ".........OY..Y..",
        "........O..R....",
        ".......KK.......",
        ".....KKKKKK.....",
        "....KDDKKKKK....",
        "...KDWDKKKKKK...",
        "...KDDKKKKKKK...",
        "...KKKKKKKKKK...",
        "...KKKKKKKKKK...",
        "...KKKKKKKKKK...",
        "....KKKKKKKK....",
        ".....KKKKKK.....",
        "................",
        "................",
    ],
    # A chequered flag and an arrow onwards: the next level.
    "BmpNextLevel16x16": [
        "................",
        ".K..............",
        ".KWWKKWWKK......",
        ".KWWKKWWKK......",
        ".KKKWWKKWW......",
        ".KKKWWKKWW......",
        ".KWWKKWWKK......",
        ".KWWKKWWKK......",
        ".K..............",
        ".K........G.....",
        ".K........GG....",
        ".K...GGGGGGLG...",
        ".K...GLLLLLLLG..",
        ".K...GGGGGGLG...",
        ".K........GG....",
        "KKK.......G.....",
    ],
    # A key held down by a bar: fires while the keys are held.
    "BmpOnKeyHeld16x16": [
        "................",
        "..DDDDDDDDDDDD..",
        "..DWWWWWWWWWWD..",
        "..DWSSSSSSSSWD..",
        "..DWSKKSSKKSWD..",
        "..DWSKSKSKSSWD..",
        "..DWSKKSSKKSWD..",
        "..DWSKSKSKSSWD..",
        "..DWSKSKSKKSWD..",
        "..DWSSSSSSSSWD..",
        "..DWWWWWWWWWWD..",
        "..DDDDDDDDDDDD..",
        "................",
        ".BBBBBBBBBBBBBB.",
        ".BBBBBBBBBBBBBB.",
        "................",
    ],
    # A clock: fires when the time has come.
    "BmpOnTimer16x16": [
        "................",
        ".....KKKKKK.....",
        "...KKWWWWWWKK...",
        "..KWWWWKWWWWWK..",
        "..KWWWWKWWWWWK..",
        ".KWWWWWKWWWWWWK.",
        ".KWWWWWKWWWWWWK.",
        ".KWWWWWKKKKWWWK.",
        ".KWWWWWWWWWWWWK.",
        ".KWWWWWWWWWWWWK.",
        "..KWWWWWWWWWWK..",
        "..KWWWWWWWWWWK..",
        "...KKWWWWWWKK...",
        ".....KKKKKK.....",
        "................",
        "................",
    ],
    # x = a number: sets a variable.
    "BmpSetVariable16x16": [
        "................",
        "................",
        ".NN...NN........",
        "..NN.NN.........",
        "...NNN..........",
        "..NN.NN..GGGGGG.",
        ".NN...NN.GGGGGG.",
        "................",
        ".........GGGGGG.",
        ".........GGGGGG.",
        "................",
        "................",
        "..RRRRRRRRRRRR..",
        "................",
        "................",
        "................",
    ],
    # A line of text on a screen.
    "BmpShowText16x16": [
        "................",
        ".KKKKKKKKKKKKKK.",
        ".KNNNNNNNNNNNNK.",
        ".KNWWNWNWNWWWNK.",
        ".KNWNNWNWNNWNNK.",
        ".KNWWNNWNNNWNNK.",
        ".KNWNNWNWNNWNNK.",
        ".KNWWNWNWNNWNNK.",
        ".KNNNNNNNNNNNNK.",
        ".KNYYNYYYNYYNNK.",
        ".KNNNNNNNNNNNNK.",
        ".KKKKKKKKKKKKKK.",
        "......KKKK......",
        "....KKKKKKKK....",
        "................",
        "................",
    ],
    # A new one beside one: spawns an actor.
    "BmpSpawn16x16": [
        "................",
        ".BBBBB..........",
        ".BCCCB..........",
        ".BCCCB..........",
        ".BBBBB...GGG....",
        ".........GLG....",
        ".......GGGLGGG..",
        ".......GLLLLLG..",
        ".......GGGLGGG..",
        ".........GLG....",
        ".........GGG....",
        "................",
        "..........BBBBB.",
        "..........BCCCB.",
        "..........BBBBB.",
        "................",
    ],
    # A flag with a number: goes to a level.
    "BmpGoToLevel16x16": [
        "................",
        ".K..............",
        ".KRRRRRRR.......",
        ".KRRRWRRR.......",
        ".KRRWWRRR.......",
        ".KRRRWRRR.......",
        ".KRRRWRRR.......",
        ".KRRWWWRR.......",
        ".K..............",
        ".K..............",
        ".K..............",
        ".K..............",
        ".K..............",
        ".K..............",
        "KKK.............",
        "................",
    ],
    # A round arrow: the game starts again.
    "BmpRestartGame16x16": [
        "................",
        ".....GGGGG......",
        "...GG.....GG.G..",
        "..G.........GG..",
        ".G.........GGG..",
        ".G..............",
        "G...............",
        "G...............",
        "G...............",
        ".G.............G",
        ".G............G.",
        "..G..........G..",
        "...GG......GG...",
        ".....GGGGGG.....",
        "................",
        "................",
    ],
    # A ball off a wall: bounces.
    "BmpBounce16x16": [
        "DDD.............",
        "DDD.............",
        "DDD......RRR....",
        "DDD.....RRRRR...",
        "DDD....RRWRRRR..",
        "DDD....RWRRRRR..",
        "DDD....RRRRRRR..",
        "DDD.....RRRRR...",
        "DDD.NN...RRR....",
        "DDDNN...........",
        "DDDNN...........",
        "DDD.NN..........",
        "DDD..NN.........",
        "DDD...NN........",
        "DDD....NN.......",
        "DDD.....NN......",
    ],
    # Another picture: sets the tile.
    "BmpSetTile16x16": [
        "................",
        ".KKKKKKK........",
        ".KYYYYYK........",
        ".KYKYKYK........",
        ".KYYYYYK........",
        ".KYKKKYK..G.....",
        ".KYYYYYK..GG....",
        ".KKKKKKK.GGGG...",
        "..........GG....",
        "........KKKKKKK.",
        "........KCCCCCK.",
        "........KCKCKCK.",
        "........KCCCCCK.",
        "........KCKKKCK.",
        "........KCCCCCK.",
        "........KKKKKKK.",
    ],
    # Towards a target: moves toward an actor.
    "BmpMoveToward16x16": [
        "................",
        "...........RRR..",
        "..........RWWWR.",
        "..........RWRWR.",
        "..........RWWWR.",
        "...........RRR..",
        "........GG......",
        ".......GGG......",
        "......GGG.......",
        ".....GGG........",
        "..GGGGG.........",
        "..GGGG..........",
        "..GGG...........",
        "..GG............",
        "................",
        "................",
    ],
    # A question on a value: the rest runs only if it holds.
    "BmpIfVariable16x16": [
        "................",
        "....PPPPPP......",
        "...PP....PP.....",
        "...PP....PP.....",
        "........PP......",
        ".......PP.......",
        "......PP........",
        "......PP........",
        "................",
        "......PP........",
        "................",
        ".NN...NN........",
        "..NN.NN.........",
        "...NNN..........",
        "..NN.NN.........",
        ".NN...NN........",
    ],
    # A question on how many there are.
    "BmpIfCount16x16": [
        "................",
        "....PPPPPP......",
        "...PP....PP.....",
        "...PP....PP.....",
        "........PP......",
        ".......PP.......",
        "......PP........",
        "......PP........",
        "................",
        "......PP........",
        "................",
        ".YY.YY.YY.......",
        "YOOYOOYOOY......",
        "YOOYOOYOOY......",
        ".YY.YY.YY.......",
        "................",
    ],
    # A die: one time in n.
    "BmpIfChance16x16": [
        "................",
        "..KKKKKKKKKKK...",
        "..KWWWWWWWWWK...",
        "..KWKKWWWWWWK...",
        "..KWKKWWWWWWK...",
        "..KWWWWWWWWWK...",
        "..KWWWWKKWWWK...",
        "..KWWWWKKWWWK...",
        "..KWWWWWWWWWK...",
        "..KWWWWWWKKWK...",
        "..KWWWWWWKKWK...",
        "..KWWWWWWWWWK...",
        "..KKKKKKKKKKK...",
        "................",
        "................",
        "................",
    ],
    # A loudspeaker with its waves: plays a sound.
    "BmpPlaySound16x16": [
        "................",
        "................",
        "......K.....B...",
        ".....KK..B...B..",
        "....KSK...B..B..",
        "KKKKSSK.B..B..B.",
        "KSSSSSK..B.B..B.",
        "KSSSSSK..B.B..B.",
        "KSSSSSK..B.B..B.",
        "KSSSSSK..B.B..B.",
        "KKKKSSK.B..B..B.",
        "....KSK...B..B..",
        ".....KK..B...B..",
        "......K.....B...",
        "................",
        "................",
    ],
    # A question on the keys held.
    "BmpIfKeyHeld16x16": [
        "................",
        "....PPPPPP......",
        "...PP....PP.....",
        "...PP....PP.....",
        "........PP......",
        ".......PP.......",
        "......PP........",
        "......PP........",
        "................",
        "......PP........",
        "................",
        "..DDDDDDDDDDDD..",
        "..DWSKKSSKKSWD..",
        "..DWSKSKSKSSWD..",
        "..DWSKKSSKKSWD..",
        "..DDDDDDDDDDDD..",
    ],
}


def bmp_bytes(rows):
    """A 4-bit, 16-colour BMP of the picture: rows bottom-up, 8 bytes each."""
    if len(rows) != 16 or any(len(r) != 16 for r in rows):
        raise ValueError("an icon is 16 rows of 16 letters")
    pixels = bytearray()
    for row in reversed(rows):
        for x in range(0, 16, 2):
            pixels.append(LETTERS[row[x]] << 4 | LETTERS[row[x + 1]])
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + table + bytes(pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in ICONS.items():
        with open(os.path.join(here, name + ".bmp"), "wb") as f:
            f.write(bmp_bytes(rows))


if __name__ == "__main__":
    main()
