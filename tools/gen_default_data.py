#!/usr/bin/env python3
"""Writes the factory data files of resources/DefaultData.

The files are committed; run this again after changing a value here:
    python3 tools/gen_default_data.py
"""
import json
import pathlib

OUT = pathlib.Path(__file__).resolve().parent.parent / "resources" / "DefaultData"

# Factory key assignments of the keyboard, key index 0-169 (type, param1, param2).
KEYBOARD_FACTORY = """
20 00 29; 20 00 3A; 20 00 3B; 20 00 3C; 20 00 3D; 20 00 3E; 20 00 3F; 20 00 40; 20 00 41; 20 00 42;
20 00 43; 20 00 44; 20 00 45; 20 00 46; 20 00 47; 20 00 48; A0 1B 00; A0 24 00; 20 00 00; 20 00 00;
20 00 00; 20 00 35; 20 00 1E; 20 00 1F; 20 00 20; 20 00 21; 20 00 22; 20 00 23; 20 00 24; 20 00 25;
20 00 26; 20 00 27; 20 00 2D; 20 00 2E; 20 00 2A; 20 00 49; 20 00 4A; 20 00 4B; 20 00 53; 20 00 54;
20 00 55; 20 00 56; 20 00 2B; 20 00 14; 20 00 1A; 20 00 08; 20 00 15; 20 00 17; 20 00 1C; 20 00 18;
20 00 0C; 20 00 12; 20 00 13; 20 00 2F; 20 00 30; 20 00 31; 20 00 4C; 20 00 4D; 20 00 4E; 20 00 5F;
20 00 60; 20 00 61; 20 00 32; 20 00 39; 20 00 04; 20 00 16; 20 00 07; 20 00 09; 20 00 0A; 20 00 0B;
20 00 0D; 20 00 0E; 20 00 0F; 20 00 33; 20 00 34; 20 00 28; 20 00 5C; 20 00 5D; 20 00 5E; 20 00 8A;
20 00 8B; 20 00 90; 20 00 91; 20 00 88; 20 02 00; 20 00 1D; 20 00 1B; 20 00 06; 20 00 19; 20 00 05;
20 00 11; 20 00 10; 20 00 36; 20 00 37; 20 00 38; 20 20 00; 20 00 52; 20 00 59; 20 00 5A; 20 00 5B;
20 00 87; 20 00 89; 20 00 64; 20 00 85; 20 00 00; 20 01 00; 20 08 00; 20 04 00; 20 00 2C; 20 40 00;
A0 01 00; 20 00 65; 20 10 00; 20 00 50; 20 00 51; 20 00 4F; 20 00 62; 20 00 63; 20 00 58; 20 00 57;
D0 A2 01; D0 A2 02; D0 A2 03; D0 A2 04; D0 A2 05; 20 80 00
"""

# The mouse's logical buttons in key list order.
MOUSE_BUTTONS = [(0x10, 0x01, 0), (0x10, 0x02, 0), (0x10, 0x04, 0), (0x10, 0x10, 0), (0x10, 0x08, 0),
                 (0x13, 0x01, 0), (0x13, 0x02, 0), (0x13, 0x03, 0), (0xA0, 0x1B, 0), (0x16, 0x90, 0x01),
                 (0x14, 0x78, 0x02)]

# Headset equaliser presets, types 1-12 (row 0 is never used by a type and stays flat).
EQ_PRESETS = [
    [7, 11, 2, -3, -1, 4, 9, 12, 9, 5],
    [7, 11, 6, -3, -11, -1, 6, 13, 6, 13],
    [10, 4, 0, -3, -4, -3, -2, -1, 0, 0],
    [2, 1, -2, -3, -5, -7, 0, 4, 9, 8],
    [0, 0, 0, 0, 0, 0, 0, 0, 0, 0],
    [7, 14, -13, -6, -1, 8, 13, 7, 2, 6],
    [14, 10, 4, 0, -4, -3, -1, 1, 2, 3],
    [2, 1, -2, -3, -5, -1, 7, 11, 15, 13],
    [8, 2, -4, -8, 1, 3, 8, 11, 14, 16],
    [-3, 4, 10, 0, -11, 3, 9, 13, 6, 0],
    [18, 14, 8, 2, -3, -6, -1, 2, 5, 6],
    [2, 1, -2, -4, -8, 4, 12, 16, 18, 15],
]

