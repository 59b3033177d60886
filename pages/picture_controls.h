#pragma once

#include "ui/control_factory.h"

namespace norvane::pages {

// Registers the device picture controls with a control factory under their class names
// ("CDeviceKeyButtonUI", "CSelectPanelUI", ...). Layout tags "DeviceKeyButton" etc. reach
// them through the factory's "C" + tag + "UI" lookup.
void RegisterPictureControls(ui::CControlFactory& factory);

}  // namespace norvane::pages

namespace norvane::pages {

// Sample state for previews and screenshots: the key buttons below root lit with a rainbow
// across their x position (only the "light_" buttons when there are any) and every fifth
// other key button marked as reassigned, bar graphs given a level curve and
// empty charts a few items.
void FillPreviewData(ui::CControlUI& root);

}  // namespace norvane::pages
