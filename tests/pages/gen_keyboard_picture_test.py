#!/usr/bin/env python3
"""The key picture generator's rules catch a picture that strays from the key matrix."""
import importlib.util
import pathlib
import sys
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
spec = importlib.util.spec_from_file_location("gen", ROOT / "tools" / "gen_keyboard_picture.py")
gen = importlib.util.module_from_spec(spec)
spec.loader.exec_module(gen)


def faults_with(variant, edit):
    """Rule faults of one variant after edit(keys, lights) changed its picture."""
    keys, lights = gen.picture(variant)
    edit(keys, lights)
    return gen.check_rules(variant, keys, lights)


def move(rects, n, dx, dy):
    l, t, r, b = rects[n]
    rects[n] = (l + dx, t + dy, r + dx, b + dy)


class RulesTest(unittest.TestCase):
    def test_the_shipped_pictures_keep_every_rule(self):
        files, faults = gen.build()
        self.assertEqual(faults, [])
        self.assertEqual(len(files), 6)

    def test_a_stray_picture_is_reported(self):
        pitch = gen.PITCH

        def swap(rects, a, b):
            rects[a], rects[b] = rects[b], rects[a]

        cases = [
            # Q and W swapped: W left of Q, against the matrix columns.
            ("column order", lambda k, l: swap(k, 43, 44), "is right of"),
            # Esc moved down to the digit row.
            ("row", lambda k, l: move(k, 0, 0, int(1.5 * pitch)), "not in matrix row 0"),
            ("overlap", lambda k, l: move(k, 23, -10, 0), "overlap"),
            ("outside", lambda k, l: move(k, 124, 0, pitch), "outside the picture"),
            ("light without key", lambda k, l: l.__setitem__(18, (300, 0, 310, 10)), "under no key"),
            ("not in the matrix", lambda k, l: k.__setitem__(150, (900, 0, 910, 10)), "not in the key matrix"),
        ]
        for name, edit, expect in cases:
            with self.subTest(name):
                faults = faults_with(0, edit)
                self.assertTrue(any(expect in f for f in faults), faults)

    def test_a_key_shown_in_no_variant_is_reported(self):
        pictures = [gen.picture(v) for v in range(len(gen.VARIANT_NAMES))]
        self.assertEqual(gen.check_coverage(pictures), [])
        for keys, _ in pictures:
            keys.pop(101, None)  # the yen key exists only in the JIS picture
        self.assertEqual(gen.check_coverage(pictures), ["key 101 appears in no variant"])

    def test_segments_split_a_key_into_its_leds_in_matrix_order(self):
        keys, lights = gen.picture(0)
        space = keys[108]
        segments = [lights[n] for n in (126, 127, 108, 128, 129)]
        self.assertEqual(segments[0][0], space[0])
        self.assertEqual(segments[-1][2], space[2])
        for a, b in zip(segments, segments[1:]):
            self.assertEqual(a[2], b[0])


if __name__ == "__main__":
    sys.exit(unittest.main())