# Built-in light modes per light class: (language text id, offered, device code). The
# position is the mode index the light engines use.
KEYBOARD_MODES = [
    ("light_mode_none", False), ("light_mode_wave", True), ("light_mode_neon_stream", True),
    ("light_mode_swirl", True), ("light_mode_spectrum", True), ("light_mode_breathing", True),
    ("light_mode_static", True), ("light_mode_ripple", True), ("light_mode_reactive", True),
    ("light_mode_ripple_line", True), ("light_mode_sparkle", True), ("light_mode_rainbow", True),
    ("light_mode_rows", True), ("light_mode_crossfire", True), ("light_mode_show", True),
    ("light_mode_pulse", True), ("light_mode_bounce", True), ("light_mode_single_colour", True),
    ("light_mode_vortex", True), ("light_mode_custom", True), ("light_mode_effect", False),
    ("light_mode_fill", True), ("light_mode_rain", True), ("light_mode_blink", True),
    ("light_mode_runner", True), ("light_mode_reactive_fade", True),
    ("light_mode_four_colour_breathing", True), ("light_mode_four_colour_blink", True),
    ("light_mode_off", True), ("light_mode_music", True), ("light_mode_screen_sync", False),
]
MOUSE_MODES = [
    ("light_mode_wave", True), ("light_mode_spectrum", True), ("light_mode_breathing", True),
    ("light_mode_static", True), ("light_mode_blink", True), ("light_mode_flow", True),
    ("light_mode_reactive", True), ("light_mode_four_colour_breathing", True),
    ("light_mode_four_colour_blink", True), ("light_mode_off", True),
]
RING_MODES = [
    ("light_mode_wave", True), ("light_mode_spectrum", True), ("light_mode_breathing", True),
    ("light_mode_static", True), ("light_mode_blink", True), ("light_mode_effect", False),
    ("light_mode_marquee", True), ("light_mode_flow", True), ("light_mode_off", True),
]
ZONES = [["area_keys", "area_side_strip"], ["area_logo", "area_wheel", "area_side_strip"],
         ["area_edge"], ["area_ear_cups"]]

LANGUAGES = [  # (id, name, file, text id); the position is the language index
    (520, "English", "lan_en.xml", "language_english"),
    (521, "简体中文", "lan_cn.xml", "language_simplified_chinese"),
    (522, "繁體中文", "lan_tw.xml", "language_traditional_chinese"),
    (523, "Deutsch", "lan_de.xml", "language_german"),
    (524, "日本語", "lan_jp.xml", "language_japanese"),
    (525, "한국어", "lan_kr.xml", "language_korean"),
    (526, "Français", "lan_fr.xml", "language_french"),
    (527, "Español", "lan_es.xml", "language_spanish"),
    (528, "Русский", "lan_ru.xml", "language_russian"),
]

PRESET_COLOURS = [
    "FFFF0000", "FFFF4000", "FFFF8000", "FFFFBF00", "FFFFFF00", "FFBFFF00", "FF00FF00", "FF00FF80",
    "FF00FFFF", "FF0080FF", "FF0000FF", "FF4000FF", "FF8000FF", "FFBF00FF", "FFFF00FF", "FFFF0080",
    "FFFFFFFF", "FFC0C0C0", "FF808080", "FF404040",
]


def assignment(t, p1, p2):
    return t * 65536 + p1 * 256 + p2


def key_list(rows):
    return [{"Assignment": assignment(*r), "DefaultAssignment": assignment(*r)} for r in rows]


