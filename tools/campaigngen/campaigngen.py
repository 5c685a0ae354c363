#!/usr/bin/env python3
"""campaigngen: writes the generated part of the campaign "QXV".

    tools/campaigngen/campaigngen.py [DATA_GAME_DIR]

DATA_GAME_DIR defaults to data/game beside this tool. It (re)writes:

  src/Sunken.mapsrc, src/Spire.mapsrc, src/Speedrun.mapsrc
      the side-view maps drawn here room by room from a small description
      (which neighbours a room opens to, and what stands in it);
  src/Ruins.tilesrc
      the tile set those maps share (its sheet, src/Ruins.sheetsrc, is drawn
      by hand);
  src/entities/QXV_EntInst_*.zdd.markup (the generated ones)
      every placed entity of those maps: gems, powerups, NPCs, doors,
      teleports, checkpoints, pop and hidden blocks, bullets, coffee, groups,
      the speedrun course's markers;
  src/defs/*.zdd.markup
      the named definitions the game and the instances spawn (items, bullets);
  src/Minimaps.zdd.markup, QXV_RndMnfst.txt
      the minimap and collection table and the randomizer's manifest.

The hand-drawn Caverns and Overworld maps and their instances are left alone.
Run it again after changing it and commit what it writes; the build turns the
sources into the game's files.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "entityart"))
from entityart import FRAMES, TURRET_ANGLES  # noqa: E402  (the sprites' frames, drawn by entityart.py)
DATA = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", "data", "game")
SRC = os.path.join(DATA, "src")
ENT = os.path.join(SRC, "entities")
DEFS = os.path.join(SRC, "defs")

W, H = 32, 28  # tiles of a room

# ---------------------------------------------------------------------------
# The randomizer's places. The first 17 hold the major items, in the order the
# placement build lists them; the rest hold gems. Ids are fixed by the build.

MAJOR_IDS = [
    "286b357a", "4cc0c613", "5f7f9e53", "6eb34d07", "4d276775", "7a20cde6", "553154a0", "7a9c5ad0",
    "7c258cc8", "2d3cdf64", "2d3cdf64", "00603f10", "2caa9552", "00748e55", "00c6ebe0", "00b8c24a",
    "00eeb92c",
]
MINOR_IDS = """4b40e32e 17761d87 7c170019 5bc2270b 6ab9bc47 5afde7b3 5cabcdf3 4e7daf43 55249af4 00a0e9ac
4d76d34e 153886cf 76f5e6ff 22a69760 283c7e22 007a4feb 5f7ad67c 22a2add5 56fe66b5 34655006 32a4c860
344a19c4 22aeb00f 5c44bdbf 004df734 3125ee9a 5acc8fca 46f9c415 00b9e539 33a25fc0 716ffc63 33090a5d
4d8c134e 4d8c687a 6b65cadd 4ab6a7a6 03616f0d 0944f814 33fde596 4a8b0476 4e0bce1b 13110b9d 2c9f68a8
22720377 4b9c5487 5f84951d 4f27cfbe 29523fe0 4e2ec612 344d1ff2 329a7e2b 5b60c761 764068cc 6ed8a9ed
4df6231a 004f8358 4fb145d9 6b10f81b 5c2d8388 7a387b1a 03500788 33e7cc8a 4f2943ae 4d722769 576f84e0
46e04b6d 05c4da55 17bfe53f 295ae7ed 05b6d17a 5745ae52 2cfade22 284c2d9c 007a3ddb 4eb17b4b 565cf6a6
6ab5d382 6efeb767 719ef890 0349a610 343d014c 5bed537b 328cae3d 5536b19b 4eb2a742 336b4e6d 56397b94
229eaa4f 4cc80230 4d6831bd 4d5892ca 059d5abb 334f0205 05b8c5e4 4e0bb571 46f9a4f8 003d633d 34038240
22a3e841 2280c891 5a799262 001a7f6e 4ca9c9e3 2295a2f4 469691e4 54fc4dc5 4b9ac687 56867cdf 4f27ea86
5c2877c3 0361a4c9 035c34ab 6f34f363 3123b069 4f1259ef 6b758d82 5582491b 4f1eb5e0 2729ba20 5f99013a
6b761543 7aa229f6 4f147128 003d83e1 7a777f38 2ce6ce6c 4d2071ec 7a60564c 6efbdce8 471f0c42 22b99457
007a65cd 559f280f 54eaa24a 4eb195c8 5f5016a2 553afb66 79eefddb 005b280f 76c2d2ab 0350203c 6b3e5edc
008288ff""".split()
SHOP_COPIES = ["327eb074", "7aad9576", "5ad065e0"]
assert len(MAJOR_IDS) == 17 and len(MINOR_IDS) == 143

# Requirement bits of the major items.
RED, BLUE, BOOTS, GLOVES, SNORKEL, CATALYST = 0x2, 0x1, 0x10, 0x20, 0x100, 0x200
MASK, BADGE, SEAL, TICKET, KEY = 0x1000, 0x2000, 0x10000, 0x20000, 0x100000
EITHER, MAJOR_OK = 0x4000000, 0x10000000
# Powerup ids the gates ask for: the Tesla Badge and the Underworld Ticket.
BADGE_ID, TICKET_ID = 0x50001, 0x80002
# Where the gates stand: the sunken halls' red gate (room (3, 0)), the blue
# cage of the spire's (3, 1) and the vault's wall in (3, 0); a spot at this x
# or east of it is behind the gate. The badge's place in its cage.
RED_GATE_X, BLUE_CAGE_X, VAULT_X = 14 * 8, 25 * 8, 17 * 8
BADGE_AT = (216, 196)

# The major items: their place, pickup definition, powerup (make, model) or
# heart piece, icon glyph and the name the manifest and strings use.
MAJORS = [
    # id, item definition, make, model, glyph, name key
    ("286b357a", "QXV_Item_RedAura", "aura", "red", "redaura", "RedAura"),
    ("4cc0c613", "QXV_Item_BlueAura", "aura", "blue", "blueaura", "BlueAura"),
    ("5f7f9e53", "QXV_Item_Boots", "boots", "doublejump", "boots", "Boots"),
    ("6eb34d07", "QXV_Item_Gloves", "gloves", "climbing", "gloves", "Gloves"),
    ("4d276775", "QXV_Item_Snorkel", "suit", "swimming", "swimsuit", "Snorkel"),
    ("7a20cde6", "QXV_Item_Mask", "mask", "hidden", "mask", "Mask"),
    ("553154a0", "QXV_Item_Badge", "badge", "pass", "badge", "Badge"),
    ("7a9c5ad0", "QXV_Item_Seal", "pass", "arc", "arcpass", "Seal"),
    ("7c258cc8", "QXV_Item_Catalyst", "suit", "toxic", "toxicsuit", "Catalyst"),
    ("00603f10", "QXV_Item_Heart", None, None, "bgcubes", "Heart"),
    ("2caa9552", "QXV_Item_Heart", None, None, "bgcubes", "Heart"),
    ("00748e55", "QXV_Item_Heart", None, None, "bgcubes", "Heart"),
    ("00c6ebe0", "QXV_Item_Heart", None, None, "bgcubes", "Heart"),
    ("00b8c24a", "QXV_Item_Heart", None, None, "bgcubes", "Heart"),
    ("00eeb92c", "QXV_Item_Heart", None, None, "bgcubes", "Heart"),
]
# Sold by the shops (stable: the shop hands them out through its functions).
SHOP_ITEMS = {
    "tier1": ("QXV_Item_MasterKey", "key", "master", "mkey", "MasterKey"),
    "tier2": ("QXV_Item_StyxPass", "pass", "styx", "styxpass", "StyxPass"),
}
# Powerups that are not the randomizer's: placed as they are.
EXTRA_POWERUPS = [
    ("QXV_Item_GreenAura", "aura", "green", "GreenAura"),
    ("QXV_Item_YellowAura", "aura", "yellow", "YellowAura"),
    ("QXV_Item_HighJump", "boots", "highjump", "HighJump"),
    ("QXV_Item_SpikedBoots", "boots", "spiked", "SpikedBoots"),
    ("QXV_Item_Necklace", "trinket", "necklace", "Necklace"),
]

# ---------------------------------------------------------------------------
# Tiles: the legend shared by the generated maps (one palette, "RuinTiles").

LEGEND = [
    (".", "none -1 -1"),
    ("S", "sheet 1 0"),   # stone
    ("B", "sheet 2 0"),   # dark brick
    ("=", "sheet 3 0"),   # platform, solid from above
    ("~", "anim 0 0"),    # water
    ("%", "anim 1 0"),    # toxic water
    ("^", "sheet 5 0"),   # spikes (deadly)
    ("g", "sheet 7 0"),   # mossy stone
    ("*", "anim 2 0"),    # glowing crystal (scenery)
    ("b", "custom 0 0"),  # blue ghost block: open with the blue aura
    ("r", "custom 1 0"),  # red ghost wall (drawn as brick): open with the red aura
    ("|", "sheet 4 1"),   # pillar (scenery)
    ("o", "sheet 5 1"),   # window (scenery)
]

# The ruins' tile set (src/Ruins.tilesrc): each sheet tile's collision class,
# as its picture on src/Ruins.sheetsrc shows it. The player's contacts read
# 0 as empty, 1 solid, 2 deadly (kills on any touch, whatever the player
# holds), 3 solid from above, 4 water (the snorkel swims it) and 6 toxic
# water (the snorkel and the catalyst together swim it).
EMPTY, SOLID, DEADLY, PLATFORM, WATER, TOXIC = 0, 1, 2, 3, 4, 6
RUIN_CLASSES = [
    # empty  stone  dark brick platform  water  spikes  toxic water  mossy stone
    [EMPTY, SOLID, SOLID, PLATFORM, WATER, DEADLY, TOXIC, SOLID],
    # water 2  toxic 2  crystal  crystal 2  pillar  window  blue solid  blue open
    [WATER, TOXIC, EMPTY, EMPTY, EMPTY, EMPTY, SOLID, EMPTY],
]


def write_ruin_tiles(path):
    rows = len(RUIN_CLASSES)
    columns = len(RUIN_CLASSES[0])
    out = [
        "# The ruins' tile set: written by tools/campaigngen/campaigngen.py; edit that, not this.",
        "# collision ROWS COLUMNS, then one line per sheet row with a class per",
        "# column: 0 empty, 1 solid, 2 deadly, 3 solid from above, 4 water,",
        "# 6 toxic water.",
        "versions 1 0 1 0 1 0",
        f"collision {rows} {columns}",
    ]
    out += [" ".join(str(c) for c in row) for row in RUIN_CLASSES]
    out += [
        "# Variant 1 (open) shows while the player holds the blue aura.",
        "custom \"BlueBlock\" \"<Ghost Aura='blue'/>\"",
        "variant \"Solid\" \"\" 6 1",
        "variant \"Open\" \"\" 7 1",
        "# The red gate's wall: brick (solid) until the player holds the red aura,",
        "# then empty (open).",
        "custom \"RedWall\" \"<Ghost Aura='red'/>\"",
        "variant \"Solid\" \"\" 2 0",
        "variant \"Open\" \"\" 0 0",
        "# anim NAME PERIOD RANDOM_PHASE COLUMN,ROW ...",
        "anim \"Water\" 0.8 1 4,0 0,1",
        "anim \"Toxic\" 0.6 1 6,0 1,1",
        "anim \"Crystal\" 1.2 0 2,1 3,1",
    ]
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


def blank():
    return [["." for _ in range(W)] for _ in range(H)]


class Room:
    def __init__(self, x, y):
        self.x, self.y = x, y
        self.back = blank()
        self.front = blank()
        self.places = []   # (names, id, x, y)
        self.keep_clear = []  # (x, y) where a player starts: no pickup within its reach
        self.edges = {}    # side -> text after "edge SIDE"

    def fill(self, c0, r0, c1, r1, ch, layer=None):
        layer = self.back if layer is None else layer
        for r in range(max(r0, 0), min(r1, H - 1) + 1):
            for c in range(max(c0, 0), min(c1, W - 1) + 1):
                layer[r][c] = ch


def shell(room, open_sides, water=None, wall="S"):
    """Walls, ceiling and floor with openings toward the neighbours."""
    room.fill(0, 0, W - 1, 0, wall)
    room.fill(0, 0, 0, H - 1, wall)
    room.fill(W - 1, 0, W - 1, H - 1, wall)
    room.fill(0, 26, W - 1, 26, "g")
    room.fill(0, 27, W - 1, 27, wall)
    if water:
        room.fill(1, water, W - 2, 25, water_char(room))
    if "left" in open_sides:
        room.fill(0, 20, 0, 25, water_char(room) if water and water <= 20 else ".")
    if "right" in open_sides:
        room.fill(W - 1, 20, W - 1, 25, water_char(room) if water and water <= 20 else ".")
    if "up" in open_sides:
        room.fill(14, 0, 17, 0, "~" if water and water <= 0 else ".")
        # A ladder of platforms to the opening; from the top one a jump and
        # a second jump carry the player well into the room above. It keeps
        # a player's height below the ceiling, so a player on it walks off
        # either end (right under the ceiling it held whoever stood on it).
        for i, row in enumerate((22, 18, 14, 10, 6, 4)):
            c = 13 if i % 2 == 0 else 12
            room.fill(c, row, c + 6, row, "=")
    if "down" in open_sides:
        fill = water_char(room) if water else "."
        room.fill(14, 26, 17, 27, fill)
        room.fill(13, 25, 18, 25, "=")


def water_char(room):
    return "%" if getattr(room, "toxic", False) else "~"


def place(room, names, ident, x, y):
    room.places.append((names, ident, x, y))


# A pickup's picture is the items' 16 x 16 cell: two pickups closer than that
# on both axes overlap, one drawn over the other.
PICKUP_SIZE = 16
PICKUP_KINDS = ("Pickup", "Coffee")
# A pickup's touch box's half size, and the player's box's half sizes.
PICKUP_TOUCH, PLAYER_HALF = 4, (5, 8)


def clear_of_pickups(room, x, y):
    """The x nearest to x, on the same surface, where a pickup at (x, y)
    overlaps none of the room's pickups; None when there is none near."""
    def air(ch):  # open air or scenery, water, or a wall
        return "~" if ch in "~%" else "S" if ch in "SBgb=^" else "."

    under = (y + 15) // 8
    inside, surface = air(room.back[y // 8][x // 8]), room.back[under][x // 8]
    for dx in sorted(range(-32, 33, 4), key=abs):
        nx = x + dx
        c = nx // 8
        if not 1 <= c < W - 1 or air(room.back[y // 8][c]) != inside or room.back[under][c] != surface:
            continue
        if all(abs(nx - px) >= PICKUP_SIZE or abs(y - py) >= PICKUP_SIZE
               for names, _ident, px, py in room.places if names[1] in PICKUP_KINDS) and \
                all(abs(nx - sx) >= PICKUP_TOUCH + PLAYER_HALF[0] or abs(y - sy) >= PICKUP_TOUCH + PLAYER_HALF[1]
                    for sx, sy in room.keep_clear):
            return nx
    return None


# ---------------------------------------------------------------------------
# Entities.

ENTITIES = {}     # id -> markup
MANIFEST = {}     # id -> (reqs, stable, ops, location, minimap)
STRINGS_EN = {}   # section -> [(key, text)]
STRINGS_DE = {}


def say(section, key, en, de):
    STRINGS_EN.setdefault(section, []).append((key, en))
    STRINGS_DE.setdefault(section, []).append((key, de))


def spatial(x, y, frame=None):
    """The entity's place; with a frame, also its size (the sprite's scale)."""
    scale = ""
    if frame is not None:
        _sheet, _x, _y, w, h = FRAMES[frame]
        scale = f'<Scale><Vector X="{w}" Y="{h}" Z="1"/></Scale>'
    return f'  <Spatial><Position><Vector X="{x}" Y="{y}"/></Position>{scale}</Spatial>\n'


# The sheets' texture names (one texture each, shared by every sprite cut
# from it).
SHEET_NAMES = {"placed_items.bmp": "PlacedItems", "placed_props.bmp": "PlacedProps",
               "placed_npcs.bmp": "PlacedNPCs"}


def sprite(*sequences):
    """The drawn look: a sprite on the frames' sheet and its sequences, each
    (name, frames, seconds for one pass, loops); the first plays from the
    start. A sequence of one frame is a still picture."""
    sheet = FRAMES[sequences[0][1][0]][0]
    out = f'  <Renderable/>\n  <Sprite Name="{SHEET_NAMES[sheet]}" Sheet="{sheet}"/>\n  <Anim>'
    for n, (name, frames, seconds, loop) in enumerate(sequences):
        attrs = f'Name="{name}"' + (' StartPlaying="True"' if n == 0 else '')
        if seconds:
            attrs += f' Duration="{seconds}"'
        if loop:
            attrs += ' Loop="True"'
        out += f'<Sequence {attrs}>'
        for frame in frames:
            fsheet, x, y, w, h = FRAMES[frame]
            assert fsheet == sheet, (frame, sheet)
            out += f'<Frame X="{x}" Y="{y}" W="{w}" H="{h}"/>'
        out += '</Sequence>'
    return out + '</Anim>\n'


def still(frame):
    return sprite(("Still", [frame], 0, False))


GEM_LOOK = sprite(("Sparkle", ["gem_0", "gem_1", "gem_2", "gem_3", "gem_3", "gem_3"], 1.5, True))
NPC_LOOK = sprite(("Idle", ["npc_0", "npc_1"], 1.6, True), ("Walk", ["npc_2", "npc_3", "npc_4", "npc_5"], 0.6, True))
# Every pickup has the items' cell size, so a randomized place that takes
# another place's contents keeps a fitting scale.
PICKUP = "gem_0"

# The item's picture by its powerup (make, model); heart pieces have none.
ITEM_LOOKS = {
    ("aura", "red"): "aura_red", ("aura", "blue"): "aura_blue", ("aura", "green"): "aura_green",
    ("aura", "yellow"): "aura_yellow", ("boots", "doublejump"): "boots", ("boots", "highjump"): "boots_high",
    ("boots", "spiked"): "boots_spiked", ("gloves", "climbing"): "gloves", ("suit", "swimming"): "snorkel",
    ("mask", "hidden"): "mask", ("badge", "pass"): "badge", ("pass", "arc"): "seal", ("suit", "toxic"): "catalyst",
    ("trinket", "necklace"): "necklace", ("key", "master"): "key", ("pass", "styx"): "pass", (None, None): "heart",
}


# What a touch box answers to: the player's sweep looks for this bit, a
# bullet's (Sweep="1", the room's bit) does not. With the room's bit a bullet
# flying through a pickup took it for the player, and would light checkpoints,
# pour coffee and ride teleport pads on the player's behalf.
TOUCH_FILTER = "2"


def touch_box(ex, ey, actions):
    acts = "".join(f'<Action Text="{a}"/>' for a in actions)
    return (f'  <Collision><Primitive Type="Box" Filter="{TOUCH_FILTER}"><Extents><Vector X="{ex}" Y="{ey}" Z="1"/>'
            f'</Extents></Primitive>\n    <Event Name="OnTouch">{acts}</Event></Collision>\n')


# What a frob box meets when its entity moves (a villager walking): the
# room's walls and nothing else. With every bit its sweep touched the pickups
# it walked over and took them (counted as the player's), and would light
# checkpoints and ride teleport pads; only the player's sweep does that.
FROB_SWEEP = "1"


def frob_box(ex=8, ey=8):
    """The shape the player's interaction search finds (its frob mask)."""
    return (f'  <Collision Sweep="{FROB_SWEEP}"><Primitive Type="Box" Filter="100000"><Extents>'
            f'<Vector X="{ex}" Y="{ey}" Z="1"/></Extents></Primitive></Collision>\n')


def entity(ident, comment, body):
    ENTITIES[ident] = f"<!-- {comment} -->\n<Entity>\n  <GUID GUID=\"{ident}\"/>\n{body}</Entity>\n"


def location(mapname, room, x, y):
    return f"{mapname} ({x:.0f}, {y:.0f}) {{{room.x},{room.y}}}"


def randomizer_gem(room, ident, x, y, reqs, mapname, minimap):
    body = ('  <Name Name="Gem"/>\n' + spatial(x, y, PICKUP) + GEM_LOOK +
            touch_box(4, 4, ["collision Self disable", "delete Self perm", "playsound pickup"]) +
            '  <Delete/>\n  <MapHelper Name="gem" Count="1"/>\n'
            '  <Script><Function Name="Give"><Action Text="playfx QXV_Item_Gem"/></Function></Script>\n'
            f'  <Randomizer Stable="false" Reqs="{reqs:08x}"><Opportunity>'
            '<Grant Definition="QXV_Item_Gem" Function="Give" Glyph="smcubes"/></Opportunity></Randomizer>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): a gem", body)
    MANIFEST[ident] = (reqs, False, 1, location(mapname, room, x, y), minimap)
    place(room, ("Gem", "Pickup", ""), ident, x, y)


def item_body(make, model, heart=False):
    """What a pickup of an item holds besides its place and identity."""
    if heart:
        # Counted where the status screen and the hearts' achievement read
        # them; "init" makes the count on the first piece (adding to a count
        # the player does not hold yet does nothing, and the piece was lost).
        give = ["collision Self disable", "init Player bgcubes 0", "add Player bgcubes 1", "delete Self perm",
                "playsound pickup"]
        extra = ""
    else:
        # Gone before the powerup's autosave, so that save never holds the
        # powerup with its pickup still in place.
        give = ["collision Self disable", "delete Self perm", "powerup Player", "playsound powerup"]
        extra = f'  <Powerup Make="{make}" Model="{model}"/>\n'
    return ('  <Name Name="Item"/>\n' + still(ITEM_LOOKS[(make, model)]) + touch_box(5, 5, give) + '  <Delete/>\n' +
            extra)


def randomizer_major(room, major, x, y, reqs, mapname, minimap):
    ident, definition, make, model, glyph, key = major
    heart = make is None
    body = (spatial(x, y, PICKUP) + item_body(make, model, heart) +
            f'  <Script><Function Name="Give"><Action Text="playfx {definition}"/></Function></Script>\n'
            f'  <Randomizer Stable="false" Reqs="{reqs:08x}"><Opportunity>'
            f'<Grant Definition="{definition}" Function="Give" Glyph="{glyph}"/></Opportunity></Randomizer>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): {key}", body)
    MANIFEST[ident] = (reqs, False, 1, location(mapname, room, x, y), minimap)
    place(room, (key, "Pickup", ""), ident, x, y)


def plain_powerup(room, ident, definition, make, model, key, x, y, mapname):
    entity(ident, f"{mapname} ({room.x}, {room.y}): {key}", spatial(x, y, PICKUP) + item_body(make, model))
    place(room, (key, "Pickup", ""), ident, x, y)


# The game's powerup kinds in its order (a powerup's id is its kind's place
# from 1 in the high half and its model's place from 1 in the low half).
POWERUP_KINDS = [("aura", ["red", "blue", "green", "yellow"]), ("boots", ["highjump", "doublejump", "spiked"]),
                 ("gloves", ["climbing"]), ("mask", ["hidden"]), ("badge", ["pass"]), ("suit", ["swimming", "toxic"]),
                 ("key", ["master"]), ("pass", ["arc", "styx"]), ("trinket", ["necklace"])]


def powerup_id(make, model):
    for kind, (name, models) in enumerate(POWERUP_KINDS):
        if name == make:
            return ((kind + 1) << 16) | (models.index(model) + 1)
    raise SystemExit(f"campaigngen: no powerup {make} {model}")


def course_powerup(room, ident, make, model, key, x, y, mapname):
    """A powerup on a speedrun course: taken for the run only, so every run
    finds it again (gone for the session of the course run that took it).
    The course's own set holds it ("speedrun grant"), which the run's
    abilities read and which the start line clears: the campaign's stored
    powerup ("powerup Player") would be no use in the run and kept after it."""
    body = item_body(make, model).replace("delete Self perm", "delete Self semiperm").replace(
        "powerup Player", f"speedrun grant {powerup_id(make, model):x}")
    entity(ident, f"{mapname} ({room.x}, {room.y}): {key}", spatial(x, y, PICKUP) + body)
    place(room, (key, "Pickup", ""), ident, x, y)


def shop(room, ident, x, y, reqs, mapname, minimap, main):
    """A merchant: sells the master key and the ferry pass. The four shops
    share one stock (global opportunities), so buying at one empties all."""
    opts = ""
    funcs = ""
    for tier, (definition, make, model, glyph, key) in SHOP_ITEMS.items():
        fn = "GiveTier1" if tier == "tier1" else "GiveTier2"
        opts += (f'<Opportunity ID="{tier}" Global="true" GlobalID="{tier}">'
                 f'<Grant Definition="{definition}" Function="{fn}" Glyph="{glyph}"/></Opportunity>')
        funcs += f'<Function Name="{fn}"><Action Text="playfx {definition}"/></Function>'
    body = ('  <Name Name="Merchant"/>\n' + spatial(x, y, "npc_0") + NPC_LOOK +
            '  <NPC Stationary="true" Face="right"/>\n' + frob_box() +
            # The stock is read again as the talk opens: another shop of the
            # same stock may have sold since this one loaded (a map's rooms
            # load together, so two shops can be loaded at once).
            '  <Frob><Event Name="OnFrobbed"><Action Text="groupget SoldKey"/><Action Text="groupget SoldPass"/>'
            '<Action Text="initdialog"/></Event></Frob>\n'
            '  <Data><Datum Name="SoldKey" Type="Bool" Value="false"/>'
            '<Datum Name="SoldPass" Type="Bool" Value="false"/></Data>\n'
            '  <Group Name="Shop"/>\n'
            '  <MapHelper Name="shop" Count="2"/>\n'
            f'  <Script>{funcs}<OnFullyLoaded><Action Text="initnpc"/>'
            '<Action Text="groupget SoldKey"/><Action Text="groupget SoldPass"/></OnFullyLoaded></Script>\n'
            '  <DialogProvider Name="Shop">\n'
            '    <Query Text="SoldKey == False"><True><Option Text="BuyKey" Section="Shop">'
            '<Action Text="run Self GiveTier1"/><Action Text="set Self SoldKey true"/>'
            '<Action Text="groupset SoldKey"/><Action Text="invalidatemaphelper"/>'
            '<Dialog Text="KeySold" Section="Shop"/></Option></True></Query>\n'
            '    <Query Text="SoldPass == False"><True><Option Text="BuyPass" Section="Shop">'
            '<Action Text="run Self GiveTier2"/><Action Text="set Self SoldPass true"/>'
            '<Action Text="groupset SoldPass"/><Action Text="invalidatemaphelper"/>'
            '<Dialog Text="PassSold" Section="Shop"/></Option></True></Query>\n'
            '    <Option Text="Leave" Section="Shop" Default="True"><Dialog Text="Farewell" Section="Shop"/></Option>\n'
            '    <Dialog Text="Greeting" Section="Shop"/>\n'
            '  </DialogProvider>\n'
            f'  <Randomizer Stable="true" Reqs="{reqs:08x}">{opts}\n'
            '    <text dialog="KeySold" Section="Shop"/><text option="BuyKey" Section="Shop"/>\n'
            '    <text dialog="PassSold" Section="Shop"/><text option="BuyPass" Section="Shop"/>\n'
            '  </Randomizer>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): the merchant", body)
    if main or ident in SHOP_COPIES:
        MANIFEST[ident] = (reqs, True, 2, location(mapname, room, x, y), minimap)
    place(room, ("Merchant", "Npc", ""), ident, x, y)


NEXT_ID = [0x0c000001]


def new_id():
    ident = f"{NEXT_ID[0]:08x}"
    NEXT_ID[0] += 1
    return ident


def npc(room, name, section, x, y, mapname, lines_en, lines_de, face="left", stationary=False, ride=None):
    """A villager with a small dialog tree: a greeting, two questions, and a
    farewell; each question answers with its own line. A walking one (not
    stationary) has no bound of its own to its walk: it stands where walls
    either side hold it in its room. ride = (powerup id, map, room x, room y,
    arrival, (take en, take de), (ask en, ask de), (refusal en, refusal de)):
    to a player holding the powerup the villager offers a ride to the
    arrival spot; to anyone else the question, answered with the refusal."""
    ident = new_id()
    keys = ["Hello", "AskA", "AnswerA", "AskB", "AnswerB", "Bye", "ByeAnswer"]
    for k, en, de in zip(keys, lines_en, lines_de):
        say(section, k, en, de)
    body = (f'  <Name Name="{name}"/>\n' + spatial(x, y, "npc_0") + NPC_LOOK +
            f'  <NPC Face="{face}"' + (' Stationary="true"' if stationary else '') + ' WalkSpeed="24"/>\n' +
            frob_box() +
            '  <Frob><Event Name="OnFrobbed"><Action Text="initdialog"/></Event></Frob>\n'
            '  <Script><OnFullyLoaded><Action Text="initnpc"/></OnFullyLoaded></Script>\n'
            f'  <DialogProvider Name="{section}">\n'
            f'    <Option Text="AskA" Section="{section}"><Dialog Text="AnswerA" Section="{section}"/></Option>\n'
            f'    <Option Text="AskB" Section="{section}"><Dialog Text="AnswerB" Section="{section}"/></Option>\n'
            + (riding(section, ride) if ride else '') +
            f'    <Option Text="Bye" Section="{section}" Default="True"><Dialog Text="ByeAnswer" Section="{section}"/>'
            '</Option>\n'
            f'    <Dialog Text="Hello" Section="{section}"/>\n'
            '  </DialogProvider>\n')
    if ride:
        needs, dest_map, rx, ry, arrival = ride[:5]
        body += f'  <Teleport Name="Ride" Map="{dest_map}" MapX="{rx}" MapY="{ry}" Entity="{arrival}" Wipe="true"/>\n'
    entity(ident, f"{mapname} ({room.x}, {room.y}): {name}", body)
    place(room, (name, "Npc", ""), ident, x, y)


def riding(section, ride):
    """The dialog choices of a villager's ride (see npc): the ride itself for a
    holder of its powerup, the question and its refusal for anyone else."""
    needs, take, ask, refusal = ride[0], ride[5], ride[6], ride[7]
    say(section, "Ride", *take)
    say(section, "AskRide", *ask)
    say(section, "NoRide", *refusal)
    return (f'    <Query Text="Powerup_{needs:08x} == True"><True><Option Text="Ride" Section="{section}">'
            '<Action Text="teleport Other Ride"/></Option></True>'
            f'<False><Option Text="AskRide" Section="{section}"><Dialog Text="NoRide" Section="{section}"/></Option>'
            '</False></Query>\n')


def checkpoint(room, x, y, mapname):
    ident = new_id()
    body = ('  <Name Name="Checkpoint"/>\n' + spatial(x, y, "checkpoint_0") +
            sprite(("Unlit", ["checkpoint_0"], 0, False), ("Lit", ["checkpoint_1", "checkpoint_2"], 0.5, True)) +
            '  <Checkpoint/>\n' +
            touch_box(6, 12, ["checkpoint Self", "anim Self play Lit", "playsound checkpoint unique"]))
    entity(ident, f"{mapname} ({room.x}, {room.y}): a checkpoint", body)
    place(room, ("Checkpoint", "Checkpoint", ""), ident, x, y)


def door(room, x, y, dest_map, rx, ry, arrival, mapname, name="Door", needs=None):
    """A door: Enter runs its teleport to the named arrival point. A locked
    door (needs a powerup) says so instead."""
    ident = new_id()
    action = f'<Action Text="teleport Other Out"/>'
    if needs:
        frob = (f'<Query Text="Powerup_{needs:08x} == True"><True>{action}</True>'
                '<False><Action Text="playsound locked"/></False></Query>')
    else:
        frob = action
    look = "door_locked" if needs else "door"
    body = (f'  <Name Name="{name}"/>\n' + spatial(x, y, look) + still(look) +
            '  <Collision><Primitive Type="Box" Filter="80000"><Extents><Vector X="6" Y="10" Z="1"/>'
            '</Extents></Primitive></Collision>\n'
            f'  <Door><Event Name="OnFrobbed">{frob}</Event></Door>\n'
            f'  <Teleport Name="Out" Map="{dest_map}" MapX="{rx}" MapY="{ry}" Entity="{arrival}" Wipe="true"/>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): a door to {dest_map} ({rx}, {ry})", body)
    place(room, (name, "Door", ""), ident, x, y)


def marker(room, name, x, y, mapname, extra="", look=None):
    """A named spot: doors and teleports arrive at it. Plain spots are not
    drawn; look is (first frame, sprite elements) of one that is."""
    ident = new_id()
    drawn = spatial(x, y, look[0]) + look[1] if look else spatial(x, y)
    entity(ident, f"{mapname} ({room.x}, {room.y}): the spot \"{name}\"",
           f'  <Name Name="{name}"/>\n' + drawn + extra)
    place(room, (name, "Marker", ""), ident, x, y)
    return ident


def pop_block(room, x, y, mapname):
    ident = new_id()
    body = ('  <Name Name="PopBlock"/>\n' + spatial(x, y, "popblock") + still("popblock") +
            # A blocker whose pop decides what it stops: without it nothing
            # ever struck it, so it never popped.
            '  <Collision Blocker="true"><Primitive Type="Box"><Extents><Vector X="4" Y="4" Z="1"/></Extents></Primitive>'
            '</Collision>\n'
            '  <Data><Datum Name="POPCOMPVIS" Type="Bool" Value="false"/></Data>\n'
            '  <Pop><Event Name="OnPop"><Action Text="playsound pop"/></Event></Pop>\n'
            '  <Script><OnFullyLoaded><Action Text="trypop"/></OnFullyLoaded></Script>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): a hidden block that pops out when landed on", body)
    place(room, ("PopBlock", "Pop", ""), ident, x, y)


def hidden_platform(room, x, y, mapname, fully=False):
    ident = new_id()
    body = ('  <Name Name="MaskPlatform"/>\n' + spatial(x, y, "ledge") + still("ledge") +
            # A blocker: something to stand on (without it the ledge only drew).
            '  <Collision Blocker="true"><Primitive Type="Box"><Extents><Vector X="12" Y="2" Z="1"/></Extents></Primitive>'
            '</Collision>\n'
            + ('  <Delete/>\n' if fully else '') +
            f'  <Hidden' + (' Fully="true"' if fully else '') + '/>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): a ledge seen only through the mask", body)
    place(room, ("MaskPlatform", "Hidden", ""), ident, x, y)


def turret(room, x, y, mapname, angle, rate, phase=0.0, gravity=0.0, bounces=0):
    ident = new_id()
    # The barrel drawn nearest the way it fires.
    look = f"turret_{min(TURRET_ANGLES, key=lambda a: min(abs(a - angle % 360), 360 - abs(a - angle % 360)))}"
    body = ('  <Name Name="Turret"/>\n' + spatial(x, y, look) + still(look) +
            f'  <Bullet><Stream Rate="{rate}" Phase="{phase}" Speed="96" Angle="{angle}" Gravity="{gravity}"'
            f' Bounces="{bounces}"/></Bullet>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): a turret", body)
    place(room, ("Turret", "Bullet", ""), ident, x, y)


def coffee(room, x, y, mapname):
    ident = new_id()
    body = ('  <Name Name="Coffee"/>\n' + spatial(x, y, PICKUP) +
            sprite(("Steam", ["coffee_0", "coffee_1"], 0.8, True)) +
            touch_box(4, 4, ["collision Self disable", "caffeinate Player", "playsound coffee", "delete Self semiperm"]) +
            '  <Delete/>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): a cup of coffee (faster for a while)", body)
    place(room, ("Coffee", "Coffee", ""), ident, x, y)


def lever(room, x, y, mapname, group, datum):
    """A lever of a group: pulling it stores the group's value, which the
    gate of the same group reads wherever it stands."""
    ident = new_id()
    body = (f'  <Name Name="Lever"/>\n' + spatial(x, y, "lever_off") +
            sprite(("Off", ["lever_off"], 0, False), ("On", ["lever_on"], 0, False)) +
            f'  <Data><Datum Name="{datum}" Type="Bool" Value="false"/></Data>\n'
            f'  <Group Name="{group}"/>\n' + frob_box(6, 8) +
            '  <Frob><Event Name="OnFrobbed">'
            f'<Action Text="set Self {datum} true"/><Action Text="groupset {datum}"/>'
            '<Action Text="anim Self play On"/><Action Text="playsound lever"/></Event></Frob>\n'
            # Pulled before (the group remembers): it shows thrown.
            f'  <Script><OnFullyLoaded><Action Text="groupget {datum}"/><Query Text="{datum} == True"><True>'
            '<Action Text="anim Self play On"/></True></Query></OnFullyLoaded></Script>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): a lever of the group {group}", body)
    place(room, ("Lever", "Group", ""), ident, x, y)


def gate(room, x, y, mapname, group, datum):
    ident = new_id()
    body = (f'  <Name Name="Gate"/>\n' + spatial(x, y, "gate") + still("gate") +
            # A blocker: without it the player went through the closed gate.
            '  <Collision Blocker="true"><Primitive Type="Box"><Extents><Vector X="4" Y="24" Z="1"/></Extents></Primitive>'
            '</Collision>\n'
            f'  <Data><Datum Name="{datum}" Type="Bool" Value="false"/></Data>\n'
            f'  <Group Name="{group}"/>\n'
            '  <Script><OnFullyLoaded><Action Text="groupget '
            f'{datum}"/><Query Text="{datum} == True"><True><Action Text="fakedelete Self"/></True></Query>'
            '</OnFullyLoaded></Script>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): a gate of the group {group}", body)
    place(room, ("Gate", "Group", ""), ident, x, y)


def teleport_pad(room, x, y, mapname, dest_map, rx, ry, arrival):
    ident = new_id()
    body = ('  <Name Name="TeleportPad"/>\n' + spatial(x, y, "pad_0") +
            sprite(("Glow", ["pad_0", "pad_1", "pad_2"], 0.6, True)) +
            touch_box(6, 4, ["teleport Player Pad save"]) +
            # Under a wipe, as doors are: a move made at once from the touch
            # was undone by the rest of the player's step, which left it where
            # it stood, only in the new room.
            f'  <Teleport Name="Pad" Map="{dest_map}" MapX="{rx}" MapY="{ry}" Entity="{arrival}" Wipe="true"/>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): a teleport pad to {dest_map} ({rx}, {ry})", body)
    place(room, ("TeleportPad", "Teleport", ""), ident, x, y)


def leaderboard_board(room, x, y, mapname, course):
    """A board at a course's start: using it shows the course's times."""
    ident = new_id()
    body = ('  <Name Name="LeaderboardBoard"/>\n' + spatial(x, y, "sign") + still("sign") + frob_box(8, 12) +
            f'  <Frob><Event Name="OnFrobbed"><Action Text="showleaderboard {course}"/></Event></Frob>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): the board of the course {course}'s times", body)
    place(room, ("LeaderboardBoard", "Board", ""), ident, x, y)


def signpost(room, x, y, mapname, key, en, de):
    """A signpost standing on the floor: Interact reads its warning."""
    ident = new_id()
    say("Signposts", key, en, de)
    body = ('  <Name Name="Sign"/>\n' + spatial(x, y, "sign") + still("sign") + frob_box(8, 8) +
            '  <Frob><Event Name="OnFrobbed"><Action Text="initdialog"/></Event></Frob>\n'
            f'  <DialogProvider Name="Signposts">\n    <Dialog Text="{key}" Section="Signposts"/>\n'
            '  </DialogProvider>\n')
    entity(ident, f"{mapname} ({room.x}, {room.y}): a signpost ({key})", body)
    place(room, ("Sign", "Npc", ""), ident, x, y)


def debug_start(room, x, y, mapname, priority):
    ident = new_id()
    entity(ident, f"{mapname} ({room.x}, {room.y}): a start point for testing",
           '  <Name Name="DebugStart"/>\n' + spatial(x, y) + f'  <DebugStart Priority="{priority}"/>\n')
    place(room, ("DebugStart", "DebugStart", ""), ident, x, y)


# ---------------------------------------------------------------------------
# Maps.

class Map:
    def __init__(self, name, minimap, colour):
        self.name, self.minimap, self.colour = name, minimap, colour
        self.rooms = {}
        self.areas = []

    def underwater(self, room):
        """Whether the room lies in a flooded area (the last area holding it
        decides, as the game's room loader does)."""
        flooded = False
        for a in self.areas:
            ax, ay, aw, ah = (int(v) for v in a.split()[1:5])
            if ax <= room.x < ax + aw and ay <= room.y < ay + ah:
                flooded = "<Underwater" in a
        return flooded

    def on_course(self, room):
        """Whether the room belongs to a speedrun course (an area of it says
        so, as the game's room loader reads it)."""
        return any("<Speedrun" in a and int(a.split()[1]) <= room.x < int(a.split()[1]) + int(a.split()[3]) and
                   int(a.split()[2]) <= room.y < int(a.split()[2]) + int(a.split()[4]) for a in self.areas)

    def room(self, x, y):
        r = Room(x, y)
        self.rooms[(x, y)] = r
        return r

    def neighbours(self, x, y, links):
        sides = set()
        for (ax, ay), (bx, by) in links:
            for (px, py), (qx, qy) in (((ax, ay), (bx, by)), ((bx, by), (ax, ay))):
                if (px, py) != (x, y):
                    continue
                if qx == x + 1:
                    sides.add("right")
                if qx == x - 1:
                    sides.add("left")
                if qy == y - 1:
                    sides.add("up")
                if qy == y + 1:
                    sides.add("down")
        return sides

    def write(self, path, current):
        out = [f"# {self.name}: written by tools/campaigngen/campaigngen.py; edit that, not this.",
               "version 3.4", f"current {current[0]} {current[1]}"]
        for ch, what in LEGEND:
            out.append(f"tile {ch} {what} 0")
        for (x, y), r in sorted(self.rooms.items(), key=lambda kv: (kv[0][1], kv[0][0])):
            out.append("")
            out.append(f"room {x} {y}")
            for names, ident, px, py in r.places:
                out.append(f'place "{names[0]}" "{names[1]}" "{names[2]}" 0x{ident} {px} {py}')
            out.append("back")
            out.extend("".join(row) for row in r.back)
            out.append("front")
            out.extend("".join(row) for row in r.front)
            for side in ("top", "bottom", "left", "right"):
                out.append(f"edge {side} {r.edges.get(side, '0')}")
        out.append("")
        for a in self.areas:
            out.append(a)
        with open(path, "w") as f:
            f.write("\n".join(out) + "\n")


def sunken():
    m = Map("Sunken", "Sunken Halls", "182030ff")
    name, mm = "Sunken", "Sunken Halls"
    links = [((x, 0), (x + 1, 0)) for x in range(5)] + [((x, 1), (x + 1, 1)) for x in range(5)]
    links += [((5, 0), (5, 1))]
    for y in range(2):
        for x in range(6):
            r = m.room(x, y)
            sides = m.neighbours(x, y, links)
            if y == 1:
                r.toxic = x <= 1
                shell(r, sides, water=3, wall="B")
            else:
                shell(r, sides, wall="S")
                # pillars and windows behind the play
                for c in (6, 25):
                    r.fill(c, 1, c, 25, "|")
                r.fill(10, 8, 11, 9, "o")
                r.fill(20, 8, 21, 9, "o")
            m.rooms[(x, y)] = r
    # Row 0: the dry halls.
    r = m.rooms[(0, 0)]
    r.edges["left"] = '1 a 1 0 nameA "Overworld" nameB "FromSunken"'
    r.fill(0, 20, 0, 25, ".")
    r.fill(4, 20, 10, 20, "=")
    r.fill(20, 17, 26, 17, "=")
    marker(r, "SunkenEntry", 24, 200, name)
    checkpoint(r, 40, 196, name)
    shop(r, "2d3cdf64", 96, 196, MAJOR_OK, name, mm, True)
    npc(r, "Ferryman", "Ferryman", 160, 196, name,
        ["The halls sank long before my grandmother's time.", "What lies below?",
         "Water, and under it more water. Not without the Magic Snorkel.", "What does the merchant want?",
         "Nothing. He gives the Skeleton Key away, and it opens the old gallery.", "Goodbye.", "Mind the spikes."],
        ["Die Hallen sanken lange vor der Zeit meiner Großmutter.", "Was liegt darunter?",
         "Wasser, und darunter noch mehr Wasser. Nicht ohne den Magischen Schnorchel.", "Was will der Händler?",
         "Nichts. Er verschenkt den Generalschlüssel, und der öffnet die alte Galerie.", "Auf Wiedersehen.",
         "Pass auf die Stacheln auf."],
        stationary=True,
        # The Underworld Ticket buys the ride down to the cellar under the
        # flooded halls (its pad brings the player back up here).
        ride=(TICKET_ID, name, 5, 2, "FerryLanding",
              ("Take me down. {img:stat:styxpass}", "Bring mich hinunter. {img:stat:styxpass}"),
              ("Can you take me down?", "Kannst du mich hinunterbringen?"),
              ("Only with an Underworld Ticket. The merchant has them.",
               "Nur mit einem Unterwelt-Ticket. Der Händler hat welche.")))
    debug_start(r, 40, 196, name, 1)
    r = m.rooms[(1, 0)]
    r.fill(13, 26, 18, 26, "^")
    r.fill(15, 22, 16, 22, "=")
    r.fill(4, 19, 9, 19, "=")
    randomizer_major(r, MAJORS[0], 56, 144, MAJOR_OK, name, mm)
    r = m.rooms[(2, 0)]
    r.fill(8, 22, 13, 22, "=")
    r.fill(16, 18, 21, 18, "=")
    r.fill(24, 14, 29, 14, "=")
    randomizer_major(r, MAJORS[2], 216, 104, MAJOR_OK, name, mm)
    coffee(r, 88, 168, name)
    r = m.rooms[(3, 0)]
    # The red gate: a step of brick, and over it up to the ceiling a wall of
    # red ghost tiles (drawn as brick) that gives way only to the red aura.
    # Without the aura nothing passes, climbing or jumping; with it the wall
    # is open and the step is a step. Everything east of it needs the aura
    # (the spire's and the cellar's pads arrive west of it).
    r.fill(14, 22, 17, 25, "B")
    r.fill(14, 21, 17, 21, "g")
    r.fill(14, 1, 17, 20, "r")
    r.fill(8, 23, 11, 23, "=")
    # Hidden steps just below the gate's top on its far side: stepping off
    # the gate lands on them (they pop out); a jump from the floor passes up
    # through them and comes down on them.
    pop_block(r, 152, 180, name)
    pop_block(r, 160, 180, name)
    r = m.rooms[(4, 0)]
    r.fill(5, 26, 26, 26, "~")
    r.fill(5, 27, 26, 27, "~")
    r.fill(5, 26, 26, 26, "~")
    r.fill(9, 21, 12, 21, "=")
    r.fill(17, 21, 20, 21, "=")
    r.fill(24, 21, 26, 21, "=")
    randomizer_major(r, MAJORS[4], 152, 160, MAJOR_OK | RED, name, mm)
    r = m.rooms[(5, 0)]
    r.fill(20, 17, 26, 17, "=")
    # On the ledge 72 pixels over the floor: out of a single jump's reach.
    randomizer_major(r, MAJORS[1], 184, 128, MAJOR_OK | RED | BOOTS, name, mm)
    shop(r, SHOP_COPIES[0], 64, 196, MAJOR_OK | RED, name, mm, False)
    # West of the shaft's signpost, on the floor: the pads from the spire and
    # the cellar arrive here, and the sign stands between it and the shaft
    # (at 140, over the shaft's one-way lip, a step west dropped the player
    # into the flooded shaft).
    marker(r, "SunkenEast", 40, 200, name)
    checkpoint(r, 100, 196, name)
    # Row 1: flooded; the two rooms to the west are toxic.
    for x in range(6):
        r = m.rooms[(x, 1)]
        r.fill(6, 18, 11, 18, "=")
        r.fill(19, 12, 24, 12, "=")
        r.fill(1, 1, W - 2, 2, "B")
        r.fill(1, 1, W - 2, 1, "B")
    # The shaft down from the east hall: the flooded row's water fills it to
    # the top, so a player dropping in lands in the water it swims (or
    # drowns) in.
    r = m.rooms[(5, 1)]
    r.fill(14, 0, 17, 2, "~")
    # Its ladder's top ledge would sit right under the thick ceiling: water
    # instead (a swimmer needs no ladder).
    r.fill(12, 4, 18, 4, "~")
    r = m.rooms[(3, 1)]
    randomizer_major(r, MAJORS[3], 176, 88, MAJOR_OK | RED | SNORKEL, name, mm)
    turret(r, 240, 120, name, 180, 2.0)
    r = m.rooms[(2, 1)]
    randomizer_major(r, MAJORS[9], 72, 136, MAJOR_OK | RED | SNORKEL, name, mm)
    npc(r, "Diver", "Diver", 120, 200, name,
        ["Blub. Oh, a visitor.", "How do you breathe?", "The Magic Snorkel. Obviously.",
         "What is west?", "The green water. It burns without the Steelskin Catalyst.", "Bye.", "Blub."],
        ["Blubb. Oh, Besuch.", "Wie atmest du?", "Mit dem Magischen Schnorchel. Natürlich.",
         "Was liegt im Westen?", "Das grüne Wasser. Ohne den Stahlhaut-Katalysator brennt es.", "Tschüss.",
         "Blubb."],
        stationary=True)
    r = m.rooms[(0, 1)]
    randomizer_major(r, MAJORS[10], 64, 136, MAJOR_OK | RED | SNORKEL | CATALYST, name, mm)
    # The sluice: a lever at the foot of the shaft opens the gate in the
    # next room west, the way on to the rest of the flooded halls. A wall of
    # brick from the ceiling down to the gate's top keeps a swimmer from
    # passing over it. The gate reads its group as its room loads, so the
    # shaft's room is an area of its own: swimming on west loads the gate's.
    lever(m.rooms[(5, 1)], 40, 200, name, "SluiceGate", "Open")
    r = m.rooms[(4, 1)]
    r.fill(24, 3, 25, 19, "B")
    gate(r, 200, 184, name, "SluiceGate", "Open")
    # The dry halls are two areas, split at the red gate's room: a room's
    # ghost tiles are solid or open as its area loads, so a player who took
    # the red aura west of the gate finds it open as the gate's area loads.
    m.areas = [
        'area 0 0 3 1 kind 1 colour 182030ff props "<BGMusic Name=\'sunken.zms\'/><Minimap Name=\'Sunken Halls\'/>"',
        'area 3 0 3 1 kind 1 colour 182030ff props "<BGMusic Name=\'sunken.zms\'/><Minimap Name=\'Sunken Halls\'/>"',
        'area 2 1 3 1 kind 1 colour 0a1840ff props "<BGMusic Name=\'flooded.zms\'/><Underwater Toxic=\'false\'/>'
        '<Minimap Name=\'Sunken Halls\'/>"',
        'area 5 1 1 1 kind 1 colour 0a1840ff props "<BGMusic Name=\'flooded.zms\'/><Underwater Toxic=\'false\'/>'
        '<Minimap Name=\'Sunken Halls\'/>"',
        'area 0 1 2 1 kind 1 colour 102a10ff props "<BGMusic Name=\'toxic.zms\'/><Underwater Toxic=\'true\'/>'
        '<Minimap Name=\'Sunken Halls\'/>"',
    ]
    m.write(os.path.join(SRC, "Sunken.mapsrc"), (0, 0))
    return m


def sunken_cellar(m):
    """Two rooms under the flooded halls' east end, one area two rooms tall:
    a hole in the upper room's floor drops the player into the lower one,
    whose pad leads back up to the dry halls."""
    name = "Sunken"
    upper, lower = m.room(5, 2), m.room(5, 3)
    for r in (upper, lower):
        shell(r, set(), wall="B")
        for c in (6, 25):
            r.fill(c, 1, c, 25, "|")
    upper.fill(14, 26, 17, 27, ".")
    lower.fill(14, 0, 17, 0, ".")
    lower.fill(20, 20, 26, 20, "=")
    # Back up to the ferry, west of the red gate: a way round the gate would
    # let the ticket stand in for the red aura.
    teleport_pad(lower, 232, 204, name, "Sunken", 0, 0, "SunkenEntry")
    m.areas.append('area 5 2 1 2 kind 1 colour 141c28ff props "<BGMusic Name=\'sunken.zms\'/>'
                   '<Minimap Name=\'Sunken Halls\'/>"')


def spire():
    m = Map("Spire", "Arcadian Spire", "201828ff")
    name, mm = "Spire", "Arcadian Spire"
    # Four rooms across, three floors; the floors link at alternating ends.
    links = [((x, y), (x + 1, y)) for y in range(3) for x in range(3)]
    links += [((3, 2), (3, 1)), ((0, 1), (0, 0))]
    for y in range(3):
        for x in range(4):
            r = m.room(x, y)
            shell(r, m.neighbours(x, y, links), wall="B" if y == 0 else "S")
            r.fill(4, 3, 4, 5, "*")
            r.fill(27, 3, 27, 5, "*")
    # Floor 2 (bottom): the entrance, over a high ledge.
    r = m.rooms[(0, 2)]
    r.edges["left"] = '1 a 1 0 nameA "Overworld" nameB "FromSpire"'
    r.fill(0, 20, 0, 25, ".")
    marker(r, "SpireEntry", 24, 200, name)
    checkpoint(r, 48, 196, name)
    shop(r, SHOP_COPIES[1], 88, 196, MAJOR_OK, name, mm, False)
    npc(r, "Archivist", "Archivist", 136, 196, name,
        ["Welcome to the spire. Mind the stairs, there are none.", "How do I climb?",
         "The Springheel Boots for a second jump, the Spider Gloves to hold the walls.", "Who built this?",
         "The Arcadians. The Arcadians' Seal lies upstairs.", "Farewell.", "Do not touch the bullets."],
        ["Willkommen im Turm. Vorsicht, Treppen gibt es keine.", "Wie komme ich nach oben?",
         "Die Sprungfederstiefel für einen zweiten Sprung, die Spinnenhandschuhe für die Wände.",
         "Wer hat das gebaut?", "Die Arkadier. Das Siegel der Arkadier liegt oben.", "Lebt wohl.",
         "Fass die Kugeln nicht an."],
        stationary=True)
    r = m.rooms[(1, 2)]
    r.fill(10, 18, 21, 25, "S")
    r.fill(10, 18, 21, 18, "g")
    randomizer_major(r, MAJORS[8], 128, 128, MAJOR_OK | BOOTS | GLOVES, name, mm)
    turret(r, 24, 120, name, 0, 1.5)
    r = m.rooms[(2, 2)]
    r.fill(12, 26, 19, 26, "^")
    r.fill(15, 21, 16, 21, "=")
    hidden_platform(r, 128, 120, name)
    randomizer_major(r, MAJORS[5], 128, 100, MAJOR_OK | BOOTS, name, mm)
    r = m.rooms[(3, 2)]
    r.fill(22, 10, 30, 10, "=")
    randomizer_major(r, MAJORS[11], 216, 64, MAJOR_OK | BOOTS | GLOVES, name, mm)
    # Floor 1.
    r = m.rooms[(3, 1)]
    # The badge's cage of blue blocks in the east corner (a wall and a roof
    # against the room's east wall): closed to anyone, climbing or not,
    # without the blue aura. The shaft from below comes up west of it.
    r.fill(25, 21, 25, 25, "b")
    r.fill(25, 21, 30, 21, "b")
    randomizer_major(r, MAJORS[6], BADGE_AT[0], BADGE_AT[1], MAJOR_OK | BOOTS | GLOVES | BLUE, name, mm)
    r = m.rooms[(2, 1)]
    # Below the corner the minimap covers.
    turret(r, 232, 64, name, 225, 1.2, gravity=-60.0, bounces=1)
    # A hidden step over the floor: walked under freely, landed on from a jump.
    pop_block(r, 96, 180, name)
    coffee(r, 40, 196, name)
    r = m.rooms[(1, 1)]
    r.fill(8, 14, 23, 14, "=")
    randomizer_major(r, MAJORS[12], 128, 96, MAJOR_OK | BOOTS | GLOVES | MASK, name, mm)
    hidden_platform(r, 64, 150, name, fully=True)
    r = m.rooms[(0, 1)]
    # To the sunken halls' entrance, west of their red gate: arriving east of
    # it let a player past the gate without the red aura.
    teleport_pad(r, 40, 204, name, "Sunken", 0, 0, "SunkenEntry")
    checkpoint(r, 200, 196, name)
    # Floor 0 (top): the seal and its vault.
    r = m.rooms[(0, 0)]
    r.fill(20, 22, 26, 22, "=")
    randomizer_major(r, MAJORS[7], 184, 160, MAJOR_OK | BOOTS | GLOVES, name, mm)
    r = m.rooms[(1, 0)]
    r.fill(6, 20, 12, 20, "=")
    # The keeper walks to and fro on the ledge between two posts of stone,
    # which hold him there (a character's walk has no bound of its own: on
    # the floor he walked out through the room's open sides). The player
    # jumps up through the ledge to him.
    r.fill(5, 17, 5, 19, "S")
    r.fill(13, 17, 13, 19, "S")
    npc(r, "Keeper", "Keeper", 76, 148, name,
        ["The vault opens only for the Arcadians' Seal.", "What is in the vault?",
         "A Heart Piece, and a few gems.", "Anything else?",
         "A gallery in the east of the highlands, for the quick.", "Goodbye.", "Be quick."],
        ["Der Tresor öffnet sich nur für das Siegel der Arkadier.", "Was ist im Tresor?",
         "Ein Herzteil und ein paar Edelsteine.", "Sonst noch etwas?",
         "Eine Galerie im Osten des Hochlands, für die Schnellen.", "Auf Wiedersehen.", "Sei schnell."])
    r = m.rooms[(2, 0)]
    # The heart piece's strongroom: a closed box of stone on the floor, low
    # enough to jump over on the way east. Its door (made at the end) opens
    # for the Tesla Badge.
    r.fill(12, 22, 12, 25, "S")
    r.fill(17, 22, 17, 25, "S")
    r.fill(12, 22, 17, 22, "S")
    randomizer_major(r, MAJORS[13], 120, 196, MAJOR_OK | BOOTS | GLOVES | BADGE, name, mm)
    r = m.rooms[(3, 0)]
    door(r, 48, 200, name, 3, 0, "VaultInside", name, name="VaultDoor", needs=0x80001)
    # The vault itself sits in the same room behind a wall.
    r.fill(16, 1, 16, 25, "S")
    marker(r, "VaultInside", 200, 200, name)
    randomizer_major(r, MAJORS[14], 208, 160, MAJOR_OK | BOOTS | GLOVES | SEAL, name, mm)
    m.areas = [
        'area 0 2 4 1 kind 1 colour 201828ff props "<BGMusic Name=\'spire.zms\'/><Minimap Name=\'Arcadian Spire\'/>'
        '<Safe/>"',
        # The badge's room is an area of its own, for the same reason as the
        # sunken halls' red gate: its cage opens as the room loads.
        'area 0 1 3 1 kind 1 colour 281830ff props "<BGMusic Name=\'spire.zms\'/><Minimap Name=\'Arcadian Spire\'/>"',
        'area 3 1 1 1 kind 1 colour 281830ff props "<BGMusic Name=\'spire.zms\'/><Minimap Name=\'Arcadian Spire\'/>"',
        'area 0 0 4 1 kind 1 colour 301838ff props "<BGMusic Name=\'summit.zms\'/><Minimap Name=\'Arcadian Spire\'/>"',
    ]
    m.write(os.path.join(SRC, "Spire.mapsrc"), (0, 2))
    return m


def speedrun_maps():
    m = Map("Speedrun Maps", "Gallery", "100818ff")
    name, mm = "Speedrun Maps", "Gallery"
    links = [((x, 3), (x + 1, 3)) for x in range(14, 17)]
    for x in range(14, 18):
        r = m.room(x, 3)
        shell(r, m.neighbours(x, 3, links), wall="B")
    # The course's hall: the start line, and the way back out.
    r = m.rooms[(14, 3)]
    marker(r, "GalleryIntro", 40, 200, name)
    # Crossing the start line begins a fresh run (time, deaths, frames, the
    # raced ghost) before the course's powerups are handed out.
    marker(r, "GalleryStart", 232, 200, name,
           touch_box(4, 16, ["resetspeedrun", "speedrun clear", "speedrun grant 20002"]),
           ("start_line", still("start_line")))
    door(r, 16, 200, "Overworld", 1, 0, "FromGallery", name, name="GalleryExit")
    shop(r, SHOP_COPIES[2], 80, 196, KEY, name, mm, False)
    npc(r, "Timekeeper", "Timekeeper", 120, 196, name,
        ["Run the gallery as fast as you can.", "How does it work?",
         "The clock starts as you leave this hall and stops as you step into the bell's hall.", "Can I race myself?",
         "Pick your time on the board, and it runs beside you as a ghost.", "Later.", "The clock is waiting."],
        ["Lauf so schnell du kannst durch die Galerie.", "Wie geht das?",
         "Die Uhr startet, wenn du diese Halle verlässt, und hält an, wenn du die Halle der Glocke betrittst.",
         "Kann ich gegen mich selbst laufen?",
         "Wähle deine Zeit an der Tafel, und sie läuft als Geist neben dir.", "Später.", "Die Uhr wartet."],
        stationary=True)
    r = m.rooms[(15, 3)]
    r.fill(10, 26, 21, 26, "^")
    r.fill(12, 22, 14, 22, "=")
    r.fill(17, 22, 19, 22, "=")
    course_powerup(r, new_id(), *EXTRA_POWERUPS[2][1:], 128, 120, name)
    r = m.rooms[(16, 3)]
    r.fill(8, 18, 23, 25, "S")
    r.fill(8, 18, 23, 18, "g")
    turret(r, 248, 176, name, 180, 0.8, phase=0.4)
    r = m.rooms[(17, 3)]
    # The bell keeps the run only when it beats the course's best: the
    # commit itself compares nothing.
    marker(r, "GalleryFinish", 200, 200, name,
           touch_box(4, 16, ["anim Self play Ring", "playsound bell unique"]).replace(
               '<Event Name="OnTouch">',
               '<Event Name="OnTouch"><Query Text="speedrunbest"><True><Action Text="speedruncommit"/></True></Query>'),
           ("bell_0", sprite(("Still", ["bell_0"], 0, False),
                             ("Ring", ["bell_1", "bell_2", "bell_1", "bell_2", "bell_0"], 1.0, False))))
    teleport_pad(r, 232, 204, name, "Speedrun Maps", 14, 3, "GalleryIntro")
    m.areas = [
        'area 14 3 1 1 kind 1 colour 100818ff props "<BGMusic Name=\'gallery.zms\'/>'
        '<Speedrun Active=\'false\' Name=\'Gallery\'/><Minimap Name=\'Gallery\'/>"',
        'area 15 3 2 1 kind 1 colour 180820ff props "<BGMusic Name=\'speedrun.zms\'/>'
        '<Speedrun Active=\'true\' Name=\'Gallery\'/><Minimap Name=\'Gallery\'/>"',
        # The bell's hall: on the course with the clock stopped, so that the
        # bell can commit the run (a run only commits once its clock stands).
        'area 17 3 1 1 kind 1 colour 180820ff props "<BGMusic Name=\'speedrun.zms\'/>'
        '<Speedrun Active=\'false\' Name=\'Gallery\'/><Minimap Name=\'Gallery\'/>"',
    ]
    m.write(os.path.join(SRC, "Speedrun.mapsrc"), (14, 3))
    return m


# ---------------------------------------------------------------------------
# Gems, and the remaining powerups, spread over the rooms.

# How high a player's feet rise in a jump, and with the second jump of the
# double-jump boots (the game's platformer physics); the player's height; how
# far to the side a jump carries it, from a surface onto another or under a
# place; a place's half size.
JUMP, DOUBLE_JUMP = 51.93216, 51.93216 + 33.38496
PLAYER_HEIGHT, JUMP_ACROSS, UNDER_PLACE, PLACE_HALF = 16, 48, 24, 4
SOLID, PLATFORM, WATER = "SBgbr", "=", "~%"


def reachable(room, x, y, reqs, underwater=False):
    """Whether a player holding the items of the requirement mask reaches a
    place at (x, y) of the room: climbing gloves climb to anything, a swimmer
    reaches anything in a flooded room or in water; otherwise from the
    floor, onto every surface no higher than a jump (two with the boots) and
    near enough to the side, and a place is within a jump of a surface under
    it. The same rules as tests/campaign_data's reach test."""
    if reqs & GLOVES:
        return True
    tile = room.back[max(0, min(H - 1, int(y) // 8))][max(0, min(W - 1, int(x) // 8))]
    if reqs & SNORKEL and (underwater or tile in WATER):
        return True
    rise = DOUBLE_JUMP if reqs & BOOTS else JUMP
    # Surfaces: a solid or platform tile with two open tiles above it (and
    # for a swimmer, water, which it jumps out of).
    under = SOLID + PLATFORM + (WATER if reqs & SNORKEL else "")
    cells = []
    for row in range(2, H):
        for c in range(1, W - 1):
            if (room.back[row][c] in under and room.back[row - 1][c] not in SOLID + WATER
                    and room.back[row - 2][c] not in SOLID):
                cells.append((c * 8 + 4, row * 8))
    seen = {cell for cell in cells if cell[1] == 26 * 8}
    todo = list(seen)
    while todo:
        cx, top = todo.pop()
        for nx, ntop in cells:
            if (nx, ntop) not in seen and ntop >= top - rise and abs(nx - cx) <= JUMP_ACROSS:
                seen.add((nx, ntop))
                todo.append((nx, ntop))
    return any(abs(cx - x) <= UNDER_PLACE and y + PLACE_HALF >= top - rise - PLAYER_HEIGHT and y - PLACE_HALF <= top
               for cx, top in seen)


def floor_columns(room):
    """The columns of a room's floor that hold a gem: the usual ones, each
    moved to the nearest column beside it whose floor is no spike pit (a gem
    a hair over spikes is taken only by dipping into them)."""
    cols = []
    for c in (3, 7, 11, 20, 24, 28):
        for d in sorted(range(-(W - 2), W - 1), key=abs):
            if 1 <= c + d < W - 1 and room.back[26][c + d] != "^" and c + d not in cols:
                cols.append(c + d)
                break
    return cols


def spread_gems(maps):
    """Hands out the 143 gem places over the generated rooms, four to five a
    room, on spots a player reaches: above the floor and the platforms."""
    spots = []
    for m, reqs_of in maps:
        for (x, y), r in sorted(m.rooms.items()):
            floor = [(c * 8 + 4, 196) for c in floor_columns(r)]
            plats = []
            for row in range(2, 24):
                for c in range(1, W - 1):
                    if r.back[row][c] == "=" and r.back[row - 1][c] == "." and r.back[row - 2][c] == ".":
                        plats.append((c * 8 + 4, row * 8 - 8))
            cand = plats[::4] + floor
            for px, py in cand:
                if r.back[py // 8][px // 8] != ".":
                    continue
                # Beside the items already placed, not under them.
                px = clear_of_pickups(r, px, py)
                if px is None:
                    continue
                spots.append((m, r, px, py, reqs_of))
    # Deal the ids over the spots round-robin over the rooms.
    by_room = {}
    for s in spots:
        by_room.setdefault((s[0].name, s[1].x, s[1].y), []).append(s)
    order = []
    rooms = list(by_room.values())
    i = 0
    while len(order) < len(MINOR_IDS):
        took = False
        for lst in rooms:
            if i < len(lst):
                order.append(lst[i])
                took = True
        if not took:
            raise SystemExit("campaigngen: not enough gem spots")
        i += 1
    for n, ident in enumerate(MINOR_IDS):
        m, r, px, py, reqs_of = order[n]
        # Clear of the gems dealt to the room before it, too; what the spot
        # needs is asked where it ends up (a gate may stand between).
        px = clear_of_pickups(r, px, py)
        if px is None:
            raise SystemExit(f"campaigngen: no room for a gem in {m.name} ({r.x}, {r.y})")
        reqs = reqs_of(r.x, r.y, px)
        # Every second gem may receive a major item in a randomized game; not
        # one on a speedrun course, though: a course hands out again on every
        # run only what its start line resets, and a heart piece or a powerup
        # taken there would be the campaign's for good, found in a room the
        # clock drives the player through.
        if n % 2 == 0 and not m.on_course(r):
            reqs |= MAJOR_OK
        # A spot out of a plain jump's reach needs the boots' second jump, or
        # the snorkel to swim up to it.
        for more in (0, BOOTS, SNORKEL, BOOTS | SNORKEL, None):
            if more is None:
                raise SystemExit(f"campaigngen: {m.name} ({r.x}, {r.y}) ({px}, {py}) is out of reach")
            if reachable(r, px, py, reqs | more, m.underwater(r)):
                reqs |= more
                break
        randomizer_gem(r, ident, px, py, reqs, m.name, m.minimap)


def main():
    os.makedirs(ENT, exist_ok=True)
    os.makedirs(DEFS, exist_ok=True)
    for f in os.listdir(ENT):
        # Only the generated instances are rewritten; the hand-made ones of
        # the caverns and the overworld use ids below 0x00010000.
        ident = f[len("QXV_EntInst_"):len("QXV_EntInst_") + 8]
        if f.startswith("QXV_EntInst_") and int(ident, 16) >= 0x00010000:
            os.remove(os.path.join(ENT, f))
    s = sunken()
    p = spire()
    g = speedrun_maps()

    # What a gem's spot needs, by its room and its x in the room.
    def sunken_reqs(x, y, px):
        if y == 0:
            return RED if x >= 4 or (x == 3 and px >= RED_GATE_X) else 0
        # The flooded halls lie east of the red gate, down the shaft.
        return RED | SNORKEL | (CATALYST if x <= 1 else 0)

    def spire_reqs(x, y, px):
        base = BOOTS
        # The top floor is climbed to without the mask: its ledges are plain.
        if y <= 1:
            base |= GLOVES
        if (x, y) == (3, 1) and px >= BLUE_CAGE_X:
            base |= BLUE
        if (x, y) == (3, 0) and px >= VAULT_X:
            base |= SEAL
        if (x, y) == (2, 1):
            base |= EITHER | GLOVES  # reached by the red or the snorkel route as well
        return base

    def gallery_reqs(x, y, px):
        return KEY

    # Starts for testing on the floor by the west wall where a room's middle
    # is no place to stand: over spikes, on a platform's very edge, or inside
    # the vault's wall; on the tile the rooms' play tests start at. Made at
    # the end (so the ids of everything else stay); no gem is dealt under them.
    # Not the sunken halls' (2, 0): a start there would win over the tile a
    # QuickStart names, and the red gate's play tests start east in it.
    # The halls' (3, 0) has its middle inside the red gate's wall: its start
    # stands west of the gate.
    starts = [(s.rooms[(1, 0)], "Sunken"), (p.rooms[(2, 2)], "Spire"), (p.rooms[(3, 0)], "Spire"),
              (s.rooms[(3, 0)], "Sunken")]
    for r, _mapname in starts:
        r.keep_clear.append((24, 192))
    spread_gems([(s, sunken_reqs), (p, spire_reqs), (g, gallery_reqs)])
    # Powerups the randomizer leaves alone.
    extra_rooms = [(s.rooms[(1, 0)], 200, 196), (p.rooms[(1, 1)], 200, 196), (s.rooms[(4, 1)], 64, 200),
                   (p.rooms[(2, 0)], 200, 196)]
    for (r, x, y), (definition, make, model, key) in zip(extra_rooms, [EXTRA_POWERUPS[i] for i in (0, 1, 3, 4)]):
        mapname = "Sunken" if r in s.rooms.values() else "Spire"
        clear = clear_of_pickups(r, x, y)
        if clear is None:
            raise SystemExit(f"campaigngen: no room for the {key} in {mapname} ({r.x}, {r.y})")
        plain_powerup(r, new_id(), definition, make, model, key, clear, y, mapname)
    # Made last, so the ids of everything above stay as they were.
    leaderboard_board(g.rooms[(14, 3)], 148, 200, "Speedrun Maps", "Gallery")
    # The vault's way back out: walled in on every side, it held whoever went
    # in. Made after the rest for the same reason.
    vault = p.rooms[(3, 0)]
    door(vault, 168, 200, "Spire", 3, 0, "VaultOutside", "Spire", name="VaultExit")
    marker(vault, "VaultOutside", 88, 200, "Spire")
    # The halls' cellar, after the rest for the same reason.
    sunken_cellar(s)
    # Starts for testing on safe ground where a room's middle is over a
    # hazard (a QuickStart there fell into it, died and fell again); after
    # the rest for the same reason. On the tiles the room's play tests start.
    debug_start(s.rooms[(4, 0)], 24, 192, "Sunken", 1)
    debug_start(g.rooms[(15, 3)], 32, 192, "Speedrun Maps", 1)
    # Out of the line of the flooded hall's turret.
    debug_start(s.rooms[(3, 1)], 40, 192, "Sunken", 1)
    # Signposts before the water a player walks or falls into without what
    # it needs (the snorkel; in the toxic halls the catalyst as well), on
    # each way in to it; after the rest for the same reason.
    pool = ("Deep water below. Without the Magic Snorkel, keep to the ledges over it.",
            "Tiefes Wasser unten. Ohne den Magischen Schnorchel bleib auf den Simsen darüber.")
    signpost(s.rooms[(4, 0)], 16, 200, "Sunken", "PoolWest", *pool)
    signpost(s.rooms[(4, 0)], 232, 200, "Sunken", "PoolEast", *pool)
    signpost(s.rooms[(5, 0)], 44, 200, "Sunken", "Shaft",
             "The shaft below is flooded to the top. Without the Magic Snorkel, stay up here.",
             "Der Schacht unten steht bis oben unter Wasser. Ohne den Magischen Schnorchel bleib hier oben.")
    signpost(s.rooms[(2, 1)], 40, 200, "Sunken", "ToxicWest",
             "Green water to the west: it burns. Not without the Steelskin Catalyst.",
             "Grünes Wasser im Westen: es brennt. Nicht ohne den Stahlhaut-Katalysator.")
    # The gates' doors and spots, after the rest for the same reason: the
    # spire's (2, 0) strongroom opens for the Tesla Badge (a door on its east
    # side, and one inside back out), and the Ferryman's ride arrives in the
    # cellar's upper room.
    room = p.rooms[(2, 0)]
    door(room, 160, 200, "Spire", 2, 0, "StrongroomInside", "Spire", name="StrongroomDoor", needs=BADGE_ID)
    marker(room, "StrongroomInside", 108, 200, "Spire")
    door(room, 130, 200, "Spire", 2, 0, "StrongroomOutside", "Spire", name="StrongroomExit")
    marker(room, "StrongroomOutside", 176, 200, "Spire")
    marker(s.rooms[(5, 2)], "FerryLanding", 40, 200, "Sunken")
    signpost(s.rooms[(3, 0)], 100, 200, "Sunken", "RedGate",
             "The wall ahead gives way only to the Red Aura.",
             "Die Wand vor dir weicht nur der Roten Aura.")
    write_ruin_tiles(os.path.join(SRC, "Ruins.tilesrc"))
    # The gallery's checkpoint, on the way from its door to the start line:
    # a death on the course brings the player back into the hall (the run
    # starts again from the line), never to the last checkpoint of another
    # map. After the rest for the same reason.
    checkpoint(g.rooms[(14, 3)], 200, 196, "Speedrun Maps")
    for r, mapname in starts:
        debug_start(r, 24, 192, mapname, 1)
    # Maps are written again now that every room holds its places.
    s.write(os.path.join(SRC, "Sunken.mapsrc"), (0, 0))
    p.write(os.path.join(SRC, "Spire.mapsrc"), (0, 2))
    g.write(os.path.join(SRC, "Speedrun.mapsrc"), (14, 3))

    for ident, text in ENTITIES.items():
        with open(os.path.join(ENT, f"QXV_EntInst_{ident}.zdd.markup"), "w") as f:
            f.write(text)
    write_defs()
    write_minimaps([s, p, g])
    write_manifest()
    write_strings()


def write_defs():
    """The pickups that shops and the randomizer make where the giver stands:
    each has a place of its own, which the maker moves to the giver."""
    items = [(d, mk, md, False) for (_i, d, mk, md, _g, _k) in MAJORS if mk]
    items += [(d, mk, md, False) for (d, mk, md, _g, _k) in SHOP_ITEMS.values()]
    items += [(d, mk, md, False) for (d, mk, md, _k) in EXTRA_POWERUPS]
    items.append(("QXV_Item_Heart", None, None, True))
    seen = set()
    for d, mk, md, heart in items:
        if d in seen:
            continue
        seen.add(d)
        with open(os.path.join(DEFS, f"{d}.zdd.markup"), "w") as f:
            f.write(f"<!-- The item {d[9:]} as a pickup: spawned by shops and by the randomizer. -->\n"
                    f"<Entity>\n{spatial(0, 0, PICKUP)}{item_body(mk, md, heart)}</Entity>\n")
    with open(os.path.join(DEFS, "QXV_Item_Gem.zdd.markup"), "w") as f:
        f.write("<!-- A gem as a pickup: what a place hands out when the randomizer gives it a gem. -->\n"
                "<Entity>\n  <Name Name=\"Gem\"/>\n" + spatial(0, 0, PICKUP) + GEM_LOOK +
                touch_box(4, 4, ["collision Self disable", "delete Self perm", "playsound pickup"]) +
                "  <Delete/>\n  <MapHelper Name=\"gem\" Count=\"1\"/>\n</Entity>\n")


def write_bmp(path, width, height, pixel):
    """A 24-bit BMP; pixel(x, y) gives (r, g, b) with y counted from the top."""
    import struct
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + b"\0" * (stride - width * 3))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


# Minimaps: (name, map or None, collection, room rectangle, colour of a room).
MINIMAPS = [
    ("Caverns", None, "Crystals", (0, 0, 3, 2), (90, 110, 150)),
    ("Highlands", None, "Highlands", (0, 0, 2, 1), (80, 150, 60)),
    ("Sunken Halls", "Sunken", "Sunken", None, (60, 110, 190)),
    ("Arcadian Spire", "Spire", "Spire", None, (150, 90, 170)),
    ("Gallery", "Speedrun Maps", "Gallery", None, (190, 150, 60)),
]


def write_minimaps(maps):
    """Minimaps.zdd and each minimap's two pictures: 6-pixel cells, one per
    room, a dark base (blue 0 where no room is) and a lit overlay."""
    by_name = {m.name: m for m in maps}
    lines = ["<!-- The minimaps and the collections their gems count toward.",
             "     Written by tools/campaigngen/campaigngen.py. -->", "<MinimapDefinitions>", "  <Collections>"]
    for coll in dict.fromkeys(mm[2] for mm in MINIMAPS):
        lines.append(f'    <Collection ID="{coll}" LocFile="KorvanthGame" LocSection="Collections" LocKey="{coll}"/>')
    lines.append('    <Collection ID="Ice" LocFile="KorvanthGame" LocSection="Collections" LocKey="Ice"/>')
    lines += ["  </Collections>", "  <Minimaps>"]
    for name, mapname, coll, rect, colour in MINIMAPS:
        if mapname:
            xs = [x for x, _ in by_name[mapname].rooms]
            ys = [y for _, y in by_name[mapname].rooms]
            rect = (min(xs), min(ys), max(xs) + 1, max(ys) + 1)
            rooms = set(by_name[mapname].rooms)
        else:
            rooms = {(x, y) for x in range(rect[0], rect[2]) for y in range(rect[1], rect[3])}
        ox, oy, w, h = rect[0], rect[1], rect[2] - rect[0], rect[3] - rect[1]
        stem = "Minimap_" + name.replace(" ", "")
        size = 6 * (max(w, h) + 2)

        def cell(x, y, lit):
            cx, cy = x // 6 - 1 + ox, y // 6 - 1 + oy
            if (cx, cy) not in rooms:
                return (0, 0, 0)
            edge = x % 6 == 0 or y % 6 == 0
            r, g, b = colour
            if not lit:
                r, g, b = r // 3, g // 3, b // 3
            return (r // 2, g // 2, b // 2) if edge else (r, g, b)
        write_bmp(os.path.join(DATA, stem + "_Base.bmp"), size, size, lambda x, y: cell(x, y, False))
        write_bmp(os.path.join(DATA, stem + "_Overlay.bmp"), size, size, lambda x, y: cell(x, y, True))
        lines.append(f'    <Minimap Name="{name}" CollID="{coll}" OX="{ox}" OY="{oy}" W="{w}" H="{h}" PX="1" PY="1"'
                     f' Base="{stem}_Base.bmp" Overlay="{stem}_Overlay.bmp"/>')
    lines.append('    <Minimap Name="Ice World" CollID="Ice" OX="0" OY="0" W="1" H="1" PX="1" PY="1"'
                 ' Base="Minimap_Highlands_Base.bmp" Overlay="Minimap_Highlands_Overlay.bmp"/>')
    lines += ["  </Minimaps>", "</MinimapDefinitions>", ""]
    with open(os.path.join(SRC, "Minimaps.zdd.markup"), "w") as f:
        f.write("\n".join(lines))
    # The marker that blinks on the current room: a small plus.
    plus = {(5, 0), (4, 1), (5, 1), (6, 1), (5, 2)}
    write_bmp(os.path.join(DATA, "minimapflash.bmp"), 8, 4,
              lambda x, y: (255, 255, 255) if (x, y) in plus else (0, 0, 0))


def write_manifest():
    lines = ["; The randomizer's manifest: one section per randomized place (its",
             "; instance id). Reqs: the items the place needs (bit 26: the red aura or",
             "; the snorkel, either; bit 28: it may hold a major item). Written by",
             "; tools/campaigngen/campaigngen.py.", ""]
    for ident in MAJOR_IDS[:9] + MAJOR_IDS[11:] + ["2d3cdf64"] + MINOR_IDS + SHOP_COPIES:
        if f"[{ident}]" in "\n".join(lines):
            continue
        reqs, stable, ops, loc, mm = MANIFEST[ident]
        opstr = "tier1,tier2" if stable else ""
        lines += [f"[{ident}]", f"Reqs: {reqs:08x}", f"bStable: {'true' if stable else 'false'}",
                  f"NumOps: {ops}", f"OpsStr: {opstr}", f"Location: {loc}", f"MinimapName: {mm}", ""]
    with open(os.path.join(DATA, "QXV_RndMnfst.txt"), "w") as f:
        f.write("\n".join(lines))


def write_strings():
    def fmt(table, header):
        out = [header, ""]
        for section, entries in table.items():
            out.append(f"[{section}]")
            out.extend(f"{k}: {v}" for k, v in entries)
            out.append("")
        return "\n".join(out)
    # The merchants ask nothing for their stock (the game has no money). The
    # keys BuyKey and KeySold stay as they were: the shops' dialogs and the
    # randomizer's retargeting name them. The choices show the item by its
    # picture only (the same picture as its pickup): a randomized world puts
    # another item's picture in its place, and a name written beside it would
    # still name the shipped item. The greeting and the answers are typed
    # out, and the campaign's play scripts wait for them: keep them short.
    say("Shop", "Greeting", "Take what you need, for free.", "Nimm, was du brauchst, umsonst.")
    say("Shop", "BuyKey", "Take this: {img:stat:mkey}", "Das hier nehmen: {img:stat:mkey}")
    say("Shop", "KeySold", "Here is your {img:stat:mkey}.", "Hier ist dein {img:stat:mkey}.")
    say("Shop", "BuyPass", "Take this: {img:stat:styxpass}", "Das hier nehmen: {img:stat:styxpass}")
    say("Shop", "PassSold", "Here is your {img:stat:styxpass}.", "Hier ist dein {img:stat:styxpass}.")
    say("Shop", "Leave", "Nothing today", "Heute nichts")
    say("Shop", "Farewell", "Come back soon.", "Bis bald.")
    generated_into(os.path.join(DATA, "QXV_Strings.txt"), fmt(STRINGS_EN, GENERATED))
    generated_into(os.path.join(DATA, "Localization", "German", "QXV_Strings.txt"), fmt(STRINGS_DE, GENERATED))


GENERATED = "; --- Below: the dialogs written by tools/campaigngen/campaigngen.py. ---"


def generated_into(path, text):
    """Replaces the generated tail of a string file, keeping the hand-written head."""
    with open(path, encoding="utf-8") as f:
        head = f.read()
    if GENERATED in head:
        head = head[:head.index(GENERATED)]
    with open(path, "w", encoding="utf-8") as f:
        f.write(head.rstrip("\n") + "\n\n" + text)

if __name__ == "__main__":
    main()
