#!/usr/bin/env python3
"""Draws the skin's small icons (device tiles, power panel, title bar) as PNG files.

Every icon is a list of flat shapes in a 32 x 32 design grid, rasterised with 4 x 4
supersampling in the skin's colours; standard library only, so the output is the same on every
machine. Edit the tables below and run the script; --check only tells whether the committed
files are what the script writes (exit status 1 when not).

  python3 tools/gen_skin_icons.py [--skin resources/skin] [--check]
"""
import argparse
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import png_file  # noqa: E402

# Skin colours (ARGB in the layouts, RGBA here).
RAISED = (0x26, 0x2A, 0x32, 255)
BORDER = (0x2E, 0x33, 0x3C, 255)
ACCENT = (0x00, 0xB8, 0xA9, 255)
ACCENT_HOVER = (0x1F, 0xD3, 0xC3, 255)
TEXT = (0xE6, 0xE8, 0xEB, 255)
SECONDARY = (0x8A, 0x90, 0x9A, 255)
WINDOW = (0x12, 0x14, 0x18, 255)
SUCCESS = (0x46, 0xC3, 0x7B, 255)
WARNING = (0xE5, 0x48, 0x4D, 255)

SS = 4  # supersampling per axis


# --- shapes: each is a function (x, y) -> inside, in design units -------------------------

def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def rrect_outline(x0, y0, x1, y1, r, w):
    outer = rrect(x0, y0, x1, y1, r)
    inner = rrect(x0 + w, y0 + w, x1 - w, y1 - w, max(0.0, r - w))
    return lambda x, y: outer(x, y) and not inner(x, y)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w, start=None, end=None):
    """A ring of outer radius r; with start/end (degrees, clockwise from 12 o'clock) an arc."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if d > r or d < r - w:
            return False
        if start is None:
            return True
        a = math.degrees(math.atan2(x - cx, cy - y)) % 360
        return (a - start) % 360 <= (end - start) % 360
    return inside


def line(x0, y0, x1, y1, w):
    """A stroke with round caps."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2
    return inside


