#!/usr/bin/env python3
"""Draws the mouse, mousepad and headset pictures and writes the picture layouts placed on them.

One geometry table per device gives the outline, the buttons and the LED spots; from it the
script writes the drawing as SVG (resources/skin/device/<name>.svg), renders it to PNG at twice
the layout size with rsvg-convert (librsvg2-bin), and writes the picture layout
(resources/skin/XML/DeviceXml/<name>_key_light.xml): a selection panel with the drawing as its
background and one "DeviceKeyButton" per button ("key_N") and LED ("light_N") on top, so that
the spots always sit where the drawing puts them. --check fails when the committed SVG or
layout differ from what the script writes, when a PNG is missing or has the wrong size, or
when a placement rule breaks (overlapping spots, a spot off its device).

  python3 tools/gen_mouse_pictures.py [--check]
"""
import argparse
import math
import pathlib
import shutil
import struct
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SKIN = ROOT / "resources" / "skin"
SCALE = 2  # PNG pixels per layout pixel

# Skin colours.
CARD = "#1B1E24"
BODY = "#22262D"
RAISED = "#262A32"
BORDER = "#3A404C"
LINE = "#2E333C"
CHANNEL = "#15171B"
SECONDARY = "#8A909A"
SUCCESS = "#46C37B"


# --- geometry helpers ------------------------------------------------------------------------

def catmull_rom(points, steps=12):
    """A smooth curve through the points (ends included)."""
    out = []
    pts = [points[0]] + list(points) + [points[-1]]
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[i + 1], pts[i + 2]
        for s in range(steps):
            t = s / steps
            t2, t3 = t * t, t * t * t
            out.append(tuple(0.5 * (2 * p1[k] + (-p0[k] + p2[k]) * t + (2 * p0[k] - 5 * p1[k] + 4 * p2[k] - p3[k]) * t2
                                    + (-p0[k] + 3 * p1[k] - 3 * p2[k] + p3[k]) * t3) for k in range(2)))
    out.append(points[-1])
    return out


def path_of(points, closed=True):
    d = "M" + " L".join(f"{x:.1f},{y:.1f}" for x, y in points)
    return d + (" Z" if closed else "")


def half_width_at(side, y):
    """Half width of a sampled outline side (list of (dx, y) going down) at height y."""
    for (x0, y0), (x1, y1) in zip(side, side[1:]):
        if y0 <= y <= y1 and y1 > y0:
            return x0 + (x1 - x0) * (y - y0) / (y1 - y0)
    return 0.0


class Rect:
    def __init__(self, left, top, right, bottom):
        self.left, self.top, self.right, self.bottom = round(left), round(top), round(right), round(bottom)

    def overlaps(self, o):
        return self.left < o.right and o.left < self.right and self.top < o.bottom and o.top < self.bottom

    def center(self):
        return ((self.left + self.right) / 2, (self.top + self.bottom) / 2)

    def pos(self):
        return f"{self.left},{self.top},{self.right},{self.bottom}"


def spot(cx, cy, size):
    return Rect(cx - size / 2, cy - size / 2, cx + size / 2, cy + size / 2)


# --- the mouse -------------------------------------------------------------------------------

MOUSE_SIZE = (224, 392)
MOUSE_CX = 112
# Right half of the body (offset from the centre line, y), front to rear; the left half mirrors it.
MOUSE_SIDE = [(0, 18), (38, 23), (60, 44), (68, 86), (66, 138), (60, 190), (64, 240), (72, 290), (68, 338),
              (44, 368), (0, 376)]
BUTTON_LINE_Y = 150  # where the two main buttons end
LED_SIZE = 12
LED_ROWS_Y = (186, 212, 238, 264, 290, 316)  # rows 0 to 5, front to rear
LED_REAR_Y = 344  # row 6 at the sides; LED 14 sits on the centre line below
LED_INSET = 15  # LED centres lie this far inside the outline

