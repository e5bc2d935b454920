#!/usr/bin/env python3
"""Write Brevon's icon and toolbar pictures as XPM files.

Every picture is kept here as a grid of characters, one character per
pixel.  The XPM files under resources/icon/ and resources/toolbar/ are
the committed pictures; run this script to regenerate them after
editing a grid:

    python3 resources/tools/make_pictures.py

Colours (the 16-colour Windows palette, plus two extras):

    k black   m maroon  g green   o olive   n navy   p purple  t teal
    s silver  d grey    r red     l lime    y yellow b blue    f fuchsia
    a aqua    w white
    .  silver background of a toolbar picture (the program treats
       exactly-silver pixels as transparent)
    e  face of a raised toolbar tile, #D0CFC0
    (space)  transparent, icon only
"""

import os
import sys

PALETTE = [
    ("k", "#000000"), ("m", "#800000"), ("g", "#008000"), ("o", "#808000"),
    ("n", "#000080"), ("p", "#800080"), ("t", "#008080"), ("s", "#C0C0C0"),
    ("d", "#808080"), ("r", "#FF0000"), ("l", "#00FF00"), ("y", "#FFFF00"),
    ("b", "#0000FF"), ("f", "#FF00FF"), ("a", "#00FFFF"), ("w", "#FFFFFF"),
]
FACE = ("e", "#D0CFC0")

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)


# ---------------------------------------------------------------- helpers

def raised_tile(inner):
    """Put a 13x13 drawing on a 16x16 raised button tile.

    The drawing uses '.' for face; it is placed at x 1..13, y 1..13.
    """
    assert len(inner) == 13 and all(len(r) == 13 for r in inner), inner
    rows = []
    for y in range(16):
        row = []
        for x in range(16):
            if x == 15 or y == 15:
                c = "k"
            elif x == 0 or y == 0:
                c = "w"
            elif x == 14 or y == 14:
                c = "d"
            else:
                c = inner[y - 1][x - 1]
                if c == ".":
                    c = "e"
            row.append(c)
        rows.append("".join(row))
    return rows


def cross(inner):
    """Strike a 13x13 drawing through with a red X."""
    rows = [list(r) for r in inner]
    for i in range(1, 12):
        rows[i][i] = "r"
        rows[i][12 - i] = "r"
    return ["".join(r) for r in rows]


# ---------------------------------------------------------------- toolbar

TOOLBAR = {}

TOOLBAR["open"] = [
    "................",
    ".........kkk....",
    "........k...k...",
    ".......k.....k..",
    ".......k...kkkkk",
    "............kkk.",
    ".kkkk........k..",
    "kwwwwk..........",
    "kwyyyykkkkkkk...",
    "kwyyyyyyyyyyk...",
    "kwyyykkkkkkkkkkk",
    "kwyykyyyyyyyyyk.",
    "kwykyyyyyyyyyk..",
    "kykyoooooooook..",
    "kkkkkkkkkkkkk...",
    "................",
]

TOOLBAR["save"] = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".knkwwwwwwwwknk.",
    ".knkwwwwwwwwknk.",
    ".knkwddddddwknk.",
    ".knkwwwwwwwwknk.",
    ".knkwddddddwknk.",
    ".knkwwwwwwwwknk.",
    ".knnkkkkkkkknnk.",
    ".knnnnnnnnnnnnk.",
    ".knnkkkkkkkknnk.",
    ".knnkwddnndknnk.",
    ".knnkwddnndknnk.",
    ".knnkwddnndknnk.",
    ".kkkkkkkkkkkkkk.",
    "................",
]

TOOLBAR["paste"] = [
    ".....kkk........",
    "...kkk.kkk......",
    "kkkkwwwwwkkkk...",
    "kookdddddkook...",
    "koookkkkkoook...",
    "koooooooooook...",
    "koooookkkkkkkkk.",
    "kooooowwwwwwwwk.",
    "kooooowkkkkkwwk.",
    "kooooowwwwwwwwk.",
    "kooooowkkkkkkwk.",
    "kooooowwwwwwwwk.",
    "kooooowkkkkwwwk.",
    "kkkkkkwwwwwwwwk.",
    "......wkkkkkkwk.",
    "......kkkkkkkkk.",
]

TOOLBAR["new"] = [
    "................",
    "..kkkkkkkkk.....",
    "..kwwwwwwwkk....",
    "..kwwwwwwwkwk...",
    "..kwwwwwwwkwwk..",
    "..kwwwwwwwkkkkk.",
    "..kwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwk.",
    "..kkkkkkkkkkkkk.",
    "................",
]

TOOLBAR["italic"] = [
    "................",
    "................",
    ".......kkkkkk...",
    ".........kk.....",
    ".........kk.....",
    "........kk......",
    "........kk......",
    ".......kk.......",
    ".......kk.......",
    "......kk........",
    "......kk........",
    ".....kk.........",
    "...kkkkkk.......",
    "................",
    "................",
    "................",
]

