#include "shell/device_list/device_list.h"

#include "config/profile_store.h"
#include "devices/mousepad/power_panel.h"
#include "devices/usb_device.h"
#include "platform/diag.h"
#include "shell/device_list/device_option.h"
#include "shell/device_list/page_factory.h"
#include "shell/profile_page/device_profile.h"
#include "ui/container.h"
#include "ui/option.h"
#include "ui/window.h"

#include <algorithm>
#include <string>
#include <thread>

namespace norvane::shell {
namespace {

// A host that takes no part.
class NoHost final : public DeviceListHost {};

DeviceListHost& DefaultHost() {
    static NoHost none;
    return none;
}

std::wstring Widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

}  // namespace

DeviceList::DeviceList(ui::WindowImplBase& window, device::HidBackend& backend, DeviceListHost* host)
    : DeviceList(window, backend, host, Options{}) {
}

DeviceList::DeviceList(ui::WindowImplBase& window, device::HidBackend& backend, DeviceListHost* host,
                       Options options)
    : window_(window),
      manager_(window.PaintManager()),
      backend_(backend),
      host_(host != nullptr ? host : &DefaultHost()),
      options_(std::move(options)),
      sink_(window, scanSlots_),
      scan_(backend, scanSlots_, sink_, options_.scanPeriod) {
    if (!options_.sleep) {
        options_.sleep = [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); };
    }
    if (options_.layoutCallback == nullptr) {
        options_.layoutCallback = &window;
    }
}

DeviceList::~DeviceList() {
    StopThreads();
}

bool DeviceList::Init() {
    if (!tiles_.empty()) {
        return true;  // already initialised
    }
    tileContainer_ = dynamic_cast<ui::CContainerUI*>(window_.FindControl(kTileContainer));
    pageSwitch_ = dynamic_cast<ui::CTabLayoutUI*>(window_.FindControl(kPageSwitch));
    powerSwitch_ = dynamic_cast<ui::CTabLayoutUI*>(window_.FindControl(kPowerSwitch));
    noDevice_ = window_.FindControl(kNoDevicePanel);
    if (tileContainer_ == nullptr || pageSwitch_ == nullptr || powerSwitch_ == nullptr) {
        platform::diag::Trace("device list: the window lacks the device list containers");
        return false;
    }
    const auto tiles = device::DeviceTiles();
    for (std::size_t i = 0; i < std::min<std::size_t>(2, tiles.size()); ++i) {
        const auto& tile = tiles[i];
        const int row = device::FindCatalogRow(tile.vendorId, tile.productId, tile.kind, tile.role);
        if (row >= 0) {
            CreatePage(row);
        }
    }
    UpdateNoDevicePanel();
    return true;
}

bool DeviceList::StartThreads() {
    const bool scanning = scan_.Start();
    const bool syncing = lightSync_.Start();
    if (scanning) {
        udevWake_.Start();
    }
    return scanning && syncing;
}

void DeviceList::StopThreads() {
    // The listener wakes the scan thread: it goes first.
    udevWake_.Stop();
    scan_.Stop();
    lightSync_.Stop();
}

bool DeviceList::HandleMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam) {
    switch (msg) {
        case kDeviceArrivedMessage:
            TakeSlotChange(static_cast<int>(wparam), true);
            OnDeviceArrived(static_cast<int>(wparam));
            return true;
        case kDeviceRemovedMessage:
            TakeSlotChange(static_cast<int>(wparam), false);
            OnDeviceRemoved(static_cast<int>(wparam));
            return true;
        case kLinkStateMessage:
            OnLinkState(static_cast<int>(wparam), lparam != 0);
            return true;
        case devices::CTarnexUSBDevice::kLightFramesMessage:
            if (CDeviceOptionUI* tile = TileAt(static_cast<int>(wparam))) {
                tile->WakeLightFrames();
            }
            return true;
        default:
            return false;
    }
}

bool DeviceList::HandleNotify(ui::TNotifyUI& msg) {
    if (msg.sender == nullptr) {
        return false;
    }
    if (msg.type == ui::notify::kTimer) {
        auto* tile = dynamic_cast<CDeviceOptionUI*>(msg.sender);
        if (tile == nullptr || IndexOf(tile) < 0) {
            return false;
        }
        tile->OnTimer(static_cast<int>(msg.wparam));
        return true;
    }
    const std::string& name = msg.sender->GetName();
    // A tile's own activation counts as a change of its "device_select".
    const bool fromTile = dynamic_cast<CDeviceOptionUI*>(msg.sender) != nullptr;
    if (msg.type == ui::notify::kSelectChanged && (name == CDeviceOptionUI::kSelectName || fromTile)) {
        OnSelectionChanged();
        return true;
    }
    if (msg.type == ui::notify::kSelectChanged && name == CDeviceOptionUI::kSyncName) {
        return true;
    }
    if (msg.type == ui::notify::kClick && name == kPreviousButton) {
        SelectPrevious();
        return true;
    }
    if (msg.type == ui::notify::kClick && name == kNextButton) {
        SelectNext();
        return true;
    }
    return false;
}

