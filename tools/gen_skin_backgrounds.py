#!/usr/bin/env python3
"""Draws the main window's background pictures for the skin frame, and the plain default
background, as PNG files: a dark vertical gradient with one soft glow of colour each.

Standard library only, so the output is the same on every machine. --check only tells
whether the committed files are what the script writes (exit status 1 when not).

  python3 tools/gen_skin_backgrounds.py [--skin resources/skin] [--check]
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import png_file  # noqa: E402

WIDTH, HEIGHT = 500, 320  # half the main window; the window stretches it

# name, top colour, bottom colour, glow colour, glow centre (fractions of the picture)
BACKGROUNDS = [
    ("skin/bg_teal.png", (0x12, 0x14, 0x18), (0x0E, 0x1A, 0x1C), (0x00, 0xB8, 0xA9), (0.82, 0.18)),
    ("skin/bg_dusk.png", (0x15, 0x12, 0x1C), (0x1C, 0x14, 0x24), (0x78, 0x5A, 0xC8), (0.18, 0.22)),
    ("skin/bg_ember.png", (0x18, 0x13, 0x12), (0x20, 0x16, 0x12), (0xE5, 0x78, 0x3C), (0.75, 0.85)),
    ("skin/bg_ocean.png", (0x10, 0x14, 0x1C), (0x0C, 0x18, 0x26), (0x28, 0x78, 0xDC), (0.30, 0.80)),
    ("skin/bg_forest.png", (0x11, 0x16, 0x13), (0x0F, 0x1D, 0x15), (0x46, 0xC3, 0x7B), (0.85, 0.70)),
    ("skin/bg_graphite.png", (0x16, 0x18, 0x1C), (0x20, 0x23, 0x29), (0x8C, 0x91, 0x9B), (0.50, 0.10)),
]
DEFAULT = ("common/background.png", (0x12, 0x14, 0x18))
GLOW_STRENGTH = 0.30
GLOW_REACH = 0.85


def background(top, bottom, glow, centre):
    rows = []
    aspect = WIDTH / HEIGHT
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        base = [a + (b - a) * t for a, b in zip(top, bottom)]
        row = bytearray([0])
        for x in range(WIDTH):
            dx = (x / (WIDTH - 1) - centre[0]) * aspect
            dy = y / (HEIGHT - 1) - centre[1]
            d = (dx * dx + dy * dy) ** 0.5 / GLOW_REACH
            k = GLOW_STRENGTH * max(0.0, 1.0 - d) ** 2
            row += bytes(round(c + (g - c) * k) for c, g in zip(base, glow))
        rows.append(bytes(row))
    return WIDTH, HEIGHT, b"".join(rows)


def flat(colour, size=16):
    row = b"\x00" + bytes(colour) * size
    return size, size, row * size


def png(width, height, raw):
    return png_file.encode(width, height, raw, alpha=False)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--skin", default=os.path.join(os.path.dirname(__file__), "..", "resources", "skin"))
    ap.add_argument("--check", action="store_true")
    args = ap.parse_args()
    pictures = [(name, background(top, bottom, glow, centre)) for name, top, bottom, glow, centre in BACKGROUNDS]
    pictures.append((DEFAULT[0], flat(DEFAULT[1])))
    stale = []
    for name, (w, h, raw) in pictures:
        path = os.path.join(args.skin, name)
        data = png(w, h, raw)
        old = open(path, "rb").read() if os.path.exists(path) else None
        if png_file.pixels_of(old) == png_file.pixels_of(data):
            continue
        if args.check:
            stale.append(name)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    for name in stale:
        print(f"out of date: {name}")
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
