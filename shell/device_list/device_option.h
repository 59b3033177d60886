#pragma once

#include "ui/container.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace norvane::ui {
class COptionUI;
class CLabelUI;
}  // namespace norvane::ui

namespace norvane::devices {
class CTarnexUSBDevice;
}  // namespace norvane::devices

namespace norvane::shell {

// Tile timers.
enum TileTimer : int {
    kTimerLightFrame = 1000,
    kTimerAttach = 1001,
    kTimerResync = 1002,
    kTimerReserved1003 = 1003,
    kTimerReserved1004 = 1004,
    kTimerStatus = 1005,
    kTimerLinkWatch = 1007,
};

// Timer periods in milliseconds.
inline constexpr int kLightFrameCableMs = 5;
inline constexpr int kLightFrameReceiverMs = 50;
inline constexpr int kAttachMs = 500;
inline constexpr int kAttachRetryMs = 3000;
inline constexpr int kStatusFirstMs = 50;
inline constexpr int kStatusMs = 5000;
inline constexpr int kLinkWatchFirstMs = 2000;
inline constexpr int kLinkWatchMs = 3000;
// The link-failure counter wraps to 0 here.
inline constexpr int kLinkFailureWrap = 20;

// Icons of a tile type: "common/device_ico/" + stem + suffix, and the name label's text id.
struct TileIcons {
    std::string normal;
    std::string selected;
    std::string syncNormal;
    std::string syncSelected;
    std::string nameTextId;
};
TileIcons TileIconsFor(int type, int subtype);

// One device's entry in the device list: a horizontal layout holding the option that
// selects it ("device_select"), its sync option ("synchro_device_select") and name label
// ("device_select_name"). It runs the timers that drive its device object's link.
class CDeviceOptionUI : public ui::CHorizontalLayoutUI {
public:
    static constexpr std::string_view kClassName = "DeviceOption";
    static constexpr std::string_view kSelectName = "device_select";
    static constexpr std::string_view kSyncName = "synchro_device_select";
    static constexpr std::string_view kNameLabel = "device_select_name";

    CDeviceOptionUI();
    ~CDeviceOptionUI() override;

    std::string_view GetClass() const override { return kClassName; }
    void DoInit() override;
    // Sends "selectchanged" to the window.
    bool Activate() override;
    // Showing or hiding also sets the connected flag.
    void SetVisible(bool visible) override;

    // Finds the named sub-controls (again); the tile's layout must hold them.
    void CacheControls();

    void SetDevice(devices::CTarnexUSBDevice* device) { device_ = device; }
    devices::CTarnexUSBDevice* Device() const { return device_; }
    // Chooses the icons and the name text id.
    void SetTypes(std::int32_t type, std::int32_t subtype);
    std::int32_t Type() const { return type_; }
    std::int32_t Subtype() const { return subtype_; }
    void BindPage(std::string tabLayout, int index);
    const std::string& PageTab() const { return pageTab_; }
    int PageIndex() const { return pageIndex_; }
    void SetPowerTab(std::wstring name, std::int32_t index);
    const std::wstring& PowerTabName() const { return powerTabName_; }
    std::int32_t PowerTabIndex() const { return powerTabIndex_; }
    void SetGroup(std::string group);
    void SetNameTextId(std::string id);

    void Show(bool visible) { SetVisible(visible); }
    bool IsConnected() const { return connected_ != 0; }
    // Selects or deselects "device_select", raising its "selectchanged" when notify is set.
    void Select(bool selected, bool notify = true);
    bool IsSelected() const;
    // Turns the sync option on or off and gives "device_select" the matching images.
    void SetSyncOption(bool on);
    bool IsSyncSelected() const;

    const TileIcons& Icons() const { return icons_; }
    // The images "device_select" currently shows.
    const std::string& NormalImage() const;
    const std::string& SelectedImage() const;

    std::int32_t LinkFailures() const { return linkFailures_; }
    ui::COptionUI* SelectOption() const { return select_; }
    ui::COptionUI* SyncOption() const { return sync_; }
    ui::CLabelUI* NameLabel() const { return name_; }
    ui::CControlUI* Picture() const;

    // A timer of this tile expired (the owner routes the "timer" notification here).
    void OnTimer(int id);
    // The window was shown or hidden. While it is hidden, the frame timer of a device that
    // takes no frames rests; shown again, the frames run at their full rate at once.
    void SetWindowShown(bool shown);
    // The device's light state or host lighting changed (kLightFramesMessage): resting frames
    // start again when the device now takes them.
    void WakeLightFrames();
    bool LightFramesResting() const { return framesResting_; }
    // The period timer 1000 is re-armed with.
    int LightFramePeriod() const;

private:
    void ApplyImages();
    void OnLightFrameTimer();
    void OnAttachTimer();
    void OnStatusTimer();
    void OnLinkWatchTimer();
    bool OnReceiverSide() const;

    devices::CTarnexUSBDevice* device_ = nullptr;
    ui::COptionUI* sync_ = nullptr;
    ui::COptionUI* select_ = nullptr;
    ui::CLabelUI* name_ = nullptr;
    std::int32_t type_ = 0;
    std::int32_t subtype_ = 0;
    TileIcons icons_;
    std::string pageTab_;
    int pageIndex_ = -1;
    std::wstring powerTabName_;
    std::int32_t powerTabIndex_ = -1;
    std::uint8_t connected_ = 1;
    std::int32_t linkFailures_ = 0;
    bool windowShown_ = true;
    bool framesResting_ = false;
};

}  // namespace norvane::shell
