// Arrival and removal of interfaces on the UI thread: pages, channels, the cable-receiver switch.
#include "device/commands.h"
#include "device/link_side.h"
#include "devices/usb_device.h"
#include "platform/diag.h"
#include "shell/device_list/device_list.h"
#include "shell/device_list/device_option.h"

#include <mutex>

namespace norvane::shell {
namespace {

using device::DeviceKind;
using device::DeviceRole;

constexpr const char* kAddKeyboardText = "添加一个键盘设备";
constexpr const char* kAddMouseText = "添加一个鼠标设备";
constexpr const char* kAddPadText = "添加一个鼠标垫设备";
constexpr const char* kRemoveKeyboardText = "删除一个键盘设备";
constexpr const char* kRemoveMouseText = "删除一个鼠标设备";
constexpr const char* kRemovePadText = "删除一个鼠标垫设备";
constexpr const char* kMouseLostText = "鼠标设备丢失";
constexpr const char* kKeyboardLostText = "键盘设备丢失";
constexpr const char* kQueryLinkFailedText = "获取2.4G模式失败";
constexpr const char* kQueryLinkDoneText = "获取2";

bool IsKeyboard(DeviceKind k) {
    return device::FamilyOf(k) == device::DeviceFamily::Keyboard;
}
bool IsMouse(DeviceKind k) {
    return device::FamilyOf(k) == device::DeviceFamily::Mouse;
}
// The cable side of a product known under two identities starts the switch.
bool StartsSwitch(DeviceKind k) {
    return k == DeviceKind::MouseCable || k == DeviceKind::Keyboard;
}

}  // namespace

std::optional<device::DeviceCatalogEntry> DeviceList::KeyOf(int slot) const {
    const auto s = slots_.At(slot);
    if (!s) {
        return std::nullopt;
    }
    int row = slot;
    if (s->entry.role == DeviceRole::Event) {
        row =
            device::FindCatalogRow(s->entry.vendorId, s->entry.productId, s->entry.kind, DeviceRole::Command);
        if (row < 0) {
            return std::nullopt;
        }
    }
    // A receiver side's page carries its partner's record.
    if (device::IsReceiverSide(s->entry.kind)) {
        if (const auto partner = slots_.MutualPartner(row)) {
            row = *partner;
        }
    }
    const auto keySlot = slots_.At(row);
    if (!keySlot) {
        return std::nullopt;
    }
    return keySlot->entry;
}

devices::CTarnexUSBDevice* DeviceList::CommandPageOf(int slot) const {
    const auto key = KeyOf(slot);
    return key ? PageWithKey(*key) : nullptr;
}

void DeviceList::OnDeviceArrived(int slot) {
    const auto s = slots_.At(slot);
    if (!s) {
        return;
    }
    const DeviceKind kind = s->entry.kind;
    if (IsKeyboard(kind)) {
        platform::diag::Trace(kAddKeyboardText);
    } else if (IsMouse(kind)) {
        platform::diag::Trace(kAddMouseText);
    } else {
        platform::diag::Trace(kAddPadText);
    }
    if (CommandPageOf(slot) == nullptr) {
        const int row =
            device::FindCatalogRow(s->entry.vendorId, s->entry.productId, kind, DeviceRole::Command);
        if (row >= 0) {
            CreatePage(row);
        }
    }
    Attach(slot);
    UpdateNoDevicePanel();
    host_->BringToFront();
}

void DeviceList::Attach(int slot) {
    const auto s = slots_.At(slot);
    if (!s) {
        return;
    }
    if (s->entry.role == DeviceRole::Event) {
        AttachEvent(slot, true);
        return;
    }
    if (!slots_.UsablePartner(slot)) {
        if (devices::CTarnexUSBDevice* page = CommandPageOf(slot)) {
            AttachCommand(slot, *page);
        }
        return;
    }
    // Present under both identities: the cable side moves the page; a receiver side waits
    // for its partner to go.
    if (StartsSwitch(s->entry.kind)) {
        SwitchLink(slot);
    }
}

void DeviceList::AttachCommand(int slot, devices::CTarnexUSBDevice& page) {
    const auto s = slots_.At(slot);
    auto& channel = page.CommandChannel();
    if (!s || channel.IsOpen()) {
        return;
    }
    const DeviceKind kind = s->entry.kind;
    bool opened = false;
    {
        const std::lock_guard io(channel.IoLock());
        auto& side = device::IsReceiverSide(kind) ? channel.Receiver() : channel.Cable();
        opened = side.Open(s->path, true, true, true, false);
        if (opened) {
            channel.SetOpen(true);
            channel.SetLinkMode(device::LinkModeOf(kind));
        }
    }
    if (opened) {
        const auto key = KeyOf(slot);
        page.SetCatalogEntry(key ? *key : s->entry);
    } else {
        platform::diag::Trace("device channel not opened: " + s->path);
    }
    CDeviceOptionUI* tile = TileOf(&page);
    if (tile == nullptr) {
        return;
    }
    if (!device::IsReceiverSide(kind)) {
        ShowTile(IndexOf(tile), true, ConnectedCount() == 0);
    }
    tile->SetTimer(kTimerAttach, kAttachMs);
}

void DeviceList::AttachEvent(int slot, bool open) {
    const auto s = slots_.At(slot);
    if (!s) {
        return;
    }
    // A receiver side opens the page's second event interface, found by its partner's identity.
    const bool receiver = device::IsReceiverSide(s->entry.kind);
    device::DeviceCatalogEntry identity = s->entry;
    if (receiver) {
        if (const auto partner = slots_.MutualPartner(slot)) {
            identity = slots_.At(*partner)->entry;
        }
    }
    for (const CDeviceOptionUI* tile : tiles_) {
        devices::CTarnexUSBDevice* page = tile->Device();
        if (page == nullptr || !page->CatalogEntry()) {
            continue;
        }
        const auto& key = *page->CatalogEntry();
        if (key.vendorId != identity.vendorId || key.productId != identity.productId ||
            key.kind != identity.kind) {
            continue;
        }
        auto& side = receiver ? page->EventChannel().Receiver() : page->EventChannel().Cable();
        // The page opens and closes it, and starts or stops its reader.
        const int sideSlot = receiver ? 1 : 0;
        if (open && !side.IsOpen()) {
            page->OpenEventInterface(sideSlot, s->path);
            return;
        }
        if (!open && side.IsOpen()) {
            page->CloseEventInterface(sideSlot);
            return;
        }
    }
}

void DeviceList::OnDeviceRemoved(int slot) {
    const auto s = slots_.At(slot);
    if (!s) {
        return;
    }
    const DeviceKind kind = s->entry.kind;
    if (IsKeyboard(kind)) {
        platform::diag::Trace(kRemoveKeyboardText);
    } else if (IsMouse(kind)) {
        platform::diag::Trace(kRemoveMouseText);
    } else {
        platform::diag::Trace(kRemovePadText);
    }
    if (s->entry.role == DeviceRole::Event) {
        AttachEvent(slot, false);
        return;
    }
    if (IsMouse(kind)) {
        platform::diag::Trace(kMouseLostText);
    } else if (IsKeyboard(kind)) {
        platform::diag::Trace(kKeyboardLostText);
    }
    if (!slots_.UsablePartner(slot)) {
        DetachCommand(slot);
    } else if (StartsSwitch(kind)) {
        SwitchLink(slot);
    }
}

void DeviceList::DetachCommand(int slot) {
    devices::CTarnexUSBDevice* page = CommandPageOf(slot);
    if (page == nullptr) {
        return;
    }
    auto& channel = page->CommandChannel();
    channel.SetOpen(false);
    // Closing aborts an exchange blocked on the interface, so no lock is taken here.
    channel.Cable().Close();
    channel.Receiver().Close();
    if (CDeviceOptionUI* tile = TileOf(page)) {
        for (int id : {kTimerLightFrame, kTimerAttach, kTimerStatus, kTimerLinkWatch}) {
            tile->KillTimer(id);
        }
        HideTile(IndexOf(tile));
    }
}

void DeviceList::SwitchLink(int slot) {
    devices::CTarnexUSBDevice* page = CommandPageOf(slot);
    const auto s = slots_.At(slot);
    const auto partnerRow = slots_.MutualPartner(slot);
    if (page == nullptr || !s || !partnerRow) {
        return;
    }
    auto& channel = page->CommandChannel();
    const bool onReceiver = channel.IsWireless();
    const std::string path = onReceiver ? s->path : slots_.At(*partnerRow)->path;
    const device::LinkMode mode = onReceiver ? device::LinkMode::Cable : device::LinkMode::Receiver;
    if (!channel.SwitchLink(mode, path)) {
        platform::diag::Trace("device link switch failed: " + path);
        return;
    }
    CDeviceOptionUI* tile = TileOf(page);
    if (mode == device::LinkMode::Receiver) {
        if (page->IsWirelessCapable()) {
            for (int attempt = 1; attempt <= kQueryLinkTries; ++attempt) {
                if (device::QueryLink(channel)) {
                    break;
                }
                options_.sleep(kQueryLinkPause);
                if (attempt < kQueryLinkTries) {
                    platform::diag::Trace(kQueryLinkFailedText);
                }
            }
            platform::diag::Trace(kQueryLinkDoneText);
            page->PollStatus();
        }
        if (tile != nullptr) {
            tile->SetTimer(kTimerLinkWatch, kLinkWatchFirstMs);
        }
        return;
    }
    if (tile != nullptr) {
        tile->SetTimer(kTimerAttach, kAttachMs);
    }
    page->ReportLinkState(true);
    if (page->IsWirelessCapable()) {
        page->PollStatus();
    }
}

}  // namespace norvane::shell
