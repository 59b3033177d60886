#!/usr/bin/env python3
"""check_recording.py MAC_FILE TRACE_LOG

Checks a macro recorded from X input: the saved file holds exactly the expected events, in
order, and the simulated keyboard's macro memory (dumped on the trace) holds the same events
with the same delays as the first macro of its image."""
import json
import re
import sys

# (X keycode, event type, code): keys by X keycode (evdev code + 8), with the HID usage (type 10)
# or the modifier bit (type 9) the recorder must store for each.
KEYS = [
    (38, 10, 0x04),   # a
    (114, 10, 0x4F),  # Right (extended)
    (113, 10, 0x50),  # Left (extended)
    (111, 10, 0x52),  # Up (extended)
    (116, 10, 0x51),  # Down (extended)
    (105, 9, 0x10),   # right Ctrl (extended)
    (108, 9, 0x40),   # right Alt (extended)
    (50, 9, 0x02),    # left Shift
    (104, 10, 0x58),  # keypad Enter (extended)
    (106, 10, 0x54),  # keypad / (extended)
    (87, 10, 0x59),   # keypad 1
    (118, 10, 0x49),  # Insert (extended)
    (119, 10, 0x4C),  # Delete (extended)
    (110, 10, 0x4A),  # Home (extended)
    (36, 10, 0x28),   # Return
    (71, 10, 0x3E),   # F5
]
# The right button click that follows the keys: mouse event type 1, button bit 2.
CLICK = [(1, 2, "down"), (1, 2, "up")]


def expected():
    events = []
    for _, kind, code in KEYS:
        events += [(kind, code, "down"), (kind, code, "up")]
    return events + CLICK


def fail(text):
    print("FAIL: " + text, file=sys.stderr)
    sys.exit(1)


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "--keycodes":
        print(" ".join(str(k[0]) for k in KEYS))
        return
    mac_path, log_path = sys.argv[1], sys.argv[2]
    with open(mac_path, encoding="utf-8") as f:
        saved = json.load(f)["Events"]
    got = [(e["Type"], e["Button"], e["Action"]) for e in saved]
    want = expected()
    if got != want:
        for i, (g, w) in enumerate(zip(got, want)):
            if g != w:
                fail(f"event {i} of the saved macro is {g}, not {w} ({len(got)} events, {len(want)} wanted)")
        fail(f"the saved macro holds {len(got)} events, not {len(want)}")
    print(f"ok: the saved macro holds the {len(want)} events typed and clicked, in order")

    dump = None
    with open(log_path, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = re.search(r"sim keyboard macro memory ([0-9a-f]+)", line)
            if m:
                dump = bytes.fromhex(m.group(1))
    if dump is None:
        fail("no macro memory dump in the trace")
    u16 = lambda at: dump[at] | dump[at + 1] << 8
    if u16(0) != 0x55AA or u16(4) < 1:
        fail(f"no macro image in the keyboard's memory (header {dump[:8].hex()})")
    record = u16(16)
    count = u16(record)
    packed = [dump[record + 4 + 4 * i: record + 8 + 4 * i] for i in range(count)]
    stored = []
    for b in packed:
        stored.append((b[2] & 0x7F, b[3], "down" if b[2] & 0x80 else "up", b[0] | b[1] << 8))
    from_file = [(e["Type"], e["Button"], e["Action"], int(e["Delay"])) for e in saved]
    if stored != from_file:
        fail(f"the keyboard's first macro {stored} differs from the saved one {from_file}")
    print(f"ok: the keyboard's macro memory holds the same {count} events with their delays")


if __name__ == "__main__":
    main()
