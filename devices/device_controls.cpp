#include "devices/device_controls.h"

#include "devices/keyboard/keyboard_device.h"
#include "devices/mouse/mouse_device.h"
#include "devices/mousepad/mousepad_device.h"
#include "ui/control_factory.h"

#include <string>

namespace norvane::devices {

void RegisterDeviceControls(ui::CControlFactory& factory) {
    factory.Register<CTarnexKeyboardDevice>(std::string(CTarnexKeyboardDevice::kClassName));
    factory.Register<CTarnexMouseDevice>(std::string(CTarnexMouseDevice::kClassName));
    factory.Register<CTarnexMousePadDevice>(std::string(CTarnexMousePadDevice::kClassName));
}

}  // namespace norvane::devices