TOOLBAR["double-underline"] = [
    "................",
    "...kkkkkkk......",
    "....kk...kk.....",
    "....kk....kk....",
    "....kk....kk....",
    "....kk....kk....",
    "....kk....kk....",
    "....kk....kk....",
    "....kk...kk.....",
    "...kkkkkkk......",
    "................",
    "..kkkkkkkkkkk...",
    "................",
    "..kkkkkkkkkkk...",
    "................",
    "................",
]

TOOLBAR["bold"] = [
    "................",
    "................",
    "...kkkkkkkkk....",
    "....kkk...kkk...",
    "....kkk...kkk...",
    "....kkk...kkk...",
    "....kkk..kkk....",
    "....kkkkkkk.....",
    "....kkk...kkk...",
    "....kkk....kkk..",
    "....kkk....kkk..",
    "....kkk...kkk...",
    "...kkkkkkkkk....",
    "................",
    "................",
    "................",
]

TOOLBAR["underline"] = [
    "................",
    "..kkkk...kkkk...",
    "...kk.....kk....",
    "...kk.....kk....",
    "...kk.....kk....",
    "...kk.....kk....",
    "...kk.....kk....",
    "...kk.....kk....",
    "...kk.....kk....",
    "....kk...kk.....",
    ".....kkkkk......",
    "................",
    "..kkkkkkkkkkk...",
    "................",
    "................",
    "................",
]

TOOLBAR["properties"] = [
    ".............kkk",
    "........kkkkknnn",
    ".......kwwwwwknn",
    "......kwwwwwwknn",
    "kkkkkkwwwwwwwknn",
    "kwwwwkwkwkwkwknn",
    "kwwwwkwkwkwkwkkk",
    "kwwwwkkkkkkkkk..",
    "kwwwwwwwwwwwwk..",
    "kwkkkwkkkkkkwk..",
    "kwwwwwwwwwwwwk..",
    "kwkkkwddddddwk..",
    "kwwwwwwwwwwwwk..",
    "kwkkkwddddddwk..",
    "kkkkkkkkkkkkkk..",
    "................",
]

TOOLBAR["help"] = [
    "................",
    ".....kkkkkk.....",
    "....kyyyyyyk....",
    "...kyyyyyyyyk...",
    "...kyyykkyyyk...",
    "...kkkk.kyyyk...",
    "........kyyyk...",
    ".......kyyyk....",
    "......kyyyk.....",
    "......kyyk......",
    "......kkkk......",
    "......kyyk......",
    "......kyyk......",
    "......kkkk......",
    "................",
    "................",
]

def text_lines(align):
    rows = ["................" for _ in range(16)]
    for i, y in enumerate((2, 4, 6, 8, 10, 12)):
        n = 12 if i % 2 == 0 else 8
        if align == "left":
            x0 = 2
        elif align == "right":
            x0 = 14 - n
        else:
            x0 = 8 - n // 2
        rows[y] = "." * x0 + "k" * n + "." * (16 - x0 - n)
    return rows


TOOLBAR["align-left"] = text_lines("left")
TOOLBAR["align-right"] = text_lines("right")
TOOLBAR["center"] = text_lines("center")

TILE_I = [
    ".............",
    ".............",
    "......kkkkkk.",
    "........kk...",
    "........kk...",
    ".......kk....",
    ".......kk....",
    "......kk.....",
    "......kk.....",
    ".....kk......",
    "...kkkkkk....",
    ".............",
    ".............",
]

TILE_U = [
    ".............",
    "..kkkk..kkkk.",
    "...kk....kk..",
    "...kk....kk..",
    "...kk....kk..",
    "...kk....kk..",
    "...kk....kk..",
    "...kk....kk..",
    "....kkkkkk...",
    ".............",
    "..kkkkkkkkkk.",
    ".............",
    ".............",
]

TILE_D = [
    ".............",
    "..kkkkkkk....",
    "...kk...kk...",
    "...kk....kk..",
    "...kk....kk..",
    "...kk....kk..",
    "...kk...kk...",
    "..kkkkkkk....",
    ".............",
    "..kkkkkkkkkk.",
    ".............",
    "..kkkkkkkkkk.",
    ".............",
]

TILE_B = [
    ".............",
    ".............",
    "..kkkkkkkk...",
    "...kkk..kkk..",
    "...kkk..kkk..",
    "...kkkkkkk...",
    "...kkk..kkk..",
    "...kkk..kkk..",
    "...kkk..kkk..",
    "..kkkkkkkk...",
    ".............",
    ".............",
    ".............",
]

TILE_F = [
    ".............",
    ".............",
    "..kkkkkkkkk..",
    "...kkk...kk..",
    "...kkk.......",
    "...kkk..k....",
    "...kkkkkk....",
    "...kkk..k....",
    "...kkk.......",
    "...kkk.......",
    "..kkkkk......",
    ".............",
    ".............",
]

