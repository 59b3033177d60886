#pragma once

namespace norvane::ui {
class CControlFactory;
}  // namespace norvane::ui

namespace norvane::devices {

// Registers the device page classes with the control factory ("TarnexKeyboardDevice",
// "TarnexMouseDevice", "TarnexMousePadDevice", "TarnexDE6533Device") and the headset's audio
// panel ("CVoice6533ControlUI").
void RegisterDeviceControls(ui::CControlFactory& factory);

}  // namespace norvane::devices
