#pragma once

#include <cstdint>

#include "ui/types.h"

namespace norvane::ui {

class CControlUI;

enum class EventType {
    MouseMove,
    MouseEnter,
    MouseLeave,
    ButtonDown,
    ButtonUp,
    DblClick,
    RButtonDown,
    ContextMenu,
    ScrollWheel,
    KeyDown,
    Char,
    SetFocus,
    KillFocus,
    // The mouse capture ended without a release (window deactivated or hidden, control
    // hidden or disabled): any press or drag in progress ends. Sent to the captured control
    // and each of its ancestors.
    CaptureLost,
};

// Keys the controls react to; other keys arrive as Key::Other.
enum class Key { Other, Return, Escape, Space, Back, Delete, Left, Right, Up, Down, Home, End, Tab };

enum Modifier : unsigned { kModShift = 1, kModControl = 2, kModAlt = 4 };

// One input event routed to a control, in window client coordinates.
struct TEventUI {
    EventType type = EventType::MouseMove;
    CControlUI* sender = nullptr;
    Point pt;
    Key key = Key::Other;
    char32_t ch = 0;
    int wheel = 0;  // positive: away from the user
    unsigned modifiers = 0;
    std::uint64_t timestamp = 0;
};

inline TEventUI MakeEvent(EventType type, Point pt) {
    TEventUI e;
    e.type = type;
    e.pt = pt;
    return e;
}

}  // namespace norvane::ui
