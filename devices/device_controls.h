#pragma once

namespace norvane::ui {
class CControlFactory;
}  // namespace norvane::ui

namespace norvane::devices {

// Registers the device page classes with the control factory ("TarnexKeyboardDevice",
// "TarnexMouseDevice", "TarnexMousePadDevice").
void RegisterDeviceControls(ui::CControlFactory& factory);

}  // namespace norvane::devices