# The 11 logical buttons: text id of the tooltip and rectangle, in layout pixels.
MOUSE_KEYS = [
    ("mouse_key_left", Rect(MOUSE_CX - 56, 40, MOUSE_CX - 16, 144)),
    ("mouse_key_right", Rect(MOUSE_CX + 16, 40, MOUSE_CX + 56, 144)),
    ("mouse_key_middle", Rect(MOUSE_CX - 8, 50, MOUSE_CX + 8, 94)),
    ("mouse_key_forward", Rect(MOUSE_CX - 76, 150, MOUSE_CX - 60, 188)),
    ("mouse_key_back", Rect(MOUSE_CX - 76, 194, MOUSE_CX - 60, 232)),
    ("mouse_key_DPI_add", Rect(MOUSE_CX - 7, 102, MOUSE_CX + 7, 116)),
    ("mouse_key_DPI_sub", Rect(MOUSE_CX - 7, 120, MOUSE_CX + 7, 134)),
    ("mouse_key_DPI_loop", Rect(MOUSE_CX - 9, 158, MOUSE_CX + 9, 176)),
    ("ms_key_special_text", Rect(MOUSE_CX + 60, 104, MOUSE_CX + 76, 138)),
    ("mouse_key_DPI_shift", Rect(MOUSE_CX - 78, 104, MOUSE_CX - 62, 138)),
    ("mouse_key_fire_key", Rect(MOUSE_CX - 76, 58, MOUSE_CX - 62, 92)),
]
MOUSE_LOGO = Rect(MOUSE_CX - 14, 250, MOUSE_CX + 14, 278)


def mouse_outline():
    right = catmull_rom([(MOUSE_CX + dx, y) for dx, y in MOUSE_SIDE])
    left = [(2 * MOUSE_CX - x, y) for x, y in reversed(right)]
    return right, right + left[1:-1]


def mouse_leds():
    """Rows read across the body: row r holds LEDs r (left) and 13 - r (right) for r < 6; row 6
    holds 6, 14 and 7 across the rear."""
    right, _ = mouse_outline()
    side = [(x - MOUSE_CX, y) for x, y in right]
    leds = {}
    for r, y in enumerate(LED_ROWS_Y):
        dx = half_width_at(side, y) - LED_INSET
        leds[r] = (MOUSE_CX - dx, y)
        leds[13 - r] = (MOUSE_CX + dx, y)
    dx = half_width_at(side, LED_REAR_Y) - LED_INSET - 6
    leds[6] = (MOUSE_CX - dx, LED_REAR_Y)
    leds[7] = (MOUSE_CX + dx, LED_REAR_Y)
    leds[14] = (MOUSE_CX, LED_REAR_Y + 12)
    return {n: spot(x, y, LED_SIZE) for n, (x, y) in leds.items()}


