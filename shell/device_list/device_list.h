#pragma once

#include "config/light_data.h"
#include "device/catalogue.h"
#include "device/hid_backend.h"
#include "shell/device_list/device_scan.h"
#include "shell/device_list/device_slot.h"
#include "shell/device_list/light_sync.h"
#include "shell/device_list/udev_wake.h"
#include "ui/notify.h"
#include "ui/types.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace norvane::ui {
class WindowImplBase;
class CPaintManagerUI;
class CContainerUI;
class CTabLayoutUI;
class IDialogBuilderCallback;
}  // namespace norvane::ui

namespace norvane::devices {
class CTarnexUSBDevice;
}  // namespace norvane::devices

namespace norvane::shell {

class CDeviceOptionUI;

// Link state from device objects and tiles: wparam the tile index, lparam 1 online, 0 offline.
inline constexpr unsigned kLinkStateMessage = 3331;

inline constexpr std::string_view kTileContainer = "device_select_layout";
inline constexpr std::string_view kPageSwitch = "device_switch";
inline constexpr std::string_view kPowerSwitch = "device_power_switch";
inline constexpr std::string_view kNoDevicePanel = "No_device_Link";
inline constexpr std::string_view kPreviousButton = "device_select_prev";
inline constexpr std::string_view kNextButton = "device_select_next";
inline constexpr std::string_view kPowerPanelLayout = "XML/CustomControlXML/MpDevicePower.xml";

// What the device list asks of the main window beyond its controls. The defaults do nothing.
class DeviceListHost {
public:
    // As for the instance message: show the window and bring it to the front.
    virtual void BringToFront() {}
    // The selected device went away.
    virtual void CloseChildWindows() {}
    // A macro recording that runs when its device goes away is stopped (hooks removed,
    // the macro saved without a device write, the UI unlocked).
    virtual void StopRecording() {}
    // A page was created and added to its list (a keyboard page takes the language index here).
    virtual void PageCreated(devices::CTarnexUSBDevice& page) { static_cast<void>(page); }
    // Whether more than one device is connected (the lighting panels offer the sync mode then).
    virtual void SetMultipleDevices(bool multiple) { static_cast<void>(multiple); }
    // Shows a light state on a device's lighting panel.
    virtual void ShowLightState(devices::CTarnexUSBDevice& page, const config::LightInfo& state) {
        static_cast<void>(page);
        static_cast<void>(state);
    }
    virtual ui::Size ScreenSize() const { return {}; }
    // The selected tile changed.
    virtual void CurrentDeviceChanged(int tile, int type, int subtype) {
        static_cast<void>(tile);
        static_cast<void>(type);
        static_cast<void>(subtype);
    }

protected:
    virtual ~DeviceListHost() = default;
};

// The device list of the main window: the slot list, the pages and their tiles, hot-plug
// handling on the UI thread, and the scan and light-sync threads.
//
// Threads: everything but the two threads runs on the window's UI thread. The scan thread
// reports through posted window messages (HandleMessage picks them up); the light-sync
// thread sees the device lists through LightSync's locked snapshot.
class DeviceList {
public:
    struct Options {
        std::chrono::milliseconds scanPeriod = ScanThread::kPeriod;
        // Sleeps between the link queries of a receiver switch (tests replace it).
        std::function<void(std::chrono::milliseconds)> sleep;
        // The tag callback for layouts; the window's own when null.
        ui::IDialogBuilderCallback* layoutCallback = nullptr;
    };

    static constexpr int kQueryLinkTries = 26;
    static constexpr std::chrono::milliseconds kQueryLinkPause{50};

    DeviceList(ui::WindowImplBase& window, device::HidBackend& backend, DeviceListHost* host = nullptr);
    DeviceList(ui::WindowImplBase& window, device::HidBackend& backend, DeviceListHost* host,
               Options options);
    ~DeviceList();
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    // At window-init: the pages of the first two tile rows (mouse, keyboard), hidden, and
    // "No_device_Link" shown. False when the window lacks the list's containers.
    bool Init();
    // Starts and stops the scan and light-sync threads (bounded, cooperative stops), and
    // where udev runs, a listener that wakes the scan when a hidraw node comes or goes.
    // False when the scan or sync thread did not start; the listener is optional.
    bool StartThreads();
    void StopThreads();
    ScanThread& Scan() { return scan_; }
    LightSync& Sync() { return lightSync_; }

    // Window messages 3090, 3091 and 3331; false for any other message.
    bool HandleMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam);
    // Tile timers, "device_select" changes, previous and next; false when not the list's.
    bool HandleNotify(ui::TNotifyUI& msg);

