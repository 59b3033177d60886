#pragma once

#include "ui/control_factory.h"

namespace norvane::pages {

// Registers the device picture controls with a control factory under their class names
// ("CDeviceKeyButtonUI", "CSelectPanelUI", ...). Layout tags "DeviceKeyButton" etc. reach
// them through the factory's "C" + tag + "UI" lookup.
void RegisterPictureControls(ui::CControlFactory& factory);

}  // namespace norvane::pages
