#pragma once

#include "ui/dialog_builder.h"

#include <memory>
#include <string_view>

namespace norvane::ui {
class CPaintManagerUI;
}  // namespace norvane::ui

namespace norvane::devices {
class CMpDevicePowerUI;
class CTarnexUSBDevice;
}  // namespace norvane::devices

namespace norvane::shell {

class CDeviceOptionUI;

// The layout callback of the device list. Tags go to the window's own callback first; a
// "DeviceOption" tag makes a tile; a device class tag ("Tarnex…Device") that neither the
// window nor the control factory knows makes a plain device object, so a page whose class
// is not built yet still gets a page.
class PageBuilderCallback : public ui::IDialogBuilderCallback {
public:
    explicit PageBuilderCallback(ui::IDialogBuilderCallback* outer) : outer_(outer) {}
    std::unique_ptr<ui::CControlUI> CreateControl(std::string_view tag) override;

private:
    ui::IDialogBuilderCallback* outer_;
};

// True for the tags of device classes ("TarnexUSBDevice", "TarnexKeyboardDevice", …).
bool IsDeviceClassTag(std::string_view tag);

// Registers the list's control classes with the toolkit's control factory.
void RegisterDeviceListControls();

// The page of a page layout: its root when that is a device object; otherwise a plain
// device object holding whatever the layout built (nothing when it could not be read).
std::unique_ptr<devices::CTarnexUSBDevice> BuildDevicePage(std::string_view layout,
                                                           ui::CPaintManagerUI& manager,
                                                           ui::IDialogBuilderCallback* callback);
// The tile of a tile layout: its root when that is a tile, else a tile holding the built
// tree; nullptr when the layout cannot be built.
std::unique_ptr<CDeviceOptionUI> BuildTile(std::string_view layout, ui::CPaintManagerUI& manager,
                                           ui::IDialogBuilderCallback* callback);
// The power panel of a power panel layout: its root when that is a power panel, else a panel
// holding the built tree (an empty panel when the layout cannot be built).
std::unique_ptr<devices::CMpDevicePowerUI> BuildPowerPanel(std::string_view layout,
                                                           ui::CPaintManagerUI& manager,
                                                           ui::IDialogBuilderCallback* callback);

}  // namespace norvane::shell
