#!/usr/bin/env python3
"""The picture generator's rules catch spots that stray from their picture."""
import importlib.util
import pathlib
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
spec = importlib.util.spec_from_file_location("gen", ROOT / "tools" / "gen_mouse_pictures.py")
gen = importlib.util.module_from_spec(spec)
spec.loader.exec_module(gen)


def faults_with(picture, edit):
    groups = gen.spot_groups()
    spots, size = groups[picture]
    groups[picture] = (edit(list(spots)), size)
    return gen.rule_breaks(groups)


def replace(spots, name, rect):
    return [(n, rect if n == name else r) for n, r in spots]


class RulesTest(unittest.TestCase):
    def test_the_shipped_pictures_keep_every_rule(self):
        self.assertEqual(gen.rule_breaks(gen.spot_groups()), [])

    def test_a_stray_spot_is_reported(self):
        cx, cy, _ = gen.PAD_CHARGER
        hx, hy, hr = gen.HS_CUP
        cases = [
            ("overlap", "mouse", lambda s: replace(s, "light_3", gen.Rect(*_pos(s, "light_2"))), "overlaps"),
            ("key on a light", "mouse", lambda s: replace(s, "key_7", gen.Rect(*_pos(s, "light_14"))), "overlaps"),
            ("outside", "mouse", lambda s: replace(s, "key_3", gen.Rect(-10, 150, 4, 188)), "outside the picture"),
            ("missing", "mouse", lambda s: [x for x in s if x[0] != "key_10"], "missing or extra"),
            ("on the charger", "mousepad", lambda s: replace(s, "light_7", gen.spot(cx, cy, 14)), "charging spot"),
            ("outside the pad", "mousepad", lambda s: replace(s, "light_0", gen.Rect(-4, 100, 10, 114)),
             "outside the picture"),
            ("off the cup", "headset", lambda s: replace(s, "light_5", gen.spot(hx + hr - 4, hy, 14)), "off the ear cup"),
            ("ring overlap", "headset", lambda s: replace(s, "light_12", gen.Rect(*_pos(s, "light_0"))), "overlaps"),
            ("missing", "headset", lambda s: [x for x in s if x[0] != "light_12"], "missing or extra"),
        ]
        for name, picture, edit, expect in cases:
            with self.subTest(name):
                faults = faults_with(picture, edit)
                self.assertTrue(any(expect in f for f in faults), faults)


def _pos(spots, name):
    r = dict(spots)[name]
    return (r.left, r.top, r.right, r.bottom)


if __name__ == "__main__":
    unittest.main()