def mouse_svg():
    _, outline = mouse_outline()
    leds = mouse_leds()
    w, h = MOUSE_SIZE
    parts = []
    # Side buttons first, so the body covers their inner half.
    for index in (3, 4, 8, 9, 10):
        r = MOUSE_KEYS[index][1]
        parts.append(f'<rect x="{r.left}" y="{r.top}" width="{r.right - r.left}" height="{r.bottom - r.top}" '
                     f'rx="5" fill="{RAISED}" stroke="{BORDER}" stroke-width="1.5"/>')
    parts.append(f'<path d="{path_of(outline)}" fill="{BODY}" stroke="{BORDER}" stroke-width="2"/>')
    # The main buttons: the split from the nose to the button line, the button line itself.
    parts.append(f'<path d="M{MOUSE_CX},19 L{MOUSE_CX},{BUTTON_LINE_Y - 4}" stroke="{BORDER}" stroke-width="1.5"/>')
    right, _ = mouse_outline()
    side = [(x - MOUSE_CX, y) for x, y in right]
    edge = half_width_at(side, BUTTON_LINE_Y) - 1
    parts.append(f'<path d="M{MOUSE_CX - edge:.1f},{BUTTON_LINE_Y} Q{MOUSE_CX},{BUTTON_LINE_Y + 10} '
                 f'{MOUSE_CX + edge:.1f},{BUTTON_LINE_Y}" fill="none" stroke="{BORDER}" stroke-width="1.5"/>')
    # Slot for the wheel and the DPI buttons.
    parts.append(f'<rect x="{MOUSE_CX - 12}" y="44" width="24" height="96" rx="10" fill="{CHANNEL}" '
                 f'stroke="{LINE}" stroke-width="1"/>')
    wheel = MOUSE_KEYS[2][1]
    parts.append(f'<rect x="{wheel.left}" y="{wheel.top}" width="{wheel.right - wheel.left}" '
                 f'height="{wheel.bottom - wheel.top}" rx="7" fill="{RAISED}" stroke="{BORDER}" stroke-width="1.2"/>')
    for y in range(wheel.top + 6, wheel.bottom - 3, 5):
        parts.append(f'<path d="M{wheel.left + 3},{y} L{wheel.right - 3},{y}" stroke="{LINE}" stroke-width="1.2"/>')
    for index, mark in ((5, "up"), (6, "down")):
        r = MOUSE_KEYS[index][1]
        parts.append(f'<rect x="{r.left}" y="{r.top}" width="{r.right - r.left}" height="{r.bottom - r.top}" rx="3" '
                     f'fill="{RAISED}" stroke="{BORDER}" stroke-width="1.2"/>')
        cx, cy = r.center()
        tip, base = (cy - 3, cy + 2) if mark == "up" else (cy + 3, cy - 2)
        parts.append(f'<path d="M{cx - 3.5},{base} L{cx},{tip} L{cx + 3.5},{base}" fill="none" stroke="{SECONDARY}" '
                     f'stroke-width="1.4" stroke-linecap="round" stroke-linejoin="round"/>')
    cycle = MOUSE_KEYS[7][1]
    cx, cy = cycle.center()
    parts.append(f'<circle cx="{cx}" cy="{cy}" r="{(cycle.right - cycle.left) / 2}" fill="{RAISED}" stroke="{BORDER}" '
                 f'stroke-width="1.2"/>')
    parts.append(f'<circle cx="{cx}" cy="{cy}" r="4" fill="none" stroke="{SECONDARY}" stroke-width="1.3"/>')
    # Light strips: a dark channel through each side's LEDs, joined across the rear by LED 14.
    for chain in ((0, 1, 2, 3, 4, 5, 6, 14), (13, 12, 11, 10, 9, 8, 7, 14)):
        pts = catmull_rom([leds[n].center() for n in chain], 8)
        parts.append(f'<path d="{path_of(pts, closed=False)}" fill="none" stroke="{CHANNEL}" stroke-width="18" '
                     f'stroke-linecap="round" stroke-linejoin="round"/>')
    # Logo on the palm.
    lg = MOUSE_LOGO
    parts.append(f'<rect x="{lg.left}" y="{lg.top}" width="{lg.right - lg.left}" height="{lg.bottom - lg.top}" rx="7" '
                 f'fill="none" stroke="{LINE}" stroke-width="1.5"/>')
    return svg(w, h, parts)


def mouse_layout():
    w, h = MOUSE_SIZE
    rows = [f'<SelectPanel name="mouse_device_key_light" width="{w}" height="{h}" '
            f"bkimage=\"file='device/mouse.png'\">"]
    for n, (tip, r) in enumerate(MOUSE_KEYS):
        rows.append(f'  <DeviceKeyButton name="key_{n}" float="true" pos="{r.pos()}" tooltipid="{tip}" style="ms_key"/>')
    for n, r in sorted(mouse_leds().items()):
        rows.append(f'  <DeviceKeyButton name="light_{n}" float="true" pos="{r.pos()}" style="ms_light"/>')
    rows.append(f'  <DeviceKeyButton name="logo" float="true" pos="{MOUSE_LOGO.pos()}" style="ms_logo"/>')
    rows.append("</SelectPanel>")
    return rows


# --- the mousepad ----------------------------------------------------------------------------

