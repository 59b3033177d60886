#pragma once

#include "config/key_codes.h"

#include <cstddef>
#include <optional>
#include <string>

// The key assignment panel's controls as plain values, the encoding of those values into a
// KeyAssignment and the decoding of an assignment back into them.
namespace norvane::pages {

// Item indices are combo selections (-1: none); numbers are what the edits hold.
struct KeySetFields {
    int familyUserData = 0;  // user data of the selected family item
    int mouseButton = -1;
    int swingDirection = -1;
    int swingCount = 0;
    int swingDelay = 0;
    int swingSpeed = 0;
    int wheelDirection = -1;
    int wheelCount = 0;
    int wheelDelay = 0;
    int wheelSpeed = 0;
    int dpi = -1;
    int fireInterval = 0;
    int fireShots = 0;
    int modifierOption = -1;  // "key_ComBox_check_" N selected, -1 none
    bool keyFieldEmpty = true;
    int media = -1;
    int system = -1;
    int macro = -1;
    int repeatMode = -1;
    int repeatCount = 0;
    int gun = -1;
    int shortcut = -1;
};

// The assignment the fields give. editing is the value being edited (kept where a family
// keeps it), macroCount the size of the macro library.
config::KeyAssignment EncodeKeySet(const KeySetFields& fields, config::KeyAssignment editing,
                                   config::KeyAssignment defaultValue, int macroCount);

// What decoding an assignment sets on the controls. Selections left unset keep the
// control's selection.
struct KeySetDecoded {
    std::optional<config::KeyFunctionFamily> family;  // none: the value fits no family
    std::optional<int> presetItem;                    // families 1, 4, 7, 8 and 11
    config::ScrollParameters scroll;                  // families 2 and 3
    int fireInterval = 0;
    int fireShots = 0;
    int modifierOption = 0;             // family 6
    std::optional<std::size_t> keyRow;  // family 6: KeyCodeTable row named in the key field
    int macro = -1;                     // family 9: -1 none
    int repeatMode = -1;                // family 9: -1 none
    std::optional<int> repeatCount;     // family 9, type 0x71
    bool cycleShown = false;            // family 9
    int gun = 0;                        // family 10
    config::KeyAssignment editing;      // the value being edited afterwards
};

KeySetDecoded DecodeKeySet(config::KeyAssignment value, config::KeyAssignment defaultValue, int macroCount);

// A captured key, looked up by the hook's scan code and flags.
struct CapturedKey {
    std::size_t row = 0;     // KeyCodeTable row
    bool modifier = false;   // rows 0–7
    int modifierOption = 0;  // for a modifier: the option it selects
    config::KeyAssignment triple;
};
// Nothing for a key without a row or whose row is not a keyboard key.
std::optional<CapturedKey> CaptureKey(std::uint8_t scanCode, std::uint32_t hookFlags);

}  // namespace norvane::pages
