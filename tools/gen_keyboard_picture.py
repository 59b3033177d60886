#!/usr/bin/env python3
"""Writes the keyboard page's key picture: one layout per picture variant,
resources/skin/XML/DeviceXml/keyboard_key_light_<v>.xml, each a SelectPanel named
"keyboard_device_key_light_<v>" holding the DeviceKeyButtons "light_<n>" and "key_<n>" for
n = 0..169 (those the variant does not show are hidden).

The picture follows the keyboard's key matrix (KEY_MATRIX below, 23 columns x 6 rows):
every key sits in its matrix row and keys run left to right in matrix column order, with the
widths of a full-size board. A few keys that a real board puts elsewhere than their matrix
cell are listed in RELOCATED. Lights sit under their keys; keys with several LEDs (space,
keypad 0, keypad Enter) are split into LED segments.

    python3 tools/gen_keyboard_picture.py           # write the files
    python3 tools/gen_keyboard_picture.py --check   # fail when they differ or a rule breaks
"""
import argparse
import pathlib
import struct
import sys
import xml.etree.ElementTree as ET
import zlib
from xml.sax.saxutils import quoteattr

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT_DIR = ROOT / "resources" / "skin" / "XML" / "DeviceXml"
LIGHT_MASK = ROOT / "resources" / "skin" / "common" / "key_light.png"
KEY_COUNT = 170
EMPTY = 170

# Key index per matrix cell, column-major, each column top row first.
KEY_MATRIX = [
    (170, 120, 121, 122, 123, 124), (170, 21, 42, 63, 84, 105), (0, 22, 43, 64, 102, 106),
    (1, 23, 44, 65, 85, 20), (2, 24, 45, 66, 86, 107), (3, 25, 46, 67, 87, 126),
    (4, 26, 47, 68, 88, 127), (18, 27, 48, 69, 89, 108), (5, 28, 49, 70, 90, 128),
    (6, 29, 50, 71, 91, 129), (7, 30, 51, 72, 92, 109), (8, 31, 52, 73, 93, 125),
    (9, 32, 53, 74, 94, 110), (10, 33, 54, 62, 100, 111), (11, 34, 55, 75, 19, 130),
    (12, 101, 103, 79, 95, 112), (13, 35, 56, 82, 80, 113), (14, 36, 57, 83, 96, 114),
    (15, 37, 58, 17, 81, 115), (170, 38, 59, 76, 97, 116), (170, 39, 60, 77, 98, 104),
    (170, 40, 61, 78, 99, 117), (170, 41, 16, 119, 118, 131),
]

# Caption text id suffix ("keyboard_key_" + name) of every key that has a key cap.
KEY_NAMES = {
    0: "Esc", 13: "Print Scr", 14: "Scroll Lock", 15: "Pause", 16: "GM", 17: "COLOR",
    21: "`", 31: "0", 32: "-", 33: "=", 34: "BackSpace", 35: "Insert", 36: "Home",
    37: "Page Up", 38: "Num Lock", 39: "Num /", 40: "Num *", 41: "Num -", 42: "Tab",
    53: "[", 54: "]", 55: "xiegang", 56: "Delete", 57: "End", 58: "Page Down", 59: "Num 7",
    60: "Num 8", 61: "Num 9", 62: "K42", 63: "Caplk", 73: ";", 74: "'", 75: "Enter",
    76: "Num 4", 77: "Num 5", 78: "Num 6", 79: "K132", 80: "K131", 81: "K151", 82: "K150",
    83: "K133", 84: "LShift", 92: "<", 93: ".", 94: "/", 95: "RShift", 96: "Up", 97: "Num 1",
    98: "Num 2", 99: "Num 3", 100: "K56", 101: "K14", 102: "K45", 103: "K107", 105: "LCtrl",
    106: "LWin", 107: "LAlt", 108: "Space", 109: "RAlt", 110: "FN", 111: "App", 112: "RCtrl",
    113: "Left", 114: "Down", 115: "Right", 116: "Num 0", 117: "Decimal", 118: "Num Enter",
    119: "Num +", 125: "RWin",
}
KEY_NAMES.update({1 + i: f"F{1 + i}" for i in range(12)})
KEY_NAMES.update({22 + i: str(1 + i) for i in range(9)})
KEY_NAMES.update(dict(zip(range(43, 53), "QWERTYUIOP")))
KEY_NAMES.update(dict(zip(range(64, 73), "ASDFGHJKL")))
KEY_NAMES.update(dict(zip(range(85, 92), "ZXCVBNM")))
KEY_NAMES.update({120 + i: f"M{1 + i}" for i in range(5)})