PAD_SIZE = (640, 264)
PAD_MAT = Rect(8, 8, 632, 256)
PAD_EDGE_INSET = 14  # the lit edge runs this far inside the mat's border
PAD_LED_SIZE = 14
PAD_TOP_XS = (96, 168, 240, 312, 384, 456, 528)  # LEDs 1..7 on the top edge, 14..8 facing them below
PAD_CHARGER = (562, 132, 30)  # centre and radius of the charging spot


def pad_leds():
    """LED 0 alone at the left; then pairs (1, 14), (2, 13) ... (7, 8) facing each other across
    the mat, top and bottom."""
    top = PAD_MAT.top + PAD_EDGE_INSET
    bottom = PAD_MAT.bottom - PAD_EDGE_INSET
    leds = {0: (PAD_MAT.left + PAD_EDGE_INSET, (top + bottom) / 2)}
    for i, x in enumerate(PAD_TOP_XS):
        leds[1 + i] = (x, top)
        leds[14 - i] = (x, bottom)
    return {n: spot(x, y, PAD_LED_SIZE) for n, (x, y) in leds.items()}


def pad_svg():
    w, h = PAD_SIZE
    m = PAD_MAT
    i = PAD_EDGE_INSET
    parts = [f'<rect x="{m.left}" y="{m.top}" width="{m.right - m.left}" height="{m.bottom - m.top}" rx="26" '
             f'fill="{BODY}" stroke="{BORDER}" stroke-width="2"/>',
             # The lit edge: a channel running round the mat through the LEDs.
             f'<rect x="{m.left + i}" y="{m.top + i}" width="{m.right - m.left - 2 * i}" '
             f'height="{m.bottom - m.top - 2 * i}" rx="20" fill="none" stroke="{CHANNEL}" stroke-width="16"/>',
             # The playing surface inside the edge.
             f'<rect x="{m.left + i + 12}" y="{m.top + i + 12}" width="{m.right - m.left - 2 * i - 24}" '
             f'height="{m.bottom - m.top - 2 * i - 24}" rx="10" fill="{CARD}" stroke="{LINE}" stroke-width="1"/>']
    cx, cy, r = PAD_CHARGER
    parts += [f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{CHANNEL}" stroke="{LINE}" stroke-width="1.5"/>',
              f'<circle cx="{cx}" cy="{cy}" r="{r - 8}" fill="none" stroke="{SUCCESS}" stroke-width="2" '
              'stroke-opacity="0.55"/>',
              f'<circle cx="{cx}" cy="{cy}" r="{r - 16}" fill="none" stroke="{SUCCESS}" stroke-width="2" '
              'stroke-opacity="0.8"/>',
              f'<path d="M{cx + 2},{cy - 10} L{cx - 5},{cy + 1} L{cx},{cy + 1} L{cx - 2},{cy + 10} L{cx + 5},{cy - 1} '
              f'L{cx},{cy - 1} Z" fill="{SUCCESS}"/>']
    return svg(w, h, parts)


def pad_layout():
    w, h = PAD_SIZE
    rows = [f'<SelectPanel name="mousepad_device_key_light" width="{w}" height="{h}" '
            f"bkimage=\"file='device/mousepad.png'\">"]
    for n, r in sorted(pad_leds().items()):
        rows.append(f'  <DeviceKeyButton name="light_{n}" float="true" pos="{r.pos()}" style="mp_light"/>')
    rows.append("</SelectPanel>")
    return rows


# --- the headset -----------------------------------------------------------------------------

HS_SIZE = (272, 320)
HS_CUP = (136, 194, 100)  # centre and radius of the ear cup, seen from the side
HS_RING_R = 70  # LEDs 0..11 sit on this circle, clockwise from the top; LED 12 in the centre
HS_LED_SIZE = 14
HS_BAND = (136, 150, 112)  # centre and radius of the headband arch over the cup
HS_MIC_TIP = (30, 296)


