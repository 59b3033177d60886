#pragma once

#include "ui/control_factory.h"

namespace norvane::pages {

// Registers the device picture controls with a control factory under their class names
// ("CDeviceKeyButtonUI", "CSelectPanelUI", ...). Layout tags "DeviceKeyButton" etc. reach
// them through the factory's "C" + tag + "UI" lookup.
void RegisterPictureControls(ui::CControlFactory& factory);

}  // namespace norvane::pages

namespace norvane::pages {

// Sample state for previews and screenshots: every key button below root lit with a rainbow
// across its x position (every fifth marked as reassigned), bar graphs given a level curve and
// empty charts a few items.
void FillPreviewData(ui::CControlUI& root);

}  // namespace norvane::pages
