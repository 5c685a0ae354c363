#!/usr/bin/env python3
"""Draws the player's sprite sheets as PNG files.

    playerart.py OUTDIR

writes drovanisheetredux.png (the side-view figure, 128 x 256: 16 x 24 frames,
8 columns; the lower half is the upper half mirrored, for facing left),
drovanisheet_ghost.png (the speedrun ghost, 64 x 64: a pale wisp in 16 x 24
frames, three across (its tail waving, cycled whether it moves or not),
facing right from the top, facing left from halfway down; its body is half
see-through, though the world sprites cut out only clear texels and draw the
rest solid) and drovanimapsheet.png (the overworld figure, 64 x 32: 16 x 16
frames, columns down, right, left, up; rows the two steps). The build turns
them into the .bmp sheets the game loads. Frames, by (column, row):

    (0,0) standing      (1,0) crouching        (0,1) (1,1) dying, flashing
    (2,1) on a wall     (0..5,2) walking       (0,3) in the air
    (1,3) rising        (2,3) falling          (3,3) landing, and the idle stretch
"""
import os
import struct
import sys
import zlib

CLEAR = (0, 0, 0, 0)
PALETTE = {
    'H': (0x6a, 0x3b, 0x1e, 255),  # hair
    'S': (0xf0, 0xc0, 0x90, 255),  # skin
    'E': (0x20, 0x20, 0x40, 255),  # eye
    'T': (0x30, 0x90, 0xd8, 255),  # tunic
    't': (0x20, 0x60, 0xa0, 255),  # tunic shade
    'B': (0xe8, 0xd0, 0x40, 255),  # belt
    'L': (0x40, 0x38, 0x60, 255),  # legs
    'F': (0x80, 0x40, 0x20, 255),  # boots
    'W': (0xff, 0xff, 0xff, 255),  # flash
    'R': (0xe0, 0x30, 0x30, 255),  # scarf
}

# Rows of the side-view figure facing right, 16 wide; legs drawn separately.
HEAD = [
    "......HHHH......",
    ".....HHHHHH.....",
    "....HHHHHHHH....",
    "....HHSSSSHH....",
    "....HSSSSESH....",
    "....HSSSSSSS....",
    ".....SSSSSS.....",
    "......RRRRR.....",
]
BODY = [
    ".....RTTTTT.....",
    "....STTTTTTS....",
    "....STTTTTTS....",
    "....SttTTTtS....",
    ".....BBBBBB.....",
    ".....tTTTTt.....",
]
# The figure stands on the frame's row 19: the player's box reaches 8 pixels
# below its centre and the 24-pixel frame 12, so rows 20..23 stay clear and
# the boots meet the floor the box stands on (as the people's do).
FOOT_ROW = 19


# Leg poses: 6 rows each (rows 14..19 of the frame), or fewer for a squat.
def legs(left, right, lift_left=0, lift_right=0, length=4):
    """Two legs, x offsets of their left column, lifted by whole rows."""
    rows = [['.'] * 16 for _ in range(length + 2)]
    for x0, lift in ((left, lift_left), (right, lift_right)):
        for r in range(0, length - lift):
            for dx in range(2):
                rows[r][x0 + dx] = 'L'
        for dx in range(3):
            rows[length - lift][min(15, x0 + dx)] = 'F'
            rows[length + 1 - lift][min(15, x0 + dx)] = 'F'
    return ["".join(r) for r in rows]


def figure(leg_rows, head_dy=0, arms_up=False):
    rows = ["." * 16] * head_dy + HEAD + BODY + leg_rows
    rows = rows[:24] + ["." * 16] * max(0, 24 - len(rows))
    if arms_up:
        rows = [r for r in rows]
        for i in (8, 9):
            r = list(rows[i + head_dy])
            r[3] = 'S'
            r[12] = 'S'
            rows[i + head_dy] = "".join(r)
    return rows


def crouch():
    rows = ["." * 16] * 5 + HEAD + BODY[:1] + [
        "....STTTTTTS....",
        ".....BBBBBB.....",
        "....LLL..LLL....",
        "....LLL..LLL....",
        "...FFF....FFF...",
        "...FFF....FFF...",
    ]
    return (rows + ["." * 16] * 24)[:24]


def flash(rows):
    return ["".join('W' if c != '.' else '.' for c in r) for r in rows]


def fallen():
    rows = ["." * 16] * 14 + [
        "................",
        "..HHHH..........",
        ".HHSSSRTTTTBLLFF",
        ".HHSESRTTTTBLLFF",
        "..HSSSRtttTBLLFF",
        "................",
        "................",
        "................",
        "................",
        "................",
    ]
    return rows[:24]


def on_wall():
    rows = figure(legs(6, 8, 0, 3))
    out = []
    for r in rows:
        out.append(r[1:] + ".")
    for i in (9, 10):
        r = list(out[i])
        r[13] = 'S'
        r[14] = 'S'
        out[i] = "".join(r)
    return out


WALK = [
    legs(5, 9, 0, 0),
    legs(4, 10, 0, 1),
    legs(5, 9, 1, 0),
    legs(6, 8, 0, 0),
    legs(7, 7, 0, 2),
    legs(5, 9, 2, 0),
]

FRAMES = {
    (0, 0): figure(legs(5, 9)),
    (1, 0): crouch(),
    (0, 1): fallen(),
    (1, 1): flash(fallen()),
    (2, 1): on_wall(),
    (0, 3): figure(legs(5, 9, 1, 1)),
    (1, 3): figure(legs(5, 9, 0, 3), arms_up=True),
    (2, 3): figure(legs(4, 10, 2, 2), arms_up=True),
    (3, 3): figure(legs(4, 10, length=2), head_dy=2)[:24],
}
for i, leg_rows in enumerate(WALK):
    FRAMES[(i, 2)] = figure(leg_rows)


