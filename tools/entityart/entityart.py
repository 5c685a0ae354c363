#!/usr/bin/env python3
"""Draws the sprite sheets of the campaign's placed entities as PNG files.

    entityart.py OUTDIR

writes
  placed_items.png  (128 x 64) the pickups: every powerup, the heart piece,
                    the gem (four sparkle frames), the caverns' crystal and
                    the cup of coffee (two steam frames), 16 x 16 each;
  placed_props.png  (256 x 64) doors (open and locked), checkpoints (unlit and
                    two lit frames), the lever (off and on), the gate, the
                    course's start line and bell, signs, turrets (eight
                    directions), teleport pads (three glow frames), the small
                    pop block, the mask's ledge, the overworld's doorways,
                    and the landing dust, water splash and bubble effects
                    and the padlock over a player at a locked doorway;
  status_glyphs.png (64 x 64) the item icons text shows inline: 4 x 4 cells
                    of 16 x 16 in the game's order (GLYPH_CELLS), each the
                    picture of the item's pickup;
  placed_npcs.png   (256 x 256) the characters: eight figures, one 24-pixel
                    row each (0.09375 of the sheet apart); eight 16 x 24
                    columns facing left (two idle, four walking) and the same
                    mirrored in the right half, facing right. They are drawn
                    in channels: red is the clothes, green the skin, blue the
                    hair and outline; the game colours each character from a
                    row of NPC_Palettes.bmp.

Every see-through pixel has alpha 0. FRAMES names every frame: (sheet, x, y,
w, h) in pixels; tools/campaigngen/campaigngen.py takes its entities' sprite
elements from it. The build turns the PNGs (committed in
data/game/src/sprites/) into the 32-bit .bmp sheets the game loads; run this
again after changing it and commit what it writes.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "playerart"))
from playerart import write_png  # noqa: E402  (the same RGBA PNG writer)

CLEAR = (0, 0, 0, 0)

# The full-colour sheets' palette.
PALETTE = {
    'k': (24, 18, 32, 255),     # outline
    'w': (255, 255, 255, 255),
    'y': (250, 220, 60, 255),   # gold
    'Y': (180, 130, 20, 255),   # dark gold
    'o': (235, 140, 40, 255),
    'r': (225, 55, 50, 255),
    'R': (130, 20, 30, 255),
    'b': (80, 150, 245, 255),
    'B': (35, 65, 160, 255),
    'c': (150, 235, 250, 255),  # light cyan
    'g': (90, 215, 90, 255),
    'G': (30, 115, 55, 255),
    'p': (200, 110, 235, 255),
    'P': (105, 45, 140, 255),
    'n': (165, 100, 50, 255),   # wood
    'N': (95, 55, 25, 255),     # dark wood
    's': (210, 210, 225, 255),  # silver
    'S': (130, 130, 150, 255),  # grey
    'd': (70, 70, 88, 255),     # dark grey
    'm': (250, 150, 200, 255),  # pink
    'M': (190, 60, 120, 255),
    'f': (245, 200, 160, 255),  # cream
    'l': (255, 250, 200, 255),  # flame light
}

# ---------------------------------------------------------------------------
# The pickups, 16 x 16. In the orb, X is the colour, L its light and D its
# shade (filled in per aura).

ORB = [
    "................",
    "......kkkk......",
    "....kkXXXXkk....",
    "...kXXLLXXXXk...",
    "...kXLwLXXXXk...",
    "..kXXLLXXXXXXk..",
    "..kXXXXXXXXXXk..",
    "..kXXXXXXXXXXk..",
    "..kXXXXXXXXXDk..",
    "..kXXXXXXXXDDk..",
    "...kXXXXXXDDk...",
    "...kDXXXDDDDk...",
    "....kkDDDDkk....",
    "......kkkk......",
    "................",
    "................",
]
AURAS = {
    "aura_red": ("r", "m", "R"),
    "aura_blue": ("b", "c", "B"),
    "aura_green": ("g", "c", "G"),
    "aura_yellow": ("y", "l", "Y"),
}

BOOT = [
    "................",
    "................",
    ".....kkkkk......",
    "w....kXXXk......",
    "ww...kXXXk......",
    "www..kXXXk......",
    ".wwwwkLXXk......",
    "..wwwkXXXkk.....",
    ".....kXXXXXkk...",
    ".....kXXXXXXXk..",
    ".....kXXXXXXXXk.",
    ".....kDDDDDDDDk.",
    ".....kkkkkkkkkk.",
    "................",
    "................",
    "................",
]


def boot(colour, light, shade, wings=True, under=None):
    rows = [r.replace('X', colour).replace('L', light).replace('D', shade) for r in BOOT]
    if not wings:
        rows = [r[:5].replace('w', '.') + r[5:] for r in rows]
    if under:
        rows = rows[:13] + under + rows[13 + len(under):]
    return rows


SPRING = [
    ".......k.k.k....",
    "......k.k.k.k...",
    ".......k.k.k....",
]
SPIKES = [
    "......s.s.s.s.s.",
    "......S.S.S.S.S.",
]

ITEM_ART = {
    "gloves": [
        "................",
        "....k.k.k.......",
        "...kokokok......",
        "...kokokokk.....",
        "...kokokokok....",
        "...kooooooook...",
        "..kkoooooooook..",
        ".kookoooooooook.",
        ".koooooooooook..",
        "..kooooooooook..",
        "...koooooooook..",
        "...kNNNNNNNNk...",
        "...knnnnnnnnk...",
        "...kkkkkkkkkk...",
        "................",
        "................",
    ],
    "snorkel": [
        "...........kk...",
        "..........kyk...",
        "..........kyk...",
        "..........kyk...",
        "...kkkkkkkkyk...",
        "..kSSSSSSSSkyk..",
        ".kSccbkkccbSkyk.",
        ".kScbbkkcbbSkyk.",
        ".kSbbBkkbbBSkyk.",
        "..kSSSSSSSSkyyk.",
        "...kkkkkkkkkyk..",
        "...........kyk..",
        "..........kyyk..",
        "..........kkk...",
        "................",
        "................",
    ],
    "mask": [
        "................",
        "................",
        "...kkkkkkkkkk...",
        "..kppppppppppk..",
        ".kppPPppppPPppk.",
        ".kpkkkkppkkkkpk.",
        ".kpkckkppkkckpk.",
        ".kpkkkkppkkkkpk.",
        ".kppppppppppppk.",
        "..kpppppppppPk..",
        "...kPppppppPk...",
        "....kPPppPPk....",
        ".....kkkkkk.....",
        "................",
        "................",
        "................",
    ],
    "badge": [
        "................",
        ".......kk.......",
        "......kyyk......",
        "......kyyk......",
        ".kkkkkkyykkkkkk.",
        ".kyyyyylyyyyyyk.",
        "..kyyyylyyyyyk..",
        "...kyyyyyyyyk...",
        "....kyyyyyyk....",
        "....kyyyyyyk....",
        "...kyyyYYyyyk...",
        "...kyyYkkYyyk...",
        "..kyYYk..kYYyk..",
        "..kkkk....kkkk..",
        "................",
        "................",
    ],
    "seal": [
        "................",
        ".....kkkkkk.....",
        "....kbbbbbbk....",
        "...kbbssssbbk...",
        "...kbsbbbbsbk...",
        "...kbsbkkbsbk...",
        "...kbsbkkbsbk...",
        "...kbsbbbbsbk...",
        "...kbbssssbbk...",
        "....kbbbbbbk....",
        ".....krkkrk.....",
        "....krrk.krrk...",
        "....krk...krk...",
        "....kk.....kk...",
        "................",
        "................",
    ],
    "catalyst": [
        "................",
        "......kkkk......",
        "......knnk......",
        "......kkkk......",
        "......kssk......",
        "......kssk......",
        ".....kssssk.....",
        "....kssssssk....",
        "...ksggggggsk...",
        "..ksggcgggggsk..",
        "..ksgggggcggsk..",
        "..ksggggggggsk..",
        "..ksGGGGGGGGsk..",
        "...kkkkkkkkkk...",
        "................",
        "................",
    ],
    "heart": [
        "................",
        "................",
        "..kkkk...kkkk...",
        ".krrrrk.krrrrk..",
        "krmmrrrkrrrrrrk.",
        "krmrrrrrkrrrrrk.",
        "krrrrrrrrkrrrrk.",
        "krrrrrrrkRrrrRk.",
        ".krrrrrrrkRrRk..",
        "..kRrrrrrrkRk...",
        "...kRrrrrRkk....",
        "....kRRrRk......",
        ".....kRRk.......",
        "......kk........",
        "................",
        "................",
    ],
    "necklace": [
        "................",
        "..kk........kk..",
        "..kyk......kyk..",
        "...kyk....kyk...",
        "...kyk....kyk...",
        "....kyk..kyk....",
        "....kykkkkyk....",
        ".....kykkyk.....",
        "......kyyk......",
        ".....kbbbbk.....",
        "....kbcbbbBk....",
        "....kbbbbbBk....",
        ".....kbbBBk.....",
        "......kkkk......",
        "................",
        "................",
    ],
    "key": [
        "................",
        "................",
        "..kkkk..........",
        ".kyyyyk.........",
        "kyykkyyk........",
        "kyk..kyk........",
        "kyk..kykkkkkkkk.",
        "kyykkyyyyyyyyyyk",
        ".kyyyyYYYYkYkYk.",
        "..kkkkkkkkkYkYk.",
        "..........kkkkk.",
        "................",
        "................",
        "................",
        "................",
        "................",
    ],
    "pass": [
        "................",
        "................",
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kffffkffffffffk",
        ".kfbbfkfnnnnnnfk",
        ".kfbbfkffffffffk",
        ".kffffkfnnnnnffk",
        ".kfbbfkffffffffk",
        ".kfbbfkfnnnffffk",
        ".kffffkffffffffk",
        ".kkkkkkkkkkkkkkk",
        "................",
        "................",
        "................",
        "................",
    ],
    "crystal": [
        "................",
        ".......k........",
        "......kck.......",
        ".....kccbk......",
        ".....kcbbk..k...",
        "....kccbbBkkck..",
        "....kcbbbBkcbk..",
        "....kcbbbBkcbBk.",
        "....kcbbbBkcbBk.",
        "..k.kcbbbBkcbBk.",
        ".kck.kbbBkkbBk..",
        ".kcbk.kbBk.kBk..",
        "..kbBkkkkkkkk...",
        "...kkkk.........",
        "................",
        "................",
    ],
}

GEM = [
    "................",
    "................",
    "................",
    "................",
    "......kkkk......",
    ".....kcccgk.....",
    "....kcggggGk....",
    "....kggggGGk....",
    ".....kggGGk.....",
    "......kGGk......",
    ".......kk.......",
    "................",
    "................",
    "................",
    "................",
    "................",
]
# Where the glint sits in each of the gem's frames (none in the last).
GLINT = [(6, 5), (8, 6), (9, 7), None]

COFFEE = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "....kkkkkkkk....",
    "...kwwwwwwwwk...",
    "...kwNNNNNNwkkk.",
    "...kwwwwwwwwk.k.",
    "...kwwwwwwwwk.k.",
    "...kwwwwwwwwkkk.",
    "....kwwwwwwk....",
    "..kkkkkkkkkkkk..",
    "..ksssssssssskk.",
    "...kkkkkkkkkk...",
    "................",
]
STEAM = [[(6, 4), (7, 3), (6, 2), (9, 4), (10, 3), (9, 2)],
         [(7, 4), (6, 3), (7, 2), (10, 4), (9, 3), (10, 2)]]


def item_pictures():
    """name -> rows (16 x 16) of the items sheet, in sheet order."""
    pics = {}
    for name, (x, l, d) in AURAS.items():
        pics[name] = [r.replace('X', x).replace('L', l).replace('D', d) for r in ORB]
    pics["boots"] = boot('n', 'f', 'N')
    pics["boots_high"] = boot('g', 'c', 'G', wings=False, under=SPRING)
    pics["boots_spiked"] = boot('S', 's', 'd', wings=False, under=SPIKES)
    pics.update(ITEM_ART)
    for i, glint in enumerate(GLINT):
        rows = [list(r) for r in GEM]
        if glint:
            gx, gy = glint
            rows[gy][gx] = 'w'
            for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
                if rows[gy + dy][gx + dx] in "cgG":
                    rows[gy + dy][gx + dx] = 'c'
        pics[f"gem_{i}"] = ["".join(r) for r in rows]
    for i, puffs in enumerate(STEAM):
        rows = [list(r) for r in COFFEE]
        for x, y in puffs:
            rows[y][x] = 's'
        pics[f"coffee_{i}"] = ["".join(r) for r in rows]
    return pics


# ---------------------------------------------------------------------------
# The props. Doors and checkpoints are 16 x 32 with their last rows clear, so
# that, centred on their place, they stand on the floor.

DOOR = [
    "................",
    "....kkkkkkkk....",
    "...kNNNNNNNNk...",
    "..kNnnnnnnnnNk..",
    "..kNnNNnnNNnNk..",
    ".kNnnNnnnnNnnNk.",
    ".kNnnNnnnnNnnNk.",
    ".kNnnNnnnnNnnNk.",
    ".kNnnnnnnnnnnNk.",
    ".kNnnnnnnnnnnNk.",
    ".kNnNNNnnNNNnNk.",
    ".kNnNnnnnnnNnNk.",
    ".kNnNnnnnnnNnNk.",
    ".kNnNnnnnyknNNk.",
    ".kNnNnnnnyynNNk.",
    ".kNnNnnnnnnNnNk.",
    ".kNnNNNnnNNNnNk.",
    ".kNnnnnnnnnnnNk.",
    ".kNnnnnnnnnnnNk.",
    ".kNnNNNnnNNNnNk.",
    ".kNnNnnnnnnNnNk.",
    ".kNnNNNnnNNNnNk.",
    ".kNnnnnnnnnnnNk.",
    ".kkkkkkkkkkkkkk.",
]
PADLOCK = {11: ".....kkkk.......", 12: "....kk..kk......", 13: "....kyyyyk......",
           14: "....kyYkyk......", 15: "....kyYYyk......", 16: "....kkkkkk......"}

CHECKPOINT = [
    "................",
    "................",
    "......kkkk......",
    ".....kddddk.....",
    "....kdFFFFdk....",
    "....kdFFFFdk....",
    "....kdFFFFdk....",
    "....kdFFFFdk....",
    "....kkddddkk....",
    ".....kkddkk.....",
    "......kdSk......",
    "......kdSk......",
    "......kdSk......",
    "......kdSk......",
    "......kdSk......",
    "......kdSk......",
    "......kdSk......",
    "......kdSk......",
    "......kdSk......",
    "......kdSk......",
    ".....kkdSkk.....",
    "....kSSSSSSk....",
    "...kSSSSSSSSk...",
    "...kkkkkkkkkk...",
]
# The lantern's glass: dark when unlit, a flame in two frames when lit.
FLAME = [["kkkk", "kddk", "kddk", "kkkk"],
         ["yllo", "olly", "oyyo", "ooro"],
         ["lyoo", "ylly", "oyyo", "oroo"]]

LEVER_BASE = [
    "..kkkkkkkkkkkk..",
    ".kSSSSSSSSSSSSk.",
    ".kSddddddddddSk.",
    ".kkkkkkkkkkkkkk.",
]


LEVER_OFF = [
    "................",
    "................",
    "..kkk...........",
    "..kgck..........",
    "..kggk..........",
    "...kkSk.........",
    ".....kSk........",
    "......kSk.......",
    ".......kSk......",
    "........kSk.....",
    "......kkkkkk....",
    ".....kSSSSSSk...",
]


def lever(on):
    """The lever thrown to the left (off, a green knob) or the right (on, red)."""
    rows = LEVER_OFF
    if on:
        rows = [r[::-1].replace('g', 'r').replace('c', 'm') for r in rows[:10]] + rows[10:]
    return rows + LEVER_BASE


def gate():
    rows = []
    for y in range(48):
        if y < 2 or y >= 46:
            rows.append("kkkkkkkk")
        elif y % 8 in (0, 1):
            rows.append("kSSSSSSk")
        else:
            rows.append("kdSkkSdk")
    rows[1] = "kyyyyyyk"
    return rows


def start_line():
    rows = []
    for y in range(24):
        if y < 12:
            rows.append("".join('w' if ((x // 2) + (y // 2)) % 2 == 0 else 'k' for x in range(6)) + "k.")
        else:
            rows.append("kSSk....")
    rows[23] = "kddk...."
    return rows + ["." * 8] * 8


BELL = [
    "......kkkk......",
    "......kSSk......",
    "......kkkk......",
    ".....kyyyyk.....",
    "....kylyyyyk....",
    "....kylyyyYk....",
    "....kyyyyyYk....",
    "...kyyyyyyyYk...",
    "..kyyyyyyyyyYk..",
    "..kkkkkkkkkkkk..",
    ".......kk.......",
]


def bell(swing):
    """The bell on its post; swing -1, 0 or 1 tilts it a pixel."""
    rows = [["."] * 16 for _ in range(32)]
    for y, line in enumerate(BELL):
        shift = swing if y >= 3 else 0
        for x, ch in enumerate(line):
            if ch != '.' and 0 <= x + shift < 16:
                rows[y + 2][x + shift] = ch
    for y in range(2, 24):
        rows[y][1] = 'k'
        rows[y][2] = 'n'
        rows[y][3] = 'k'
    for x in range(1, 15):
        rows[1][x] = 'k'
        rows[2][x] = 'n' if 1 < x < 14 else 'k'
    rows[3][1:15] = list("kkkkkkkkkkkkkk")
    rows[3][7:9] = list("kS")
    for x in range(0, 6):
        rows[22][x] = 'k'
        rows[23][x] = 'N'
    return ["".join(r) for r in rows]


SIGN = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".knnnnnnnnnnnnk.",
    ".knkkkknkkkknnk.",
    ".knnnnnnnnnnnnk.",
    ".knkkknkkkkknnk.",
    ".knnnnnnnnnnnnk.",
    ".kNNNNNNNNNNNNk.",
    ".kkkkkkkkkkkkkk.",
    "......kNNk......",
    "......kNNk......",
    "......kNNk......",
    "......kNNk......",
    "......kNNk......",
    ".....kkNNkk.....",
    ".....kkkkkk.....",
]


def turret(angle):
    """A stone socket with a barrel pointing along the angle (degrees, 0 along
    +x, 90 up)."""
    rows = [["."] * 16 for _ in range(16)]
    for y in range(16):
        for x in range(16):
            r = math.hypot(x + 0.5 - 8, y + 0.5 - 8)
            if r <= 5.0:
                rows[y][x] = 'k' if r > 4.0 else ('d' if (x + 2 * y) % 7 else 'S')
    dx, dy = math.cos(math.radians(angle)), -math.sin(math.radians(angle))
    for t in range(3, 8):
        for w, ch in ((-1.2, 'k'), (1.2, 'k'), (-0.5, 's'), (0.5, 's')):
            x = int(math.floor(8 + dx * t - dy * w))
            y = int(math.floor(8 + dy * t + dx * w))
            if 0 <= x < 16 and 0 <= y < 16 and (ch == 's' or rows[y][x] != 's'):
                rows[y][x] = ch
    for w in (-0.5, 0.5):
        x = int(math.floor(8 + dx * 7 - dy * w))
        y = int(math.floor(8 + dy * 7 + dx * w))
        if 0 <= x < 16 and 0 <= y < 16:
            rows[y][x] = 'r'
    for y in (7, 8):
        for x in (7, 8):
            rows[y][x] = 'o'
    rows[7][7] = 'y'
    return ["".join(r) for r in rows]


def teleport_pad(frame):
    glow = [('c', 'b'), ('b', 'c'), ('w', 'c')][frame]
    rows = [
        "..k.k.k.k.k.k...",
        "................",
        "...k.k.k.k.k.k..",
        "..kkkkkkkkkkkk..",
        ".kAAAAAAAAAAAAk.",
        "kSBBBBBBBBBBBBSk",
        "kSSSSSSSSSSSSSSk",
        "kkkkkkkkkkkkkkkk",
    ]
    rows[0] = rows[0].replace('k', glow[0]) if frame != 1 else "................"
    rows[2] = rows[2].replace('k', glow[1]) if frame != 0 else "................"
    return [r.replace('A', glow[0]).replace('B', 'B') for r in rows]


POP = [
    "kkkkkkkk",
    "koooooYk",
    "kowyyoYk",
    "koyYYoYk",
    "kooyooYk",
    "koooooYk",
    "kYYYYYYk",
    "kkkkkkkk",
]
LEDGE = [
    "pkpkpkpkpkpkpkpkpkpkpkpk",
    "cppppppppppppppppppppppc",
    "cPPPPPPPPPPPPPPPPPPPPPPc",
    "kPkPkPkPkPkPkPkPkPkPkPkP",
]

# The overworld's doorways, seen from above.
OVER_CAVE = [
    "................",
    ".....kkkkkk.....",
    "...kkddddddkk...",
    "..kddSSSSSSddk..",
    ".kdSSkkkkkkSSdk.",
    ".kdSkkkkkkkkSdk.",
    "kdSkkkkkkkkkkSdk",
    "kdSkkkkkkkkkkSdk",
    "kdSkkkkkkkkkkSdk",
    "kdSkkkkkkkkkkSdk",
    "kdSSkkkkkkkkSSdk",
    ".kdSSSSSSSSSSdk.",
    "..kddddddddddk..",
    "...kkkkkkkkkk...",
    "................",
    "................",
]
OVER_STAIR = [
    "kkkkkkkkkkkkkkkk",
    "kSSSSSSSSSSSSSSk",
    "kSkkkkkkkkkkkkSk",
    "kSssssssssssssSk",
    "kSddddddddddddSk",
    "kSSSSSSSSSSSSSSk",
    "kSddddddddddddSk",
    "kSSSSSSSSSSSSSSk",
    "kSddddddddddddSk",
    "kSddddddddddddSk",
    "kSkkkkkkkkkkkkSk",
    "kSkkkkkkkkkkkkSk",
    "kSkkkkkkkkkkkkSk",
    "kSSSSSSSSSSSSSSk",
    "kkkkkkkkkkkkkkkk",
    "................",
]
OVER_TOWER = [
    "......kkkk......",
    ".....kppppk.....",
    "....kpPPPPpk....",
    "...kpPPPPPPpk...",
    "..kkkkkkkkkkkk..",
    "..kSSSSSSSSSSk..",
    "..kSdSSkkSSdSk..",
    "..kSSSkyykSSSk..",
    "..kSdSkyykSdSk..",
    "..kSSSkyykSSSk..",
    "..kSdSkkkkSdSk..",
    "..kSSSkkkkSSSk..",
    "..kSdSkkkkSdSk..",
    "..kkkkkkkkkkkk..",
    "................",
    "................",
]
OVER_ARCH = [
    "................",
    "...kkkkkkkkkk...",
    "..knnnnnnnnnnk..",
    ".knNNkkkkkkNNnk.",
    ".knNkkkkkkkkNnk.",
    ".knNkkkkkkkkNnk.",
    ".knNkkkkkkkkNnk.",
    ".knNkkyyyykkNnk.",
    ".knNkkyYYykkNnk.",
    ".knNkkyyyykkNnk.",
    ".knNkkkkkkkkNnk.",
    ".knNkkkkkkkkNnk.",
    ".knnnnnnnnnnnnk.",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
]
OVER_HUT = [
    ".......kk.......",
    "......krrk......",
    ".....krrrrk.....",
    "....krrRRrrk....",
    "...krrRRRRrrk...",
    "..krrRRRRRRrrk..",
    ".kkkkkkkkkkkkkk.",
    "..kffffffffffk..",
    "..kffkkffffffk..",
    "..kffkkffkkffk..",
    "..kffkkffkkffk..",
    "..kffkkffffffk..",
    "..kffkkffffffk..",
    "..kkkkkkkkkkkk..",
    "................",
    "................",
]


# ---------------------------------------------------------------------------
# The characters, drawn in channels (see the docstring). Amounts: C/c clothes
# full and shaded, K/j skin, H/h hair, O outline (a little of the hair's
# colour), E eye (black).

NPC_CHANNELS = {
    'C': (255, 0, 0, 255), 'c': (150, 0, 0, 255),
    'K': (0, 255, 0, 255), 'j': (0, 170, 0, 255),
    'H': (0, 0, 255, 255), 'h': (0, 0, 150, 255),
    'O': (0, 0, 60, 255), 'E': (0, 0, 0, 255),
}

# Heads facing left, 16 wide, 9 rows.
NPC_HEADS = [
    [   # short hair
        "................",
        ".....OOOOO......",
        "....OHHHHHO.....",
        "...OHHHHHHHO....",
        "...OKKKHHHHO....",
        "...OEKKKHHHO....",
        "..OKKKKKjHO.....",
        "...OKKKKjO......",
        "....OOOOO.......",
    ],
    [   # hat with a brim
        ".....OOOO.......",
        "....OccccO......",
        "....OccccO......",
        "..OOccccccOO....",
        ".OccccccccccO...",
        "..OOKKKKHHOO....",
        "...OEKKKHHO.....",
        "..OKKKKKjO......",
        "...OOOOOO.......",
    ],
    [   # hood
        ".....OOOOO......",
        "....OccccCO.....",
        "...OcCCCCCCO....",
        "...OKKKCCCCCO...",
        "...OEKKKCCCCO...",
        "..OKKKKKjCCCO...",
        "...OKKKKjCCO....",
        "...OCCCCCCO.....",
        "....OOOOOO......",
    ],
    [   # long hair
        ".....OOOOO......",
        "....OHHHHHO.....",
        "...OHHHHHHHO....",
        "...OKKKHHHHHO...",
        "...OEKKKHHHHO...",
        "..OKKKKKjHHHO...",
        "...OKKKKjHHHO...",
        "....OOOOOHHHO...",
        ".........OOO....",
    ],
    [   # bald, with a beard
        "................",
        ".....OOOOO......",
        "....OKKKKjO.....",
        "...OKKKKKKjO....",
        "...OKKKKKKjO....",
        "...OEKKKKKjO....",
        "..OKHHKKKjO.....",
        "...OHHHHHHO.....",
        "....OHHHHO......",
    ],
    [   # helmet
        ".....OOOOO......",
        "....OhhhhhO.....",
        "...OhHHHHHhO....",
        "...OHHHHHHHO....",
        "...OOKKKKOhO....",
        "...OEKKKKjhO....",
        "..OKKKKKjOO.....",
        "...OKKKKjO......",
        "....OOOOO.......",
    ],
    [   # cap with a peak to the front
        "................",
        ".....OOOOO......",
        "....OCCCCCO.....",
        ".OOOCCCCCCO.....",
        ".OccccHHHHO.....",
        "...OEKKKHHO.....",
        "..OKKKKKjHO.....",
        "...OKKKKjO......",
        "....OOOOO.......",
    ],
    [   # hair in a bun
        "........OOO.....",
        ".......OHHHO....",
        ".....OOOHHO.....",
        "....OHHHHHHO....",
        "...OKKKHHHHO....",
        "...OEKKKHHHO....",
        "..OKKKKKjHO.....",
        "...OKKKKjO......",
        "....OOOOO.......",
    ],
]
NPC_BODY = [
    "....OCCCCCO.....",
    "...OCCCCCCCO....",
    "..OjCCCCCCcjO...",
    "..OjCCCCCCcjO...",
    "..OKcCCCCCcKO...",
    "...OOhhhhhOO....",
    "....OCCCCcO.....",
]
# Legs: 8 rows; frames: standing, then four steps.
NPC_LEGS = [
    ["....OccOccO.....", "....OccOccO.....", "....OccOccO.....", "....OccOccO.....",
     "....OccOccO.....", "...OhhOOhhO.....", "...OhhhOhhhO....", "...OOOOOOOOO...."],
    ["...OccO.OccO....", "...OccO.OccO....", "..OccO...OccO...", "..OccO...OccO...",
     "..OccO...OccO...", ".OhhO....OhhO...", ".OhhhO...OhhhO..", ".OOOOO...OOOOO.."],
    ["....OccOccO.....", "....OccOccO.....", "....OccOccO.....", "....OccOOccO....",
     "....OccOOccO....", "...OhhOOOhhO....", "...OhhhOhhhO....", "...OOOOOOOOO...."],
    ["....OccOccO.....", "....OccOccO.....", "...OccO.OccO....", "...OccO..OccO...",
     "..OccO...OccO...", "..OhhO...OhhO...", ".OhhhO...OhhhO..", ".OOOOO...OOOOO.."],
    ["....OccOccO.....", "....OccOccO.....", "....OccOccO.....", "....OccOccO.....",
     "....OOccOccO....", "...OhhOOhhO.....", "...OhhhOhhhO....", "...OOOOOOOOO...."],
]


def npc_frame(figure, pose, breath=False):
    """24 rows facing left: the head, the body and the legs of the pose."""
    head = NPC_HEADS[figure]
    body = NPC_BODY
    if figure in (2, 4):
        # Robed figures: a longer coat over the legs.
        legs = [r.replace('c', 'C') if i < 4 else r for i, r in enumerate(NPC_LEGS[pose])]
    else:
        legs = NPC_LEGS[pose]
    rows = head + body + legs
    if breath:
        rows = ["." * 16] + rows[:-1]
        rows[-1] = NPC_LEGS[pose][-1]
    return rows[:24]


# ---------------------------------------------------------------------------
# Layout: every frame's place in its sheet.

ITEM_ORDER = [
    "aura_red", "aura_blue", "aura_green", "aura_yellow", "boots", "boots_high", "boots_spiked", "gloves",
    "snorkel", "mask", "badge", "seal", "catalyst", "heart", "necklace", "key",
    "pass", "gem_0", "gem_1", "gem_2", "gem_3", "coffee_0", "coffee_1", "crystal",
]

# name -> (x, y) in placed_props.png, and a drawing function or rows.
TURRET_ANGLES = [0, 45, 90, 135, 180, 225, 270, 315]


def props():
    """[(name, x, y, rows)] of placed_props.png."""
    out = []
    x = 0
    for name, rows in (("door", DOOR), ("door_locked", locked_door()),
                       ("checkpoint_0", checkpoint(0)), ("checkpoint_1", checkpoint(1)),
                       ("checkpoint_2", checkpoint(2)),
                       ("bell_0", bell(0)), ("bell_1", bell(-1)), ("bell_2", bell(1))):
        rows = rows + ["." * 16] * (32 - len(rows))
        out.append((name, x, 0, rows))
        x += 16
    out.append(("gate", x, 0, gate()))
    out.append(("start_line", x + 8, 0, start_line()))
    x += 16
    for name, rows in (("lever_off", lever(False)), ("lever_on", lever(True)), ("sign", SIGN)):
        out.append((name, x, 0, rows))
        x += 16
    for i, name in enumerate(("over_cave", "over_stair", "over_tower", "over_arch", "over_hut")):
        out.append((name, x + 16 * (i % 3), 16 * (i // 3), globals()[name.upper()]))
    out.append(("padlock_over", 240, 0, PADLOCK_OVER))
    for i, angle in enumerate(TURRET_ANGLES):
        out.append((f"turret_{angle}", 16 * i, 32, turret(angle)))
    for i in range(3):
        out.append((f"pad_{i}", 16 * i, 48, teleport_pad(i)))
    out.append(("popblock", 48, 48, POP))
    out.append(("ledge", 56, 48, LEDGE))
    for i, rows in enumerate(DUST):
        out.append((f"dust_{i}", 80 + 8 * i, 48, rows))
    for i, rows in enumerate(SPLASH):
        out.append((f"splash_{i}", 104 + 16 * i, 48, rows))
    out.append(("bubble", 152, 48, BUBBLE))
    return out


# Short-lived effects: the dust where the player lands (8 x 8), the splash
# where it enters or leaves water (16 x 8), and a bubble (4 x 4).
DUST = [
    ["........", "........", "........", "........", "...ss...", "..sSSs..", ".ssSSss.", "........"],
    ["........", "........", "........", ".s....s.", "s.s..s.s", ".sS..Ss.", "s......s", "........"],
    ["........", "........", "s......s", "........", ".s....s.", "........", "s......s", "........"],
]
SPLASH = [
    ["................", "................", "................", ".......cc.......",
     "......cbbc......", ".....c.bb.c.....", "....c..bb..c....", "...bbbbbbbbbb..."],
    ["................", "....c......c....", "...c..c..c..c...", "..c..c....c..c..",
     "..b..........b..", ".b............b.", "................", "..bb........bb.."],
    ["...c........c...", "................", ".c............c.", "................",
     "c..............c", "................", "................", "................"],
]
BUBBLE = [".cc.", "cw.c", "c..c", ".cc."]


# A padlock shown over the player's head when it tries a locked doorway
# without its key (the "Padlock" effect): 16 x 32, centred where the player
# stands on the overworld, so the lock fills the top rows, above the
# player's 16 x 16 figure, and the rest is clear.
PADLOCK_OVER = [
    "......kkkk......",
    ".....ksSSSk.....",
    ".....ks..Sk.....",
    "....kkkkkkkk....",
    "....kyyyyyYk....",
    "....kyykkyYk....",
    "....kyyykyYk....",
    "....kYYYYYYk....",
    "....kkkkkkkk....",
] + ["." * 16] * 23


def locked_door():
    rows = list(DOOR)
    for y, line in PADLOCK.items():
        rows[y] = "".join(line[i] if line[i] != '.' else rows[y][i] for i in range(16))
    return rows


def checkpoint(frame):
    rows = [list(r) for r in CHECKPOINT]
    for dy, line in enumerate(FLAME[frame]):
        rows[4 + dy][6:10] = list(line)
    return ["".join(r) for r in rows]


SHEETS = {"placed_items": (128, 64), "placed_props": (256, 64), "placed_npcs": (256, 256)}


def frames():
    """name -> (sheet file, x, y, w, h)."""
    table = {}
    for i, name in enumerate(ITEM_ORDER):
        table[name] = ("placed_items.bmp", 16 * (i % 8), 16 * (i // 8), 16, 16)
    for name, x, y, rows in props():
        table[name] = ("placed_props.bmp", x, y, len(rows[0]), len(rows))
    for col in range(8):
        table[f"npc_{col}"] = ("placed_npcs.bmp", 16 * col, 0, 16, 24)
    return table


FRAMES = frames()


def blank(w, h):
    return [[CLEAR] * w for _ in range(h)]


def put(picture, rows, x0, y0, palette, mirror=False):
    for y, line in enumerate(rows):
        if mirror:
            line = line[::-1]
        for x, ch in enumerate(line):
            if ch != '.':
                picture[y0 + y][x0 + x] = palette[ch]


def items_sheet():
    pics = item_pictures()
    picture = blank(*SHEETS["placed_items"])
    for i, name in enumerate(ITEM_ORDER):
        put(picture, pics[name], 16 * (i % 8), 16 * (i // 8), PALETTE)
    return picture


def props_sheet():
    picture = blank(*SHEETS["placed_props"])
    for _name, x, y, rows in props():
        put(picture, rows, x, y, PALETTE)
    return picture


def npcs_sheet():
    picture = blank(*SHEETS["placed_npcs"])
    for figure in range(8):
        poses = [npc_frame(figure, 0), npc_frame(figure, 0, breath=True)] + [npc_frame(figure, p) for p in (1, 2, 3, 4)]
        for col, rows in enumerate(poses):
            put(picture, rows, 16 * col, 24 * figure, NPC_CHANNELS)
            put(picture, rows, 128 + 16 * col, 24 * figure, NPC_CHANNELS, mirror=True)
    return picture


# The item pictures text shows inline (the "stat" glyphs), in the cell order
# the game names them: each is the picture of the pickup that hands the item
# out (so a shop's choice shows what the player is given). None is an empty
# cell; "keys" (the count of small keys) has no pickup and its own picture.
GLYPH_CELLS = [
    ("empty", None), ("keys", "keys"), ("smcubes", "gem_0"), ("bgcubes", "heart"),
    ("redaura", "aura_red"), ("blueaura", "aura_blue"), ("swimsuit", "snorkel"), ("toxicsuit", "catalyst"),
    ("boots", "boots"), ("gloves", "gloves"), ("mkey", "key"), ("mask", "mask"),
    ("badge", "badge"), ("arcpass", "seal"), ("styxpass", "pass"), ("necklace", "necklace"),
]

# A small key, upright, each pixel drawn 2 x 2.
KEYS_GLYPH = [row for line in [
    "........",
    "..yyy...",
    ".y...y..",
    ".y...y..",
    "..yyy...",
    "...y....",
    "...yy...",
    "...y.yy.",
] for row in ["".join(c * 2 for c in line)] * 2]


def glyph_sheet():
    """status_glyphs.png (64 x 64): the 4 x 4 cells of GLYPH_CELLS, 16 x 16 each."""
    pics = item_pictures()
    pics["keys"] = KEYS_GLYPH
    picture = blank(64, 64)
    for i, (_glyph, name) in enumerate(GLYPH_CELLS):
        if name is not None:
            put(picture, pics[name], 16 * (i % 4), 16 * (i // 4), PALETTE)
    return picture


def check():
    """Every drawing is rectangular, in its palette and inside its sheet."""
    boxes = []
    for name, x, y, rows in props():
        w, h = len(rows[0]), len(rows)
        for other, ox, oy, ow, oh in boxes:
            assert x >= ox + ow or ox >= x + w or y >= oy + oh or oy >= y + h, (name, other)
        boxes.append((name, x, y, w, h))
        assert all(len(r) == len(rows[0]) for r in rows), name
        assert x + len(rows[0]) <= SHEETS["placed_props"][0] and y + len(rows) <= SHEETS["placed_props"][1], name
        assert all(ch == '.' or ch in PALETTE for r in rows for ch in r), name
    for name, rows in item_pictures().items():
        assert len(rows) == 16 and all(len(r) == 16 for r in rows), name
        assert all(ch == '.' or ch in PALETTE for r in rows for ch in r), name
    assert len(GLYPH_CELLS) == 16
    for figure in range(8):
        for pose in range(5):
            rows = npc_frame(figure, pose)
            assert len(rows) == 24 and all(len(r) == 16 for r in rows), (figure, pose)


def main():
    if len(sys.argv) != 2 or sys.argv[1] in ("-h", "--help"):
        print(__doc__)
        return 0 if len(sys.argv) == 2 else 2
    check()
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_png(os.path.join(out, "placed_items.png"), items_sheet())
    write_png(os.path.join(out, "placed_props.png"), props_sheet())
    write_png(os.path.join(out, "placed_npcs.png"), npcs_sheet())
    write_png(os.path.join(out, "status_glyphs.png"), glyph_sheet())
    return 0


if __name__ == "__main__":
    sys.exit(main())
