#include "devices/device_controls.h"

#include "devices/headset/headset_device.h"
#include "devices/headset/voice6533_control.h"
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
    factory.Register<CTarnexDE6533Device>(std::string(CTarnexDE6533Device::kClassName));
    factory.Register<headset::CVoice6533ControlUI>("CVoice6533ControlUI");
}

}  // namespace norvane::devices