def blank(width, height):
    return [[CLEAR] * width for _ in range(height)]


def put(picture, rows, x0, y0, mirror=False, tint=None):
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c == '.':
                continue
            colour = PALETTE[c]
            if tint is not None:
                colour = tint(colour)
            px = x0 + (15 - x if mirror else x)
            picture[y0 + y][px] = colour


def lowest_row(rows):
    return max((y for y, row in enumerate(rows) if row.strip('.')), default=-1)


def side_sheet(tint=None):
    for key, rows in FRAMES.items():
        assert len(rows) == 24 and lowest_row(rows) <= FOOT_ROW, (key, lowest_row(rows))
    picture = blank(128, 256)
    for (col, row), rows in FRAMES.items():
        put(picture, rows, col * 16, row * 24, tint=tint)
        put(picture, rows, col * 16, 128 + row * 24, mirror=True, tint=tint)
    return picture


# The ghost: a hooded wisp, 16 x 24, facing right; its tail below (rows
# 16..23) waves through three frames.
GHOST_PALETTE = {
    'O': (0x70, 0x88, 0xf0, 210),  # outline
    'W': (0xe4, 0xec, 0xff, 170),  # body, see-through
    'w': (0xb8, 0xc8, 0xff, 170),  # body shade
    'E': (0x18, 0x18, 0x48, 240),  # eyes
}
GHOST_BODY = [
    "................",
    "......OOOO......",
    "....OOWWWWOO....",
    "...OWWWWWWWWO...",
    "..OWWWWWWWWWWO..",
    "..OWWWWWWEWWEO..",
    "..OWWWWWWEWWEO..",
    "..OWWWWWWWWWWO..",
    "..OwWWWWWWWWWO..",
    ".OWwWWWWWWWWWWO.",
    "OWWOwWWWWWWWOWWO",
    "OOO.OwWWWWWWO.OO",
    "....OwWWWWWWO...",
    "....OwwWWWWWO...",
    "....OwwWWWWO....",
    ".....OwWWWWO....",
]
GHOST_TAILS = [
    [".....OwWWWO.....",
     "......OwWWO.....",
     "......OwWWO.....",
     ".......OwWO.....",
     "........OWO.....",
     ".........OO.....",
     "..........O.....",
     "................"],
    [".....OwWWWO.....",
     ".....OwWWO......",
     "....OwWWO.......",
     "....OwWO........",
     "....OWO.........",
     "...OO...........",
     "...O............",
     "................"],
    [".....OwWWWO.....",
     "......OwWWO.....",
     ".......OwWWO....",
     "........OwWO....",
     ".........OWO....",
     "..........OO....",
     "...........O....",
     "................"],
]


def ghost_sheet():
    picture = blank(64, 64)
    for i, tail in enumerate(GHOST_TAILS):
        rows = GHOST_BODY + tail
        for x, y, mirror in ((i * 16, 0, False), (i * 16, 32, True)):
            for ry, row in enumerate(rows):
                for rx, c in enumerate(row):
                    if c != '.':
                        picture[y + ry][x + (15 - rx if mirror else rx)] = GHOST_PALETTE[c]
    return picture


# The overworld figure seen from above, 16 x 16, facing down (towards the viewer).
OVER_DOWN = [
    "................",
    "......HHHH......",
    ".....HHHHHH.....",
    ".....HSSSSH.....",
    ".....SESSES.....",
    ".....SSSSSS.....",
    "......RRRR......",
    "....STTTTTTS....",
    "....STTTTTTS....",
    "....S.BBBB.S....",
    ".....tTTTTt.....",
    ".....LL..LL.....",
    ".....LL..LL.....",
    ".....FF..FF.....",
    "................",
    "................",
]
OVER_UP = [r.replace('S', 'H').replace('E', 'H') if i < 6 else r for i, r in enumerate(OVER_DOWN)]
OVER_SIDE = [
    "................",
    "......HHHH......",
    ".....HHHHHH.....",
    ".....HHSSSS.....",
    ".....HSSSES.....",
    ".....HSSSSS.....",
    "......RRRR......",
    ".....TTTTTS.....",
    ".....TTTTTS.....",
    ".....BBBBB......",
    ".....tTTTt......",
    ".....LL.LL......",
    ".....LL.LL......",
    ".....FF.FF......",
    "................",
    "................",
]


def step(rows):
    """The other step: one foot forward."""
    out = list(rows)
    out[13] = rows[13].replace("FF..FF", "FF....").replace("FF.FF", "FF...")
    out[14] = rows[12].replace("LL..LL", "....FF").replace("LL.LL", "...FF").replace('L', '.')
    return out


def overworld_sheet():
    picture = blank(64, 32)
    columns = [(OVER_DOWN, False), (OVER_SIDE, False), (OVER_SIDE, True), (OVER_UP, False)]
    for col, (rows, mirror) in enumerate(columns):
        put(picture, step(rows), col * 16, 0, mirror)
        put(picture, rows, col * 16, 16, mirror)
    return picture


def write_png(path, picture):
    height = len(picture)
    width = len(picture[0])
    raw = b"".join(b"\x00" + b"".join(struct.pack("4B", *p) for p in row) for row in picture)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
                chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2 or sys.argv[1] in ("-h", "--help"):
        print(__doc__)
        return 0 if len(sys.argv) == 2 else 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_png(os.path.join(out, "drovanisheetredux.png"), side_sheet())
    write_png(os.path.join(out, "drovanisheet_ghost.png"), ghost_sheet())
    write_png(os.path.join(out, "drovanimapsheet.png"), overworld_sheet())
    return 0


if __name__ == "__main__":
    sys.exit(main())
