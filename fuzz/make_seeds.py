#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora into fuzz/corpus/.

Small files of every form the readers take: BMPs of each bit depth (with the
12-byte header, bit fields, top-down rows and both run-length codings), the
palette text files as the palette editor writes them, project files holding
every kind of record, WAV files of each form the sound import takes (and
a few it refuses), saved-data stores of one game (key of "Fuzz") as the
engine writes them, and ProTracker modules for the song import (one of ten
channels, which it refuses). Run it again after a format change:

    python3 fuzz/make_seeds.py [SEED_WRITER]

It writes only its own files: the regression inputs kept beside them (inputs
an earlier fuzz run found) stay as they are. The project seeds with the
sections after the levels come from SEED_WRITER, the fuzz build's
make_project_seeds (by default out-fuzz/make_project_seeds), which writes
them with the program's own writer; without it they are left as they are."""
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORPUS = os.path.join(HERE, "corpus")

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
       (0, 255, 255), (255, 255, 255)]


def row_size(width, bits):
    return (width * bits + 31) // 32 * 4


def bmp(width, height, bits, rows, table=(), compression=0, masks=None, core=False, size_image=None):
    """rows: the pixel bytes as stored (bottom-up unless height < 0)."""
    table_bytes = b"".join(struct.pack("<BBB", b, g, r) if core else struct.pack("<BBBB", b, g, r, 0)
                           for (r, g, b) in table)
    mask_bytes = b"".join(struct.pack("<I", m) for m in masks) if masks else b""
    if core:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression,
                           len(rows) if size_image is None else size_image, 0, 0, len(table), 0)
    offset = 14 + len(info) + len(mask_bytes) + len(table_bytes)
    head = b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset)
    return head + info + mask_bytes + table_bytes + rows


def bmp_v5(width, height, rows, masks, alpha):
    """A 32-bit bit-field BMP with the 124-byte header, masks and alpha inside it."""
    info = struct.pack("<IiiHHIIiiII", 124, width, height, 1, 32, 3, len(rows), 0, 0, 0, 0)
    info += struct.pack("<IIIII", *masks, alpha, 0x73524742)  # "sRGB"
    info += bytes(124 - len(info))
    offset = 14 + len(info)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + info + rows


