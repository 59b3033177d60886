#pragma once

#include "device/catalogue.h"
#include "device/hid_channel.h"

// Which side of a channel a catalogue kind is driven through.
namespace norvane::device {

// The mouse's receiver (kind 6) and the keyboard's alternate identity (kind 9) are receiver
// sides: receiver slot, link mode 2 (24-byte chunks, the long timeout, 0xAA = device asleep).
constexpr bool IsReceiverSide(DeviceKind kind) {
    return kind == DeviceKind::MouseReceiver || kind == DeviceKind::KeyboardAlternate;
}

constexpr LinkMode LinkModeOf(DeviceKind kind) {
    return IsReceiverSide(kind) ? LinkMode::Receiver : LinkMode::Cable;
}

// Only the mouse is wireless: its receiver side is asked whether the mouse behind it answers.
constexpr bool QueriesLink(DeviceKind kind) {
    return kind == DeviceKind::MouseReceiver;
}

}  // namespace norvane::device