TOOLBAR["uni"] = raised_tile(cross(TILE_I))
TOOLBAR["ununderline"] = raised_tile(cross(TILE_U))
TOOLBAR["unbold"] = TOOLBAR["ununderline"]
TOOLBAR["undoubleunderline1"] = raised_tile(cross(TILE_D))
TOOLBAR["unbold1"] = raised_tile(cross(TILE_B))
TOOLBAR["font"] = raised_tile(TILE_F)

# ---------------------------------------------------------------- icon

ICON = {}

ICON["brevon-32"] = [
    "                                ",
    "                                ",
    "     kk  kk  kk  kk  kk         ",
    "    ksdkksdkksdkksdkksdk        ",
    "  kkksdkksdkksdkksdkksdk        ",
    "  kmmsdmmsdmmsdmmsdmmsdk     k  ",
    "  kmmsdmmsdmmsdmmsdmmsdkd   kkk ",
    "  kmmmmmmmmmmmmmmmmmmmmkd  krmkk",
    "  kwwwrwwwwwwwwwwwwwwwwkd krmmk ",
    "  kwwwrwwwwwwwwwwwwwwwwkdkrrmk  ",
    "  kwwwrwwwwwwwwwwwwwwwwkkrrmk   ",
    "  kbbbrbbbbbbbbbbbbbbbbkyrmk    ",
    "  kwwwrwwwwwwwwwwwwwwwkryok     ",
    "  kwwwrwwwwwwwwwwwwwwkrrmk      ",
    "  kbbbrbbbbbbbbbbbbbkrrmk       ",
    "  kwwwrwwwwwwwwwwwwkrrmkd       ",
    "  kwwwrwwwwwwwwwwwkrrmkkd       ",
    "  kbbbrbbbbbbbbbbkrrmkdkd       ",
    "  kwwwrwwwwwwwwwkrrmkdwkd       ",
    "  kwwwrwwwwwwwwkrrmkdwwkd       ",
    "  kbbbrbbbbbbbkrrmkdbbbkd       ",
    "  kwwwrwwwwwwkrrmkdwwwwkd       ",
    "  kwwwrwwwwwkrrmkdwwwwwkd       ",
    "  kbbbrbbbbkkkmkdbbbbbbkd       ",
    "  kwwwrwwwkwskkdwwwwwwwkd       ",
    "  kwwwrwwwwsdkdwwwwwwwwkd       ",
    "  kbbbrbbksdkbbbbbbbbbbkd       ",
    "  kwwwrwwkkwwwwwwwwwwwwkd       ",
    "  kwwwrwwwwwwwwwwwwwwwwkd       ",
    "  kkkkkkkkkkkkkkkkkkkkkkd       ",
    "    ddddddddddddddddddddd       ",
    "                                ",
]
ICON["brevon-16"] = [
    "                ",
    "   k  k  k      ",
    " kkskkskkskk    ",
    " kmdmmdmmdmkd kk",
    " kwrwwwwwwwkdkkk",
    " kwrwwwwwwwkkrmk",
    " kbrbbbbbbbkrmk ",
    " kwrwwwwwwkrmk  ",
    " kbrbbbbbkrmk   ",
    " kwrwwwwkrmkd   ",
    " kbrbbbkrmkkd   ",
    " kwrwwkrmkwkd   ",
    " kbrbkwmkbbkd   ",
    " kwrwkkkwwwkd   ",
    " kkkkkkkkkkkd   ",
    "  ddddddddddd   ",
]


# ---------------------------------------------------------------- output

def write_xpm(path, name, grid, transparent):
    size = len(grid)
    assert all(len(r) == size for r in grid), (name, [len(r) for r in grid])
    colours = list(PALETTE)
    if transparent:
        colours.append((" ", "None"))
    else:
        colours[colours.index(("s", "#C0C0C0"))] = (".", "#C0C0C0")
        if any("e" in r for r in grid):
            colours.append(FACE)
    known = {c for c, _ in colours}
    for r in grid:
        for c in r:
            if c not in known:
                sys.exit("%s: unknown colour %r" % (name, c))
    ident = name.replace("-", "_") + "_xpm"
    lines = ["/* XPM */", "static const char *%s[] = {" % ident,
             '"%d %d %d 1",' % (size, size, len(colours))]
    lines += ['"%s c %s",' % (c, v) for c, v in colours]
    lines += ['"%s"%s' % (r, "," if i < size - 1 else "")
              for i, r in enumerate(grid)]
    lines.append("};")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def main():
    for key, grid in TOOLBAR.items():
        write_xpm(os.path.join(RESOURCES, "toolbar", key + ".xpm"),
                  key, grid, transparent=False)
    for key, grid in ICON.items():
        write_xpm(os.path.join(RESOURCES, "icon", key + ".xpm"),
                  key, grid, transparent=True)


if __name__ == "__main__":
    main()