void DeviceList::TakeSlotChange(int slot, bool present) {
    if (!slots_.IsValid(slot)) {
        return;
    }
    if (auto change = sink_.Take(slot, present)) {
        slots_.Set(slot, change->present, std::move(change->path));
    } else if (const auto seen = scanSlots_.At(slot)) {
        // Not from the scan's queue: take the slot as the scan has it now.
        slots_.Set(slot, seen->present, seen->path);
    }
}

CDeviceOptionUI* DeviceList::TileAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= tiles_.size()) {
        return nullptr;
    }
    return tiles_[static_cast<std::size_t>(index)];
}

int DeviceList::IndexOf(const CDeviceOptionUI* tile) const {
    const auto it = std::ranges::find(tiles_, tile);
    return it == tiles_.end() ? -1 : static_cast<int>(it - tiles_.begin());
}

CDeviceOptionUI* DeviceList::TileOf(const devices::CTarnexUSBDevice* page) const {
    const auto it =
        std::ranges::find_if(tiles_, [&](const CDeviceOptionUI* t) { return t->Device() == page; });
    return it == tiles_.end() ? nullptr : *it;
}

int DeviceList::ConnectedCount() const {
    return static_cast<int>(
        std::ranges::count_if(tiles_, [](const CDeviceOptionUI* t) { return t->IsConnected(); }));
}

devices::CTarnexUSBDevice* DeviceList::PageWithKey(const device::DeviceCatalogEntry& key) const {
    for (const CDeviceOptionUI* tile : tiles_) {
        devices::CTarnexUSBDevice* page = tile->Device();
        if (page != nullptr && page->CatalogEntry() && SameKey(*page->CatalogEntry(), key)) {
            return page;
        }
    }
    return nullptr;
}

std::vector<devices::CTarnexUSBDevice*>* DeviceList::ListOf(device::DeviceKind kind) {
    switch (device::FamilyOf(kind)) {
        case device::DeviceFamily::Keyboard:
            return &keyboards_;
        case device::DeviceFamily::Mouse:
            return &mice_;
        case device::DeviceFamily::MousePad:
            return &mousePads_;
        case device::DeviceFamily::Headset:
            return &headsets_;
    }
    return nullptr;
}

std::string DeviceList::SelectedProfile(devices::CTarnexUSBDevice& page, device::DeviceKind kind) {
    // The device's profile list, made with its first profile when there is none yet; the
    // page's profile panel owns it when the page has one.
    const std::filesystem::path folder = page.DataFolder();
    if (folder.empty()) {
        return {};
    }
    const bool headset = kind == device::DeviceKind::Headset;
    if (auto* panel = dynamic_cast<CDeviceProfileUI*>(page.FindSubControl(CDeviceProfileUI::kPanelName))) {
        const int type = kind == device::DeviceKind::KeyboardAlternate
                             ? static_cast<int>(device::DeviceKind::Keyboard)
                             : static_cast<int>(kind);
        const config::StoreResult r = panel->Initialise(type, folder, page.DefaultProfileFile(), headset);
        if (!r.Ok() || panel->SelectedId().empty()) {
            platform::diag::Trace("device list: no profile for " + page.TypeName());
        }
        return panel->SelectedId();
    }
    config::ProfileStore store(folder, page.DefaultProfileFile(), headset);
    const config::StoreResult r = store.Initialise();
    const std::vector<config::ProfileEntry> entries = store.Entries();
    if (!r.Ok() || r.index < 0 || r.index >= static_cast<int>(entries.size())) {
        platform::diag::Trace("device list: no profile for " + page.TypeName());
        return {};
    }
    return entries[static_cast<std::size_t>(r.index)].uuid;
}