def headset_leds():
    """Both ear cups show the same 13 lights: a ring of twelve round the cup, the logo in its centre."""
    cx, cy, _ = HS_CUP
    leds = {}
    for n in range(12):
        a = math.radians(n * 30)
        leds[n] = (cx + HS_RING_R * math.sin(a), cy - HS_RING_R * math.cos(a))
    leds[12] = (cx, cy)
    return {n: spot(x, y, HS_LED_SIZE) for n, (x, y) in leds.items()}


def headset_svg():
    w, h = HS_SIZE
    cx, cy, r = HS_CUP
    bx, by, br = HS_BAND
    mx, my = HS_MIC_TIP
    arch = f"M{bx - br},{by} A{br},{br} 0 0 1 {bx + br},{by}"
    parts = [
        # Headband: the outer band with its cushion underneath.
        f'<path d="{arch}" fill="none" stroke="{BORDER}" stroke-width="20" stroke-linecap="round"/>',
        f'<path d="{arch}" fill="none" stroke="{BODY}" stroke-width="16" stroke-linecap="round"/>',
        f'<path d="M{bx - br + 11},{by} A{br - 11},{br - 11} 0 0 1 {bx + br - 11},{by}" fill="none" '
        f'stroke="{CHANNEL}" stroke-width="6" stroke-linecap="round"/>',
    ]
    # The yokes holding the cup at its sides.
    for side in (-1, 1):
        x = bx + side * br
        parts.append(f'<rect x="{x - 8}" y="{by - 6}" width="16" height="{cy - by + 14}" rx="6" fill="{RAISED}" '
                     f'stroke="{BORDER}" stroke-width="1.5"/>')
    # Microphone boom from the lower front of the cup.
    parts += [f'<path d="M{cx - 62},{cy + 64} Q{cx - 100},{cy + 104} {mx + 8},{my}" fill="none" stroke="{BORDER}" '
              f'stroke-width="8" stroke-linecap="round"/>',
              f'<path d="M{cx - 62},{cy + 64} Q{cx - 100},{cy + 104} {mx + 8},{my}" fill="none" stroke="{RAISED}" '
              f'stroke-width="5" stroke-linecap="round"/>',
              f'<rect x="{mx - 12}" y="{my - 8}" width="24" height="16" rx="8" fill="{RAISED}" stroke="{BORDER}" '
              f'stroke-width="1.5"/>']
    # The cup: shell, cushion plate, the lit ring and the logo plate.
    parts += [f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{BODY}" stroke="{BORDER}" stroke-width="2"/>',
              f'<circle cx="{cx}" cy="{cy}" r="{r - 12}" fill="{CARD}" stroke="{LINE}" stroke-width="1"/>',
              f'<circle cx="{cx}" cy="{cy}" r="{HS_RING_R}" fill="none" stroke="{CHANNEL}" stroke-width="20"/>',
              f'<circle cx="{cx}" cy="{cy}" r="24" fill="{CHANNEL}" stroke="{LINE}" stroke-width="1.5"/>']
    return svg(w, h, parts)


def headset_layout():
    w, h = HS_SIZE
    rows = [f'<SelectPanel name="de6533_device_key_light" width="{w}" height="{h}" '
            f"bkimage=\"file='device/headset.png'\">"]
    for n, r in sorted(headset_leds().items()):
        rows.append(f'  <DeviceKeyButton name="light_{n}" float="true" pos="{r.pos()}" style="hs_light"/>')
    rows.append("</SelectPanel>")
    return rows


# --- output ----------------------------------------------------------------------------------

def svg(w, h, parts):
    body = "\n".join("  " + p for p in parts)
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<!-- Written by tools/gen_mouse_pictures.py; edit the script, not this file. -->\n'
            f'<svg xmlns="http://www.w3.org/2000/svg" width="{w * SCALE}" height="{h * SCALE}" '
            f'viewBox="0 0 {w} {h}">\n{body}\n</svg>\n')


def layout(rows, what):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            f"<!-- Written by tools/gen_mouse_pictures.py; edit the script, not this file. {what} -->\n"
            + "\n".join(rows) + "\n")