    void OnDeviceArrived(int slot);
    void OnDeviceRemoved(int slot);
    void OnLinkState(int tile, bool online);

    void ShowTile(int index, bool visible, bool select);
    void HideTile(int index);
    void SelectPrevious();
    void SelectNext();

    // "deng_same_mode": plays the current device's effect in step on every open device.
    // False when the effect has no sync equivalent.
    bool ApplySameMode(devices::CTarnexUSBDevice& current);
    // The window was shown or hidden: every tile, and the tiles made later, hear it.
    void SetWindowShown(bool shown);

    // --- state ---
    // The slots as the UI thread has heard of them so far.
    const SlotList& Slots() const { return slots_; }
    // The scan thread's slots and where it reports (a test may run passes itself while
    // the thread does not run).
    SlotList& ScanSlots() { return scanSlots_; }
    SlotEventSink& Reporter() { return sink_; }
    const std::vector<CDeviceOptionUI*>& Tiles() const { return tiles_; }
    CDeviceOptionUI* TileAt(int index) const;
    const std::vector<devices::CTarnexUSBDevice*>& Keyboards() const { return keyboards_; }
    const std::vector<devices::CTarnexUSBDevice*>& Mice() const { return mice_; }
    const std::vector<devices::CTarnexUSBDevice*>& MousePads() const { return mousePads_; }
    const std::vector<devices::CTarnexUSBDevice*>& Headsets() const { return headsets_; }
    const std::vector<ui::CControlUI*>& PowerPanels() const { return powerPanels_; }
    // The page whose key is this catalogue record; null when none.
    devices::CTarnexUSBDevice* PageWithKey(const device::DeviceCatalogEntry& key) const;
    int CurrentTile() const { return currentTile_; }
    int ConnectedCount() const;

private:
    // Page creation for a catalogue row; null when the row has no tile or a layout fails.
    devices::CTarnexUSBDevice* CreatePage(int row);
    // The identifier of the profile selected in the device's profile list.
    static std::string SelectedProfile(devices::CTarnexUSBDevice& page, device::DeviceKind kind);
    std::vector<devices::CTarnexUSBDevice*>* ListOf(device::DeviceKind kind);
    // The key record of a slot for the page lookup of an arrival or removal.
    std::optional<device::DeviceCatalogEntry> KeyOf(int slot) const;
    // The page of a command interface: its own key, or for kinds 6 and 9 its partner's.
    devices::CTarnexUSBDevice* CommandPageOf(int slot) const;
    devices::CTarnexUSBDevice* EventPageOf(int slot) const;
    CDeviceOptionUI* TileOf(const devices::CTarnexUSBDevice* page) const;
    int IndexOf(const CDeviceOptionUI* tile) const;
    void Attach(int slot);
    void AttachCommand(int slot, devices::CTarnexUSBDevice& page);
    void AttachEvent(int slot, bool open);
    void DetachCommand(int slot);
    void SwitchLink(int slot);
    void UpdateNoDevicePanel();
    void OnSelectionChanged();
    void SelectPowerTab(const CDeviceOptionUI& tile);
    void SelectNearest(int step);
    void PublishDevices();
    // Brings the UI's copy of a slot up to the change a scan message announces.
    void TakeSlotChange(int slot, bool present);

    ui::WindowImplBase& window_;
    ui::CPaintManagerUI& manager_;
    device::HidBackend& backend_;
    DeviceListHost* host_;
    Options options_;

    ui::CContainerUI* tileContainer_ = nullptr;
    ui::CTabLayoutUI* pageSwitch_ = nullptr;
    ui::CTabLayoutUI* powerSwitch_ = nullptr;
    ui::CControlUI* noDevice_ = nullptr;

    SlotList scanSlots_;  // the scan thread's
    SlotList slots_;      // the UI thread's, changed as the scan's messages are handled
    std::vector<CDeviceOptionUI*> tiles_;
    std::vector<devices::CTarnexUSBDevice*> keyboards_;
    std::vector<devices::CTarnexUSBDevice*> mice_;
    std::vector<devices::CTarnexUSBDevice*> mousePads_;
    std::vector<devices::CTarnexUSBDevice*> headsets_;
    std::vector<ui::CControlUI*> powerPanels_;
    int currentTile_ = -1;
    bool windowShown_ = true;
    int currentType_ = 0;
    int currentSubtype_ = 0;

    // Threads last: stopped and joined before anything they use goes.
    SlotEventSink sink_;
    LightSync lightSync_;
    ScanThread scan_;
    UdevWake udevWake_{[this] { scan_.Wake(); }};
};

}  // namespace norvane::shell