# Keys whose picture place differs from their matrix cell: the language keys sit beside the
# space bar as on a real board; the keypad comma has no keypad cell and takes a free one.
RELOCATED = {79, 80, 81, 82, 83, 103}

# LED segments of keys with more than one LED, left to right (or top to bottom when "v").
SEGMENTS = {108: ("h", [126, 127, 108, 128, 129]), 116: ("h", [116, 104]), 118: ("v", [118, 131])}

VARIANT_NAMES = ["ANSI", "ISO", "JIS", "Korean", "ABNT2"]

# Geometry in key units: one unit is PITCH pixels, keys keep GAP pixels between them.
PITCH = 38
GAP = 4
MACRO_X, MAIN_X, NAV_X, PAD_X = 0.0, 1.5, 17.0, 20.5
ROW_Y = [0.0, 1.5, 2.5, 3.5, 4.5, 5.5]
WIDTH_UNITS, HEIGHT_UNITS = 24.5, 6.5


def run(x, y, items):
    """Places (key, width) items left to right from x; a key of None is a gap."""
    out = []
    for key, w in items:
        if key is not None:
            out.append((key, x, y, w, 1.0))
        x += w
    return out


def ones(keys):
    return [(k, 1.0) for k in keys]


def shared_keys():
    """Keys that every variant shows: macro column, function row, navigation and keypad."""
    keys = [(120 + i, MACRO_X, ROW_Y[1 + i], 1.0, 1.0) for i in range(5)]
    keys += run(MAIN_X, ROW_Y[0], [(0, 1), (None, 1)] + ones([1, 2, 3, 4]) + [(None, 0.5)] +
                ones([5, 6, 7, 8]) + [(None, 0.5)] + ones([9, 10, 11, 12]))
    keys += run(NAV_X, ROW_Y[0], ones([13, 14, 15]))
    keys += run(NAV_X, ROW_Y[1], ones([35, 36, 37]))
    keys += run(NAV_X, ROW_Y[2], ones([56, 57, 58]))
    keys += run(NAV_X + 2, ROW_Y[3], ones([17]))
    keys += run(NAV_X + 1, ROW_Y[4], ones([96]))
    keys += run(NAV_X, ROW_Y[5], ones([113, 114, 115]))
    keys += run(PAD_X, ROW_Y[1], ones([38, 39, 40, 41]))
    keys += run(PAD_X, ROW_Y[2], ones([59, 60, 61, 16]))
    keys += run(PAD_X, ROW_Y[3], ones([76, 77, 78, 119]))
    keys += run(PAD_X, ROW_Y[4], ones([97, 98, 99]))
    keys.append((118, PAD_X + 3, ROW_Y[4], 1.0, 2.0))
    keys += run(PAD_X, ROW_Y[5], [(116, 2), (117, 1)])
    return keys


DIGIT_ROW = [21] + list(range(22, 34))  # ` 1..0 - =
TOP_LETTERS = list(range(43, 55))  # Q..P [ ]
HOME_LETTERS = list(range(64, 75))  # A..L ; '
BOTTOM_LETTERS = list(range(85, 95))  # Z..M , . /
MODS_RIGHT = ones([109, 125, 110, 111, 112])  # RAlt RWin Fn App RCtrl
MODS_LEFT = [(105, 1.25), (106, 1.25), (107, 1.25)]


def main_block(variant):
    """The alphanumeric block of a variant."""
    iso = variant in (1, 2, 4)
    keys = []
    if variant == 2:
        keys += run(MAIN_X, ROW_Y[1], ones(DIGIT_ROW) + [(34, 1), (101, 1)])
    else:
        keys += run(MAIN_X, ROW_Y[1], ones(DIGIT_ROW) + [(34, 2)])
    if iso:
        keys += run(MAIN_X, ROW_Y[2], [(42, 1.5)] + ones(TOP_LETTERS))
        keys += run(MAIN_X, ROW_Y[3], [(63, 1.75)] + ones(HOME_LETTERS) + [(62, 1)])
        keys.append((75, MAIN_X + 13.75, ROW_Y[2], 1.25, 2.0))
    else:
        keys += run(MAIN_X, ROW_Y[2], [(42, 1.5)] + ones(TOP_LETTERS) + [(55, 1.5)])
        keys += run(MAIN_X, ROW_Y[3], [(63, 1.75)] + ones(HOME_LETTERS) + [(75, 2.25)])
    left_shift = [(84, 1.25), (102, 1)] if variant in (1, 4) else [(84, 2.25)]
    right_shift = [(100, 1), (95, 1.75)] if variant in (2, 4) else [(95, 2.75)]
    keys += run(MAIN_X, ROW_Y[4], left_shift + ones(BOTTOM_LETTERS) + right_shift)
    if variant == 2:
        bottom = MODS_LEFT + [(80, 1), (108, 3.25), (79, 1), (83, 1)] + MODS_RIGHT
    elif variant == 3:
        bottom = MODS_LEFT + [(82, 1), (108, 4.25), (81, 1)] + MODS_RIGHT
    else:
        bottom = MODS_LEFT + [(108, 6.25)] + MODS_RIGHT
    keys += run(MAIN_X, ROW_Y[5], bottom)
    if variant == 4:
        keys += run(NAV_X, ROW_Y[3], ones([103]))
    return keys


