#pragma once

#include <json/value.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Macro events: their JSON form (in ".mac" and ".Shoot" files), the mouse event table and
// the four-byte form the devices receive.
namespace norvane::config {

enum class MacroEventType : std::uint8_t {
    MouseButton = 1,
    HorizontalMove = 4,  // "down" moves left, "up" right
    VerticalMove = 5,    // "down" moves up, "up" down
    Modifier = 9,
    Key = 10,
};

inline constexpr int kMaxMacroDelay = 65535;
inline constexpr std::size_t kMaxMacroEvents = 4000;
inline constexpr std::string_view kActionDown = "down";
inline constexpr std::string_view kActionUp = "up";

struct MacroEvent {
    int type = 0;        // "Type"
    int button = 0;      // "Button"
    std::string action;  // "Action": "down" or "up"
    int delay = 0;       // "Delay": milliseconds after this event, 0–65535

    bool IsDown() const { return action == kActionDown; }
    friend bool operator==(const MacroEvent&, const MacroEvent&) = default;
};

// A delay text as typed or stored: leading digits, empty = 0, above 65534 = 65535.
int ParseDelay(std::string_view text);
int ClampDelay(long long delay);

// Reads one "Events" element; nullopt when it is not an object. "Delay" may be a string
// or a number.
std::optional<MacroEvent> ReadMacroEvent(const Json::Value& element);
// "Delay" is written as a string in macro files and as an integer in recoil patterns.
enum class DelayForm { String, Integer };
Json::Value MacroEventToJson(const MacroEvent& event, DelayForm form);
// The "Events" array of a document, at most kMaxMacroEvents of them.
std::vector<MacroEvent> ReadMacroEvents(const Json::Value& document);

struct PackedMacroEvent {
    std::array<std::uint8_t, 4> bytes{};  // delay low, delay high, type | down bit, button

    friend bool operator==(const PackedMacroEvent&, const PackedMacroEvent&) = default;
};
PackedMacroEvent PackMacroEvent(const MacroEvent& event);
std::vector<PackedMacroEvent> PackMacroEvents(const std::vector<MacroEvent>& events);

// Mouse input to macro events. The action byte's bit 7 means "down", bits 0–6 the type.
struct MouseEventRow {
    std::uint16_t source;  // mouse message number, or 4 / 5 for horizontal / vertical moves
    std::uint8_t functionType;
    std::uint8_t mask;
    std::uint8_t action;
    std::string_view nameId;
};

inline constexpr std::array<MouseEventRow, 15> kMouseEventTable{{
    {0x0201, 0x10, 0x01, 0x81, "mouse_key_left"},
    {0x0202, 0x10, 0x01, 0x01, "mouse_key_left"},
    {0x0204, 0x10, 0x02, 0x81, "mouse_key_right"},
    {0x0205, 0x10, 0x02, 0x01, "mouse_key_right"},
    {0x0207, 0x10, 0x04, 0x81, "mouse_key_middle"},
    {0x0208, 0x10, 0x04, 0x01, "mouse_key_middle"},
    {0x020B, 0x10, 0x10, 0x81, "mouse_key_forward"},  // second extra button
    {0x020C, 0x10, 0x10, 0x01, "mouse_key_forward"},
    {0x020B, 0x10, 0x08, 0x81, "mouse_key_back"},  // first extra button
    {0x020C, 0x10, 0x08, 0x01, "mouse_key_back"},
    {4, 0x15, 0, 0x84, "mouse_move_to_left_text"},
    {4, 0x15, 0, 0x04, "mouse_move_to_right_text"},
    {5, 0x15, 0, 0x85, "mouse_move_to_up_text"},
    {5, 0x15, 0, 0x05, "mouse_move_to_down_text"},
    {0x020A, 0x12, 0, 0x00, "mouse_cursor_text"},
}};

// The row a mouse message selects (extraButton: the high word of the mouse data, 1 or 2).
std::optional<std::size_t> FindMouseEventRow(std::uint16_t source, int extraButton = 0);
// The event a row records (without delay).
MacroEvent MouseEventOf(const MouseEventRow& row);

}  // namespace norvane::config