def polygon(*points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                hit = not hit
        return hit
    return inside


# --- glyphs -------------------------------------------------------------------------------

def keyboard_glyph(c):
    shapes = [(rrect_outline(4, 9, 28, 23, 3, 2), c)]
    for row, y in enumerate((12.5, 16)):
        for i in range(6 - row):
            x = 7.5 + i * 3.4 + row * 1.7
            shapes.append((rrect(x, y, x + 2, y + 2, 0.5), c))
    shapes.append((rrect(11, 19.5, 21, 21, 0.7), c))
    return shapes


def mouse_glyph(c):
    return [(rrect_outline(10, 5, 22, 27, 6, 2), c), (line(16, 6, 16, 13, 2), c),
            (line(10.5, 14, 21.5, 14, 1.6), c)]


def hard_pad_glyph(c):
    return [(rrect_outline(4, 8, 28, 24, 2, 2), c), (ring(21, 16, 4, 1.6), c), (circle(21, 16, 1.3), c)]


def soft_pad_glyph(c):
    return [(rrect_outline(4, 8, 28, 24, 4.5, 2), c), (line(7.5, 20.5, 24.5, 20.5, 1.4), c),
            (ring(21, 14.5, 3.2, 1.5), c)]


def headset_glyph(c):
    return [(ring(16, 17, 11, 2, 270, 90), c), (rrect(5, 16, 10, 26, 2), c), (rrect(22, 16, 27, 26, 2), c)]


def hub_glyph(c):
    return [(rrect_outline(4, 10, 28, 22, 3, 2), c), (rrect(8, 14.5, 12, 17.5, 0.6), c),
            (rrect(14, 14.5, 18, 17.5, 0.6), c), (rrect(20, 14.5, 24, 17.5, 0.6), c),
            (line(16, 5, 16, 10, 2), c)]


def unknown_glyph(c):
    return [(ring(16, 12, 6, 2.2, 270, 160), c), (line(18.2, 17.4, 16, 19.5, 2.2), c), (line(16, 19.5, 16, 21, 2.2), c),
            (circle(16, 25.5, 1.6), c)]


DEVICE_GLYPHS = {
    "kb_device": keyboard_glyph,
    "ms_device": mouse_glyph,
    "hard_mp_device": hard_pad_glyph,
    "soft_mp_device": soft_pad_glyph,
    "hd_device": headset_glyph,
    "hub_device": hub_glyph,
    "unknow_device": unknown_glyph,
}


def device_icon(glyph, selected, synchro):
    """A 32 x 32 tile picture: selected tiles are accent squares with a dark glyph; a tile
    that follows the light sync carries a small ring badge in its corner."""
    back = ACCENT if selected else RAISED
    fore = WINDOW if selected else TEXT
    shapes = [(rrect(0, 0, 32, 32, 6), back)]
    if not selected:
        shapes.append((rrect_outline(0, 0, 32, 32, 6, 1), BORDER))
    shapes += glyph(fore)
    if synchro:
        shapes += [(circle(26, 6, 6), WINDOW), (ring(26, 6, 4.6, 1.8), ACCENT_HOVER), (circle(26, 6, 1.5), ACCENT_HOVER)]
    return shapes


def battery(fill, colour, bolt=False):
    shapes = [(rrect_outline(2, 9, 26, 23, 3, 2), colour), (rrect(26.5, 13, 29.5, 19, 1), colour)]
    if fill > 0:
        shapes.append((rrect(5, 12, 5 + 18 * fill, 20, 1), colour))
    if bolt:
        shapes.append((polygon((16, 10), (9.5, 17), (14, 17), (12, 22.5), (19, 15), (14.5, 15)), WINDOW))
        shapes.append((polygon((16.5, 10.8), (10.8, 16.4), (15, 16.4), (13.4, 21), (18.2, 15.6), (14, 15.6)), SUCCESS))
    return shapes


def phone(colour, mark):
    shapes = [(rrect_outline(9, 3, 23, 29, 3, 2), colour)]
    if mark == "notch":
        shapes.append((rrect(13, 4, 19, 7, 1.2), colour))
    elif mark == "hole":
        shapes.append((circle(16, 7.2, 1.4), colour))
    elif mark == "bar":
        shapes.append((line(14, 25.5, 18, 25.5, 1.6), colour))
    elif mark == "none":
        shapes.append((line(5, 27, 27, 5, 2), WARNING))
    return shapes


def wireless(colour):
    return [(ring(16, 24, 16, 2.4, 315, 45), colour), (ring(16, 24, 10.5, 2.4, 315, 45), colour),
            (circle(16, 22.5, 2.4), colour)]


def gear(colour):
    shapes = [(ring(16, 16, 9, 3), colour)]
    for i in range(8):
        a = math.radians(i * 45)
        shapes.append((line(16 + 8 * math.sin(a), 16 - 8 * math.cos(a), 16 + 12 * math.sin(a), 16 - 12 * math.cos(a), 4), colour))
    return shapes


def skin_glyph(colour):
    return [(ring(16, 16, 12, 2.4), colour), (polygon((16, 4), (16, 28), (11, 27), (6.5, 23), (4.5, 16), (6.5, 9), (11, 5)), colour)]


def music_glyph(colour):
    return [(circle(10, 23, 4), colour), (circle(23, 20, 4), colour), (line(13, 23, 13, 7, 2.4), colour),
            (line(26, 20, 26, 5, 2.4), colour), (polygon((12, 6), (27, 3), (27, 8), (12, 11)), colour)]


def restore_glyph(colour):
    return [(ring(16, 16, 11, 2.6, 60, 330), colour), (polygon((20.5, 3), (27.5, 10.5), (17.5, 11)), colour)]


def light_glyph(colour):
    return [(ring(16, 13, 9, 2.4, 220, 140), colour), (line(12.5, 21.5, 12.5, 24, 2.4), colour),
            (line(19.5, 21.5, 19.5, 24, 2.4), colour), (line(12.5, 27, 19.5, 27, 2.4), colour),
            (circle(16, 13, 3.2), colour)]


def window_glyphs(colour):
    return {
        "min": [(line(9, 16, 23, 16, 2), colour)],
        "max": [(rrect_outline(9, 9, 23, 23, 1.5, 2), colour)],
        "restore": [(rrect_outline(8, 12, 20, 24, 1.5, 2), colour), (line(12, 8, 24, 8, 2), colour),
                    (line(24, 8, 24, 20, 2), colour)],
        "close": [(line(9, 9, 23, 23, 2.2), colour), (line(23, 9, 9, 23, 2.2), colour)],
        "prev": [(line(19, 8, 12, 16, 2.6), colour), (line(12, 16, 19, 24, 2.6), colour)],
        "next": [(line(13, 8, 20, 16, 2.6), colour), (line(20, 16, 13, 24, 2.6), colour)],
    }


def logo(colour):
    return [(rrect(0, 0, 32, 32, 8), colour),
            (polygon((8, 24), (8, 8), (12, 8), (20, 18), (20, 8), (24, 8), (24, 24), (20, 24), (12, 14), (12, 24)), WINDOW)]


def plug(colour):
    return [(line(12, 4, 12, 10, 2.4), colour), (line(20, 4, 20, 10, 2.4), colour), (rrect(7, 10, 25, 19, 3), colour),
            (line(16, 19, 16, 25, 3), colour), (ring(16, 30, 5, 2.4, 300, 60), colour)]


ICONS = {}  # relative path -> (size in pixels, shapes)
for stem, glyph in DEVICE_GLYPHS.items():
    for suffix, selected, synchro in (("_normal", False, False), ("_selected", True, False),
                                      ("_synchro_normal", False, True), ("_synchro_selected", True, True)):
        ICONS[f"common/device_ico/{stem}{suffix}.png"] = (32, device_icon(glyph, selected, synchro))
ICONS["power/powered.png"] = (16, battery(1.0, SUCCESS))
ICONS["power/powering.png"] = (16, battery(0.0, SUCCESS, bolt=True))
ICONS["power/power.png"] = (16, battery(0.6, TEXT))
ICONS["power/wireless.png"] = (16, wireless(SECONDARY))
for name, mark, colour in (("iphone", "notch", TEXT), ("samsung", "hole", TEXT), ("other", "bar", TEXT),
                           ("no_device", "none", SECONDARY)):
    ICONS[f"power/Phone_type_{name}.png"] = (16, phone(colour, mark))
for name, shapes in (("set", gear), ("skin", skin_glyph), ("music", music_glyph), ("default", restore_glyph),
                     ("light", light_glyph)):
    ICONS[f"common/titlebar/{name}.png"] = (16, shapes(SECONDARY))
for name, shapes in window_glyphs(SECONDARY).items():
    ICONS[f"common/titlebar/{name}.png"] = (16, shapes)
ICONS["common/logo.png"] = (24, logo(ACCENT))
ICONS["common/logo_large.png"] = (96, logo(ACCENT))  # the about window
ICONS["common/no_device.png"] = (64, plug(SECONDARY))
# LED spot of the device pictures: the light colour fills it (the image is the mask), with a
# fainter glow round a solid core.
ICONS["common/led_spot.png"] = (32, [(circle(16, 16, 15.5), (255, 255, 255, 110)), (circle(16, 16, 11), TEXT)])
# DPI sliders: the filled part of the track (stretched along the slider, 4 px of 20 high) and the
# thumbs of the current stage (accent) and of the others.
ICONS["Control/SliderBar_BK1.png"] = (20, [(rrect(0, 12.8, 32, 19.2, 0), ACCENT)])
ICONS["Control/SliderBar1_Thumb.png"] = (24, [(circle(16, 16, 15), ACCENT), (circle(16, 16, 6), WINDOW)])
ICONS["Control/SliderBar2_Thumb.png"] = (24, [(circle(16, 16, 15), SECONDARY), (circle(16, 16, 6), RAISED)])
# The colour-cycling mark of the palette window's chosen-colour swatch: seven colour bands.
SEVEN_COLOURS = [(255, 0, 0), (255, 128, 0), (255, 255, 0), (0, 255, 0), (0, 255, 255), (0, 0, 255), (128, 0, 255)]
ICONS["common/base1.png"] = (32, [(rrect(i * 32 / 7, 0, (i + 1) * 32 / 7, 32, 0), c + (255,))
                                  for i, c in enumerate(SEVEN_COLOURS)])

# Wide variants: a picture that a control stretches over its whole box keeps its proportions
# when the file has the box's size (glyph at the left, the rest transparent).
WIDE = {"power/Phone_type_iphone.png", "power/Phone_type_samsung.png", "power/Phone_type_other.png",
        "power/Phone_type_no_device.png"}
WIDE_SIZE = (96, 20)


def render(size, shapes, canvas=None, offset=(0, 0)):
    width, height = canvas or (size, size)
    pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]  # premultiplied RGBA 0..1
    scale = 32 / size
    ox, oy = offset
    for py in range(size):
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = (px + (sx + 0.5) / SS) * scale
                    y = (py + (sy + 0.5) / SS) * scale
                    c = [0.0, 0.0, 0.0, 0.0]
                    for inside, colour in shapes:
                        if inside(x, y):
                            a = colour[3] / 255
                            c = [colour[0] / 255 * a + c[0] * (1 - a), colour[1] / 255 * a + c[1] * (1 - a),
                                 colour[2] / 255 * a + c[2] * (1 - a), a + c[3] * (1 - a)]
                    acc = [acc[i] + c[i] for i in range(4)]
            pixels[(py + oy) * width + px + ox] = [v / (SS * SS) for v in acc]
    rows = []
    for y in range(height):
        row = bytearray([0])
        for x in range(width):
            r, g, b, a = pixels[y * width + x]
            if a > 0:
                row += bytes((round(r / a * 255), round(g / a * 255), round(b / a * 255), round(a * 255)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return png(width, height, b"".join(rows))


def png(width, height, raw):
    return png_file.encode(width, height, raw, alpha=True)


def build():
    out = {}
    for path, (size, shapes) in sorted(ICONS.items()):
        if path in WIDE:
            out[path] = render(size, shapes, WIDE_SIZE, (2, (WIDE_SIZE[1] - size) // 2))
        else:
            out[path] = render(size, shapes)
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--skin", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "skin"))
    ap.add_argument("--check", action="store_true")
    args = ap.parse_args()
    stale = []
    for path, data in build().items():
        target = os.path.join(args.skin, path)
        current = open(target, "rb").read() if os.path.isfile(target) else None
        if current == data or (current is not None and png_file.pixels_of(current) == png_file.pixels_of(data)):
            continue
        if args.check:
            stale.append(path)
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
    if stale:
        print("out of date (run tools/gen_skin_icons.py):", ", ".join(stale))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