def light_info(mode, multi, red, green, blue, secondary=0):
    return {"SelectItem": mode, "Light": 4, "Speed": 2, "Fx": 0, "MultiColor": multi, "Red": red,
            "Green": green, "Blue": blue, "ZZCCLedMode": secondary, "CustomGroup": 0, "OldLedmode": mode}


def keyboard():
    rows = [tuple(int(b, 16) for b in item.split()) for item in KEYBOARD_FACTORY.replace("\n", " ").split(";")]
    rows += [(0x20, 0, 0)] * (170 - len(rows))
    assert len(rows) == 170
    wasd = {44, 64, 65, 66}  # W, A, S, D
    group0 = [{"Red": 255, "Green": 0, "Blue": 0, "Alpha": 255} if k in wasd else
              {"Red": 255, "Green": 255, "Blue": 255, "Alpha": 255} for k in range(170)]
    group1 = [{"Red": 0, "Green": 160 + (k * 95) // 169, "Blue": 255, "Alpha": 255} for k in range(170)]
    return {"Device": [{
        "KeyList": key_list(rows),
        "LightInfo": light_info(1, 1, 255, 0, 0, 1),
        "LightList": [],
        "AudioLightInfo": {"AudioMode": 0, "BkColorR": 0, "BkColorG": 0, "BkColorB": 0, "FgColorR": 0,
                           "FgColorG": 255, "FgColorB": 255, "7ColorFlags": 1, "ColorTypeFlags": 1},
        "CustomLightMode": {"CustomLightModeGroupIndex": 0, "LightColorInfo": [group0, group1]},
        "SystemStages": {"Repeat": 2, "RepeatDelay": 1, "Key6Flag": 0, "PollingRate": 3, "WFlag": 0,
                         "WinFlag": 0, "WheelMode": 0},
    }]}


def mouse():
    # Stage DPI values are slider units; with the usual step of 100 and base of 100 they
    # give 800, 1600, 2400, 3200 and 4800 DPI.
    stages = [(7, 255, 0, 0), (15, 0, 255, 0), (23, 0, 0, 255), (31, 255, 255, 0), (47, 255, 0, 255)]
    return {"Device": [{
        "KeyList": key_list(MOUSE_BUTTONS),
        "LightInfo": light_info(0, 1, 0, 128, 255),
        "LightList": [],
        "SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10, "PointerPrecision": 1, "ScorllPage": 0,
                         "WheelScorlllinse": 3},
        "ReportStages": {"StageActive": 3},
        "DPIStages": {"StageActive": 1, "StageDPIs": [
            {"StageActive": 1, "StageXY": 0, "StageDPIX": v, "StageDPIY": v, "StageColorR": r,
             "StageColorG": g, "StageColorB": b} for v, r, g, b in stages]},
        "CorrectInfo": [
            {"CorrectPixThresh": 0, "CorrectMinSq": 0, "CorrectSelect": 1, "CorrectName": "Off"},
            {"CorrectPixThresh": 3, "CorrectMinSq": 16, "CorrectSelect": 0, "CorrectName": "Light"},
            {"CorrectPixThresh": 5, "CorrectMinSq": 36, "CorrectSelect": 0, "CorrectName": "Strong"},
        ],
    }]}


def mousepad():
    return {"Device": [{"LightInfo": light_info(0, 1, 255, 0, 128), "LightList": []}]}


def headset():
    rows = [[{"value": 0} for _ in range(10)]] + [[{"value": v} for v in row] for row in EQ_PRESETS]
    return {"Device": [{
        "LightInfo": light_info(2, 0, 0, 200, 255),
        "LightList": [],
        "SystemSetStages": {"MagicEnable": 0, "MagicType": 1, "EqType": 5, "CustomEqSeletIndex": -1,
                            "MicInSelect": 1, "MicInValue": 80, "MicMoniterSelect": 0, "MicMoniterValue": 50},
        "EQHzValueInfo": rows,
        "CustomEQNameInfo": [],
        "CustomEQHzValueInfo": [],
    }]}


def default_light():
    def modes(table):
        return [{"LightName": name, "visible": visible, "value": value}
                for value, (name, visible) in enumerate(table)]
    return {"DefaultLightName": [modes(KEYBOARD_MODES), modes(MOUSE_MODES), modes(RING_MODES),
                                 modes(RING_MODES)],
            "AreaLightName": [[{"LightName": z} for z in zones] for zones in ZONES]}


def shoot(interval, pull, drift):
    """A recoil pattern: interval in ms between shots, the downward pull per bullet and
    a sideways drift pattern; the cursor moves down (vertical "up") against the kick."""
    events = []
    for b in range(30):
        y = min(12, pull[min(b, len(pull) - 1)])
        x = drift[b % len(drift)]
        horizontal = "down" if x < 0 else "up"
        delay = interval - 15
        events += [
            {"Type": 1, "Button": 1, "Action": "down", "Delay": 10},
            {"Type": 1, "Button": 1, "Action": "up", "Delay": 0},
            {"Type": 4, "Button": abs(x), "Action": horizontal, "Delay": 5},
            {"Type": 5, "Button": y, "Action": "up", "Delay": delay},
            {"Type": 4, "Button": 0, "Action": horizontal, "Delay": 0},
            {"Type": 5, "Button": 0, "Action": "up", "Delay": 0},
        ]
    return {"Events": events}


def write(name, value):
    text = json.dumps(value, indent=3, ensure_ascii=False) + "\n"
    (OUT / name).write_text(text, encoding="utf-8")


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    write("keyboard.Json", keyboard())
    write("mouse.Json", mouse())
    write("MousePad.Json", mousepad())
    write("HD.Json", headset())
    write("default_light.json", default_light())
    write("Language.config", {"Language": [
        {"Language_ID": i, "Language_name": n, "Language_file": f, "Language_text": t}
        for i, n, f, t in LANGUAGES]})
    write("AudioFile.json", {"Device": {"AudioLightInfo": {
        "nAudioStyle": 0, "nStyleName1": "Aurora", "nStyleName2": "Ember", "nStyleName3": "Ocean",
        "nStyleName4": "Forest",
        "nStyleR0": 9, "nStyleG0": 3, "nStyleB0": 9, "nStyleR1": 9, "nStyleG1": 4, "nStyleB1": 0,
        "nStyleR2": 0, "nStyleG2": 5, "nStyleB2": 9, "nStyleR3": 1, "nStyleG3": 9, "nStyleB3": 2}}})
    write("color_option_info.config", {"coloroptioninfo": {
        "palletDialogcoloroption": [{"color": c} for c in PRESET_COLOURS],
        "palletDialogcoloroption_selectitem": 4,
        "palletDialogcollectcoloroption": [{"color": "FFFFFFFF", "UserData": ""} for _ in range(20)],
        "palletDialogcollectcoloroption_selectitem": 0}})
    # Assault rifle, submachine gun, light machine gun, marksman rifle.
    write("ShootData_0.Shoot", shoot(100, [2, 3, 4, 5, 6, 6, 7, 7, 6, 5], [0, 1, 1, 0, -1, -1, 0, 1, 2, 1]))
    write("ShootData_1.Shoot", shoot(70, [1, 2, 3, 3, 4, 4, 4, 3], [0, -1, 0, 1, 1, 0, -1, -1]))
    write("ShootData_2.Shoot", shoot(90, [3, 4, 5, 6, 7, 8, 8, 7, 6], [0, 1, 2, 2, 1, 0, -1, -2, -2, -1]))
    write("ShootData_3.Shoot", shoot(140, [6, 8, 9, 9, 8], [0, 0, 1, 0, -1]))


if __name__ == "__main__":
    main()