PICTURES = {
    "mouse": (MOUSE_SIZE, mouse_svg, mouse_layout, "The mouse picture: 11 buttons, 15 LEDs and the logo."),
    "mousepad": (PAD_SIZE, pad_svg, pad_layout, "The mousepad picture: 15 LEDs round the lit edge."),
    "headset": (HS_SIZE, headset_svg, headset_layout,
                "The headset picture: 13 LEDs on the ear cup, a ring of 12 round the logo."),
}


def spot_groups():
    """Named spots of each picture with the picture's size."""
    return {"mouse": ([("key_%d" % n, r) for n, (_, r) in enumerate(MOUSE_KEYS)]
                      + [("light_%d" % n, r) for n, r in sorted(mouse_leds().items())] + [("logo", MOUSE_LOGO)],
                      MOUSE_SIZE),
            "mousepad": ([("light_%d" % n, r) for n, r in sorted(pad_leds().items())], PAD_SIZE),
            "headset": ([("light_%d" % n, r) for n, r in sorted(headset_leds().items())], HS_SIZE)}


def rule_breaks(groups):
    """Placement rules: every button and LED is there once, nothing overlaps, every spot lies on its
    picture, no pad LED sits on the charging spot, every headset LED lies on the ear cup."""
    errors = []
    wanted = {"mouse": {f"key_{n}" for n in range(11)} | {f"light_{n}" for n in range(15)} | {"logo"},
              "mousepad": {f"light_{n}" for n in range(15)},
              "headset": {f"light_{n}" for n in range(13)}}
    for name, (spots, (w, h)) in groups.items():
        names = [a for a, _ in spots]
        if sorted(names) != sorted(wanted[name]):
            errors.append(f"{name}: spots {sorted(set(names) ^ wanted[name])} missing or extra")
        for i, (a, ra) in enumerate(spots):
            if ra.left < 0 or ra.top < 0 or ra.right > w or ra.bottom > h:
                errors.append(f"{name}: {a} lies outside the picture")
            for b, rb in spots[i + 1:]:
                if ra.overlaps(rb):
                    errors.append(f"{name}: {a} overlaps {b}")
    cx, cy, r = PAD_CHARGER
    for a, ra in groups["mousepad"][0]:
        x, y = ra.center()
        if math.hypot(x - cx, y - cy) < r + PAD_LED_SIZE / 2:
            errors.append(f"mousepad: {a} sits on the charging spot")
    cx, cy, r = HS_CUP
    for a, ra in groups["headset"][0]:
        corners = [(ra.left, ra.top), (ra.right, ra.top), (ra.left, ra.bottom), (ra.right, ra.bottom)]
        if any(math.hypot(x - cx, y - cy) > r for x, y in corners):
            errors.append(f"headset: {a} lies off the ear cup")
    return errors


def png_size(path):
    data = path.read_bytes() if path.is_file() else b""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", data[16:24])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--check", action="store_true")
    args = ap.parse_args()
    errors = rule_breaks(spot_groups())
    for name, ((w, h), draw, place, what) in PICTURES.items():
        files = {SKIN / "device" / f"{name}.svg": draw(),
                 SKIN / "XML" / "DeviceXml" / f"{name}_key_light.xml": layout(place(), what)}
        png = SKIN / "device" / f"{name}.png"
        for path, text in files.items():
            current = path.read_text(encoding="utf-8") if path.is_file() else None
            if current == text:
                continue
            if args.check:
                errors.append(f"out of date: {path.relative_to(ROOT)} (run tools/gen_mouse_pictures.py)")
                continue
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text, encoding="utf-8")
        if not args.check:
            if shutil.which("rsvg-convert") is None:
                errors.append("rsvg-convert not found (apt-get install librsvg2-bin)")
            else:
                subprocess.run(["rsvg-convert", "--width", str(w * SCALE), "--height", str(h * SCALE),
                                str(SKIN / "device" / f"{name}.svg"), "--output", str(png)], check=True)
        if png_size(png) != (w * SCALE, h * SCALE):
            errors.append(f"{png.relative_to(ROOT)}: missing or not {w * SCALE} x {h * SCALE}")
    for e in errors:
        print(e, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