devices::CTarnexUSBDevice* DeviceList::CreatePage(int row) {
    const auto slot = slots_.At(row);
    if (!slot) {
        return nullptr;
    }
    // A receiver's page is its mouse's: the partner's key with the cable kind.
    device::DeviceCatalogEntry key = slot->entry;
    device::DeviceKind kind = key.kind;
    if (kind == device::DeviceKind::MouseReceiver) {
        if (key.hasPartner) {
            if (const auto partner = slots_.At(key.partnerRow)) {
                key = partner->entry;
            }
        }
        kind = device::DeviceKind::MouseCable;
    }
    const int tileRow = device::FindTileRow(key.vendorId, key.productId, kind, device::DeviceRole::Command);
    if (tileRow < 0) {
        return nullptr;
    }
    const auto& tileEntry = device::DeviceTiles()[static_cast<std::size_t>(tileRow)];
    const auto& pageEntry = device::DevicePages()[static_cast<std::size_t>(tileRow)];

    auto powerPanel = BuildPowerPanel(kPowerPanelLayout, manager_, options_.layoutCallback);
    auto tile = BuildTile(tileEntry.tileLayout, manager_, options_.layoutCallback);
    auto page = BuildDevicePage(pageEntry.pageLayout, manager_, options_.layoutCallback);
    if (!tile || !page) {
        return nullptr;
    }

    powerPanel->SetDeviceKind(static_cast<int>(tileEntry.kind), static_cast<int>(tileEntry.role));
    ui::CControlUI* power = powerSwitch_->Add(std::move(powerPanel));
    powerPanels_.push_back(power);
    const int powerIndex = powerSwitch_->GetItemIndex(power);

    const int tileIndex = static_cast<int>(tiles_.size());
    devices::CTarnexUSBDevice* raw = page.get();
    raw->SetManager(&manager_, nullptr);
    raw->SetPageLayoutPath(std::string(pageEntry.pageLayout));
    raw->SetMainWindow(&window_);
    raw->SetKeyButtonCount(pageEntry.keyButtonCount);
    raw->SetLedCount(pageEntry.ledCount);
    // The tile's position in the list, so link-state messages name the tile they are about.
    raw->SetTileIndex(tileIndex);
    raw->SetWirelessCapable(pageEntry.wirelessCapable);
    raw->SetTypeName(std::string(tileEntry.typeName));
    raw->SetProfileName(SelectedProfile(*raw, kind));
    raw->SetPowerPanel(power);
    raw->SetCatalogEntry(slot->entry);
    raw->SetLightClass(tileEntry.lightClass);
    raw->SetLightConfigName(std::string(pageEntry.lightConfigName));
    for (auto* channel : {&raw->CommandChannel(), &raw->EventChannel()}) {
        channel->Cable().SetBackend(&backend_);
        channel->Receiver().SetBackend(&backend_);
    }
    raw->InitPage();
    pageSwitch_->Add(std::move(page));
    const int pageIndex = pageSwitch_->GetItemIndex(raw);
    ListOf(kind)->push_back(raw);

    CDeviceOptionUI* t = static_cast<CDeviceOptionUI*>(tileContainer_->Add(std::move(tile)));
    t->CacheControls();
    if (t->SyncOption() != nullptr) {
        t->SyncOption()->SetVisible(false);
    }
    t->SetSyncOption(t->IsSyncSelected());
    t->SetGroup(std::string(tileEntry.selectorGroup));
    t->BindPage(std::string(kPageSwitch), pageIndex);
    t->SetPowerTab(Widen(tileEntry.powerTabLayout), powerIndex);
    t->SetTypes(static_cast<std::int32_t>(tileEntry.kind), static_cast<std::int32_t>(tileEntry.role));
    t->Show(false);
    t->SetNameTextId(t->Icons().nameTextId);
    t->SetDevice(raw);
    t->SetWindowShown(windowShown_);
    raw->SetTile(t);
    tiles_.push_back(t);

    PublishDevices();
    host_->PageCreated(*raw);
    return raw;
}

void DeviceList::SetWindowShown(bool shown) {
    windowShown_ = shown;
    for (CDeviceOptionUI* tile : tiles_) {
        tile->SetWindowShown(shown);
    }
}

void DeviceList::PublishDevices() {
    lightSync_.SetDevices(SyncDevices{keyboards_, mice_, mousePads_, headsets_});
}

void DeviceList::UpdateNoDevicePanel() {
    const bool any = ConnectedCount() > 0;
    if (noDevice_ != nullptr) {
        noDevice_->SetVisible(!any);
    }
    if (!any) {
        powerSwitch_->SelectItem(0);
        pageSwitch_->SelectItem(0);
    }
}

}  // namespace norvane::shell