def packed_rows(width, height, bits, pixel):
    """Uncompressed rows, bottom row first; pixel(x, y) gives the stored value."""
    out = b""
    for y in reversed(range(height)):
        row = bytearray(row_size(width, bits))
        for x in range(width):
            v = pixel(x, y)
            if bits == 1:
                row[x // 8] |= (v & 1) << (7 - x % 8)
            elif bits == 4:
                row[x // 2] |= (v & 15) << (4 if x % 2 == 0 else 0)
            elif bits == 8:
                row[x] = v & 255
            elif bits == 16:
                row[2 * x:2 * x + 2] = struct.pack("<H", v & 0xFFFF)
            elif bits == 24:
                row[3 * x:3 * x + 3] = struct.pack("<I", v)[:3]
            elif bits == 32:
                row[4 * x:4 * x + 4] = struct.pack("<I", v)
        out += bytes(row)
    return out


def pictures():
    p = {}
    p["bpp1"] = bmp(8, 8, 1, packed_rows(8, 8, 1, lambda x, y: (x + y) & 1), [(0, 0, 0), (255, 255, 255)])
    p["bpp4"] = bmp(8, 8, 4, packed_rows(8, 8, 4, lambda x, y: x + y), VGA)
    p["bpp8"] = bmp(8, 8, 8, packed_rows(8, 8, 8, lambda x, y: x * 8 + y), [(i, 255 - i, i // 2) for i in range(64)])
    p["bpp16_555"] = bmp(8, 8, 16, packed_rows(8, 8, 16, lambda x, y: (x << 10) | (y << 5) | (x ^ y)))
    p["bpp16_565"] = bmp(8, 8, 16, packed_rows(8, 8, 16, lambda x, y: (x << 11) | (y << 6) | x), compression=3,
                         masks=(0xF800, 0x07E0, 0x001F))
    p["bpp24"] = bmp(8, 8, 24, packed_rows(8, 8, 24, lambda x, y: (x * 32) | (y * 32) << 8 | 0x400000))
    p["bpp32"] = bmp(8, 8, 32, packed_rows(8, 8, 32, lambda x, y: (x * 30) << 16 | (y * 30)))
    p["bpp32_fields"] = bmp(8, 8, 32, packed_rows(8, 8, 32, lambda x, y: x << 16 | y), compression=3,
                            masks=(0xFF0000, 0xFF00, 0xFF))
    # Alpha 0 on the diagonal: those pixels are transparent.
    p["bpp32_alpha"] = bmp_v5(8, 8, packed_rows(8, 8, 32, lambda x, y: (0 if x == y else 0xFF000000) | x << 16 | y * 30),
                              (0xFF0000, 0xFF00, 0xFF), 0xFF000000)
    p["core4"] = bmp(8, 8, 4, packed_rows(8, 8, 4, lambda x, y: 15 - x), VGA, core=True)
    top_down = b"".join(reversed([packed_rows(8, 8, 8, lambda x, y: x)[i:i + 8] for i in range(0, 64, 8)]))
    p["topdown8"] = bmp(8, -8, 8, top_down, VGA)
    # Run-length pictures: runs, an absolute run, a delta, line ends and the end mark.
    rle8 = bytes([4, 1, 4, 2, 0, 0, 0, 4, 5, 6, 7, 8, 4, 9, 0, 0, 0, 2, 2, 3, 8, 10, 0, 0, 8, 11, 0, 1])
    p["rle8"] = bmp(8, 8, 8, rle8, VGA, compression=1)
    rle4 = bytes([8, 0x12, 0, 0, 0, 6, 0x34, 0x56, 0x78, 0, 2, 0xAB, 0, 0, 0, 2, 1, 2, 6, 0xCD, 0, 0, 8, 0xEF, 0, 1])
    p["rle4"] = bmp(8, 8, 4, rle4, VGA, compression=2)
    p["wide24"] = bmp(17, 3, 24, packed_rows(17, 3, 24, lambda x, y: x * 0x0F0F0F + y))
    return p


def palette_swatches():
    # As the palette editor exports a palette: 8-bit swatches on entry 0.
    cols, rows = 4, 2
    width, height = cols * 17 + 1, rows * 10 + 1
    colors = VGA[:8]

    def pixel(x, y):
        c, r = (x - 1) // 17, (y - 1) // 10
        inside = x % 17 != 0 and y % 10 != 0
        return min(r * cols + c, len(colors) - 1) if inside else 0
    return bmp(width, height, 8, packed_rows(width, height, 8, pixel), colors + [(0, 0, 0)] * 248)


def jasc(colors):
    return ("JASC-PAL\r\n0100\r\n%d\r\n" % len(colors) + "".join("%d %d %d\r\n" % c for c in colors)).encode()


def clrx(colors):
    text = "CLRX 8 %d\r\n" % len(colors)
    for i, (r, g, b) in enumerate(colors):
        text += "0x%.8x " % (r | g << 8 | b << 16)
        if i % 4 == 3:
            text += "\r\n"
    return text.encode()


# ---- project files, in the tagged value encoding ----

def s(text):
    data = text.encode()
    return (bytes([6, len(data)]) + data) if len(data) < 256 and data.isascii() else \
        bytes([20]) + struct.pack("<I", len(data)) + data


def i(value):
    if -128 <= value <= 127:
        return bytes([2]) + struct.pack("<b", value)
    if -32768 <= value <= 32767:
        return bytes([3]) + struct.pack("<h", value)
    return bytes([4]) + struct.pack("<i", value)


def boolean(value):
    return bytes([9 if value else 8])


def date(value):
    return bytes([17]) + struct.pack("<d", value)


END = b"\0"


def project(colors, tiles, actors, levels, title="<Game title>"):
    out = s("Lurvik") + i(1) + s("[TGame]") + i(3) + date(0.0125) + s(title)
    out += s("[TPalette]") + i(len(colors)) + b"".join(i(r) + i(g) + i(b) for (r, g, b) in colors)
    for name, picture in tiles:
        out += s("[TTile]") + s(name) + picture
    out += END
    for name, tile, handlers in actors:
        out += s("[TActor]") + s(name) + boolean(tile is not None) + (s(tile) if tile else b"") + i(len(handlers))
        for event, params, actions in handlers:
            out += s("<%s>" % event) + params + i(len(actions))
            for action, a1, a2, relative in actions:
                out += s("<%s>" % action) + s(a1) + s(a2) + boolean(relative)
    out += END
    for name, width, height, cells in levels:
        out += s("[TLevel]") + s(name) + i(width) + i(height)
        out += b"".join(boolean(c is not None) + (s(c) if c else b"") for c in cells)
    out += END
    return out


def projects(p):
    games = {}
    games["new_game"] = project([], [], [], [])
    hero = ("aHero", "tHero", [
        ("OnCreate", b"", [("SetSpeedSize", "2", "0", False)]),
        ("OnKey", boolean(True) + i(0x0030), [("SetSpeedDir", "3", "90", True)]),
        ("OnCollision", boolean(False) + s("aCoin"), [("SetSpeedSize", "0", "0", False)]),
        ("OnTouch", i(0x01FF), []),
        ("OnOutside", i(15), [("SetSpeedDir", "-1", "speed", False)]),
        ("OnDestroy", b"", []),
    ])
    coin = ("aCoin", "tCoin", [("OnCollision", boolean(True) + s("aHero"), [])])
    ghost = ("aGhost", None, [])
    games["small_game"] = project(VGA[:4], [("tHero", p["bpp4"]), ("tCoin", p["bpp24"])], [hero, coin, ghost],
                                  [("lLevel1", 3, 2, ["aHero", None, "aCoin", "aGhost", None, "aHero"]),
                                   ("lEmpty", 0, 0, [])])
    games["all_pictures"] = project(VGA, [("t" + k, v) for k, v in sorted(p.items()) if k != "wide24"], [], [])
    games["long_strings"] = project([(1, 2, 3)], [], [("a" * 300, None, [])], [], title="Caf\u00e9 \u2013 game")
    return games


# ---- WAV files ----

def chunk(name, body, claimed=None):
    return name + struct.pack("<I", len(body) if claimed is None else claimed) + body + (b"\0" if len(body) % 2 else b"")


def fmt(tag, channels, rate, bits, sub_tag=None):
    body = struct.pack("<HHIIHH", tag, channels, rate, rate * channels * bits // 8, channels * bits // 8, bits)
    if sub_tag is not None:
        body += struct.pack("<HHIH", 22, bits, 4, sub_tag) + bytes([0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])
    return chunk(b"fmt ", body)


def riff(chunks, claimed=None):
    return chunk(b"RIFF", b"WAVE" + b"".join(chunks), claimed)


def tone(frames, channels, bits, period):
    """A square wave, the channels a little apart."""
    out = b""
    for n in range(frames):
        for c in range(channels):
            high = (n + c) % period < period // 2
            out += bytes([200 if high else 56]) if bits == 8 else struct.pack("<h", 12000 if high else -12000)
    return out


def waves():
    w = {}
    w["mono8_16384"] = riff([fmt(1, 1, 16384, 8), chunk(b"data", tone(400, 1, 8, 37))])
    w["stereo16_44100"] = riff([fmt(1, 2, 44100, 16), chunk(b"data", tone(900, 2, 16, 100))])
    w["extensible16_22050"] = riff([fmt(0xFFFE, 1, 22050, 16, 1), chunk(b"data", tone(500, 1, 16, 50))])
    # Data before the format, an odd chunk between, a streaming writer's RIFF size.
    w["data_first"] = riff([chunk(b"data", tone(301, 1, 8, 20)), chunk(b"LIST", b"INFOabc"), fmt(1, 1, 8000, 8)], 0)
    # Longer than 2 seconds: cut.
    w["long8_8000"] = riff([fmt(1, 1, 8000, 8), chunk(b"data", tone(20000, 1, 8, 16))])
    w["one_frame"] = riff([fmt(1, 2, 48000, 16), chunk(b"data", struct.pack("<hh", 1000, -1000))])
    w["float32"] = riff([fmt(3, 1, 16384, 32), chunk(b"data", b"\0" * 64)])
    w["damaged_data"] = riff([fmt(1, 1, 16384, 8), chunk(b"data", tone(64, 1, 8, 8), 4096)])
    return w


def crc32(data):
    import zlib
    return zlib.crc32(data) & 0xFFFFFFFF


def fnv1a(text):
    h = 2166136261
    for b in text:
        h = ((h ^ b) * 16777619) & 0xFFFFFFFF
    return h


def save_copy(slots, scores, letters, sequence, key=fnv1a(b"Fuzz")):
    """One copy of a store: slots of (flags, level, [(name, value)]), the table's (letters, score)."""
    payload = struct.pack("<B", len(slots))
    for flags, level, pairs in slots:
        payload += struct.pack("<BBH", flags, len(pairs), level)
        payload += b"".join(struct.pack("<Ii", fnv1a(name), value) for name, value in pairs)
    if scores is not None:
        payload += struct.pack("<BB", len(scores), letters)
        payload += b"".join(l.ljust(letters, b"\0")[:letters] + struct.pack("<i", v) for l, v in scores)
    head = b"LVKS" + struct.pack("<HHII", 1, len(payload), key, sequence)
    copy = head + struct.pack("<I", crc32(head + payload)) + payload
    return copy.ljust(2048, b"\0")


def saves():
    empty = bytes(2048)
    one = save_copy([(3, 2, [(b"best", 1200), (b"lives", 3)]), (0, 0, []), (0, 0, [])], [(b"ABC", 1200)], 3, 1)
    full = save_copy([(3, 255, [(b"v%d" % k, k * 1000 - 5) for k in range(64)])] * 3,
                     [(b"ZZZZZZZZ", 100 - k) for k in range(10)], 8, 7)
    older = save_copy([(1, 0, [(b"best", 50)])], None, 0, 3)
    return {
        "one_slot": one + empty,
        "both_copies": one + save_copy([(1, 0, [(b"best", 1300)]), (0, 0, []), (0, 0, [])], [], 3, 2),
        "full": empty + full,
        "older_layout": older + empty,
        "other_game": save_copy([(1, 0, [])], [], 3, 1, key=fnv1a(b"Other")) + empty,
    }


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- module files (ProTracker) ----

def protracker(tag, channels, cells, orders):
    """A module of 31 sample slots (1: a 64-byte ramp looping over its last
    48; 2: a 16-byte blip), the order list (restart 127, ProTracker's mark)
    and 64-row patterns of (row, channel, period, sample, effect, value)."""
    b = bytearray(b"seed tune".ljust(20, b"\0"))
    for s in range(31):
        b += (b"Bass" if s == 0 else b"blip" if s == 1 else b"").ljust(22, b"\0")
        b += struct.pack(">HBBHH", 32 if s == 0 else 8 if s == 1 else 0, 0, 64 if s < 2 else 0,
                         8 if s == 0 else 0, 24 if s == 0 else 1)
    b += bytes([len(orders), 127]) + bytes(orders + [0] * (128 - len(orders))) + tag
    for pattern in cells:
        p = bytearray(64 * channels * 4)
        for row, channel, period, sample, effect, value in pattern:
            i = (row * channels + channel) * 4
            p[i:i + 4] = bytes([(sample & 0xF0) | (period >> 8), period & 0xFF, ((sample & 0x0F) << 4) | effect, value])
        b += p
    return bytes(b) + bytes((i * 2) & 0xFF for i in range(64)) + bytes((100 if i % 2 else 156) for i in range(16))


def modules():
    every = [(r, r % 4, 428 - 8 * r, 1 + r % 2, r, 0x21) for r in range(16)]
    return {
        "tune": protracker(b"M.K.", 4, [every, [(0, 3, 856, 2, 0xA, 0x20), (63, 0, 0, 0, 0xB, 0)]], [0, 1, 0]),
        "eight_channels": protracker(b"8CHN", 8, [[(0, 7, 214, 1, 0xC, 0x30)]], [0]),
        "ten_channels": protracker(b"10CH", 10, [[(0, 9, 428, 1, 0, 0)]], [0]),
    }


def main():
    p = pictures()
    for name, data in p.items():
        write("tile_bitmap", name + ".bmp", data)
        write("palette_bitmap", name + ".bmp", data)
    tiles = os.path.join(ROOT, "examples", "tiles")
    for name in ("Hero.bmp", "Coin.bmp"):
        with open(os.path.join(tiles, name), "rb") as f:
            write("tile_bitmap", "sample_" + name.lower(), f.read())
    write("palette_bitmap", "swatches.bmp", palette_swatches())
    # The first byte chooses the format: even JASC-PAL, odd CLRX.
    for name, colors in (("vga", VGA), ("empty", []), ("one", [(12, 34, 56)]), ("ramp", [(k, k, k) for k in range(0, 256, 5)])):
        write("palette_text", "jasc_" + name, b"\0" + jasc(colors))
        write("palette_text", "clrx_" + name, b"\1" + clrx(colors))
    for name, data in projects(p).items():
        write("project", name + ".lvk", data)
    with open(os.path.join(ROOT, "examples", "Sample.lvk"), "rb") as f:
        write("project", "sample.lvk", f.read())
    for name, data in waves().items():
        write("wave", name + ".wav", data)
    for name, data in saves().items():
        write("save", name, data)
    for name, data in modules().items():
        write("module", name + ".mod", data)
    writer = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "out-fuzz", "make_project_seeds")
    if os.path.isfile(writer):
        subprocess.run([writer, os.path.join(CORPUS, "project")], check=True)
    else:
        print("make_seeds.py: no %s; the project seeds it writes are left as they are" % writer, file=sys.stderr)


if __name__ == "__main__":
    main()