def light_mask_png(size=16, radius=4, rim=3, centre_alpha=90):
    """A white nine-patch mask for the LED light: a rounded rectangle whose rim is opaque and
    whose middle lets a third of the colour through, so captions stay readable on any light."""
    def coverage(px, py):
        # Share of the pixel inside the rounded rectangle, from 4 x 4 samples.
        hits = 0
        for sy in range(4):
            for sx in range(4):
                x, y = px + (sx + 0.5) / 4, py + (sy + 0.5) / 4
                cx = min(max(x, radius), size - radius)
                cy = min(max(y, radius), size - radius)
                hits += (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
        return hits / 16

    rows = []
    for py in range(size):
        row = bytearray([0])  # filter: none
        for px in range(size):
            edge = min(px, py, size - 1 - px, size - 1 - py)
            alpha = 255 if edge < rim else centre_alpha
            row += bytes((255, 255, 255, round(alpha * coverage(px, py))))
        rows.append(bytes(row))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    # Level 0 (stored blocks) keeps the bytes the same whatever the zlib version.
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(b"".join(rows), 0)) +
            chunk(b"IEND", b""))


def to_px(x, y, w, h):
    half = GAP // 2
    return (round(x * PITCH) + half, round(y * PITCH) + half, round((x + w) * PITCH) - half,
            round((y + h) * PITCH) - half)


def picture(variant):
    """(keys, lights): key index -> pixel rectangle of every shown key and LED."""
    keys = {}
    for key, x, y, w, h in shared_keys() + main_block(variant):
        if key in keys:
            raise ValueError(f"variant {variant}: key {key} placed twice")
        keys[key] = to_px(x, y, w, h)
    lights = {}
    for key, rect in keys.items():
        if key in SEGMENTS:
            axis, leds = SEGMENTS[key]
            lo, hi = (rect[0], rect[2]) if axis == "h" else (rect[1], rect[3])
            cuts = [lo + (hi - lo) * i // len(leds) for i in range(len(leds) + 1)]
            for led, a, b in zip(leds, cuts, cuts[1:]):
                lights[led] = (a, rect[1], b, rect[3]) if axis == "h" else (rect[0], a, rect[2], b)
        else:
            lights[key] = rect
    return keys, lights


def matrix_cell(index):
    for col, cells in enumerate(KEY_MATRIX):
        for row, key in enumerate(cells):
            if key == index:
                return col, row
    return None


def rows_covered(rect):
    """Matrix rows whose band the rectangle reaches into."""
    bands = [(round(ROW_Y[r] * PITCH), round((ROW_Y[r] + 1) * PITCH)) for r in range(6)]
    return {r for r, (top, bottom) in enumerate(bands) if rect[1] < bottom and rect[3] > top}


def overlaps(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def inside(a, b):
    return b[0] <= a[0] and b[1] <= a[1] and a[2] <= b[2] and a[3] <= b[3]


def check_rules(variant, keys, lights):
    """The picture agrees with the matrix and is well formed; returns a list of faults."""
    faults = []
    width, height = round(WIDTH_UNITS * PITCH), round(HEIGHT_UNITS * PITCH)
    for kind, rects in (("key", keys), ("light", lights)):
        placed = sorted(rects.items(), key=lambda kv: kv[1][0])
        for n, rect in placed:
            if n not in KEY_NAMES and kind == "key":
                faults.append(f"key {n} has no caption")
            if not (0 <= rect[0] < rect[2] <= width and 0 <= rect[1] < rect[3] <= height):
                faults.append(f"{kind} {n} lies outside the picture")
            cell = matrix_cell(n)
            if cell is None:
                faults.append(f"{kind} {n} is not in the key matrix")
            elif n not in RELOCATED and cell[1] not in rows_covered(rect):
                faults.append(f"{kind} {n} is not in matrix row {cell[1]}")
        for row in range(6):
            cols = [(matrix_cell(n)[0], n) for n, rect in placed
                    if n not in RELOCATED and matrix_cell(n) and row in rows_covered(rect)]
            for (c1, n1), (c2, n2) in zip(cols, cols[1:]):
                if c2 <= c1:
                    faults.append(f"row {row}: {kind} {n2} (column {c2}) is right of {n1} (column {c1})")
        for i, (n1, r1) in enumerate(placed):
            for n2, r2 in placed[i + 1:]:
                if overlaps(r1, r2):
                    faults.append(f"{kind}s {n1} and {n2} overlap")
    for n, rect in lights.items():
        if not any(inside(rect, k) for k in keys.values()):
            faults.append(f"light {n} lies under no key")
    return [f"variant {variant}: {f}" for f in faults]


def check_coverage(pictures):
    """Every matrix key with a key cap appears in some variant, the shared ones in all."""
    faults = []
    shown = [set(keys) for keys, _ in pictures]
    for cells in KEY_MATRIX:
        for n in cells:
            if n in KEY_NAMES and not any(n in s for s in shown):
                faults.append(f"key {n} appears in no variant")
    return faults


def light_style(n):
    """kb_light, or for an LED segment the style that keeps the mask's rim on its outer sides:
    kb_light_left/_middle/_right across a key, kb_light_top/_bottom down one."""
    for axis, leds in SEGMENTS.values():
        if n in leds and len(leds) > 1:
            i = leds.index(n)
            if axis == "v":
                return "kb_light_top" if i == 0 else "kb_light_bottom"
            return "kb_light_left" if i == 0 else "kb_light_right" if i == len(leds) - 1 else "kb_light_middle"
    return "kb_light"


def render(variant, keys, lights):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             f"<!-- Written by tools/gen_keyboard_picture.py; edit the script, not this file. "
             f"Key picture variant {variant} ({VARIANT_NAMES[variant]}). -->",
             f'<SelectPanel name="keyboard_device_key_light_{variant}" '
             f'width="{round(WIDTH_UNITS * PITCH)}" height="{round(HEIGHT_UNITS * PITCH)}">']
    # LEDs first so that the keys (captions, borders, clicks) lie on top of them.
    for n in range(KEY_COUNT):
        if n in lights:
            pos = ",".join(map(str, lights[n]))
            lines.append(f'  <DeviceKeyButton name="light_{n}" float="true" pos="{pos}" style="{light_style(n)}"/>')
        else:
            lines.append(f'  <DeviceKeyButton name="light_{n}" float="true" pos="0,0,0,0" visible="false"/>')
    for n in range(KEY_COUNT):
        if n in keys:
            pos = ",".join(map(str, keys[n]))
            lines.append(f'  <DeviceKeyButton name="key_{n}" float="true" pos="{pos}" style="kb_key" '
                         f'textid={quoteattr("keyboard_key_" + KEY_NAMES[n])}/>')
        else:
            lines.append(f'  <DeviceKeyButton name="key_{n}" float="true" pos="0,0,0,0" visible="false"/>')
    lines.append("</SelectPanel>")
    return "\n".join(lines) + "\n"


def build():
    """(files, faults): file path -> content for every variant, and the rule faults."""
    files, faults, pictures = {}, [], []
    for v in range(len(VARIANT_NAMES)):
        keys, lights = picture(v)
        pictures.append((keys, lights))
        faults += check_rules(v, keys, lights)
        text = render(v, keys, lights)
        try:
            ET.fromstring(text.encode("utf-8"))
        except ET.ParseError as e:
            faults.append(f"variant {v}: not well-formed XML: {e}")
        files[OUT_DIR / f"keyboard_key_light_{v}.xml"] = text
    faults += check_coverage(pictures)
    files[LIGHT_MASK] = light_mask_png()
    return files, faults


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--check", action="store_true", help="compare with the committed files, write nothing")
    args = ap.parse_args()
    files, faults = build()
    for f in faults:
        print(f"rule broken: {f}", file=sys.stderr)
    if faults:
        return 1
    stale = []
    for path, content in files.items():
        data = content if isinstance(content, bytes) else content.encode("utf-8")
        if path.exists() and path.read_bytes() == data:
            continue
        if args.check:
            stale.append(path)
        else:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
            print(f"wrote {path.relative_to(ROOT)}")
    for path in stale:
        print(f"out of date: {path.relative_to(ROOT)} (run tools/gen_keyboard_picture.py)", file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
