// The tile list rules: show, hide, selection, previous and next, link state.
#include "devices/usb_device.h"
#include "platform/diag.h"
#include "shell/device_list/device_list.h"
#include "shell/device_list/device_option.h"
#include "ui/container.h"
#include "ui/window.h"

#include <algorithm>
#include <string>

namespace norvane::shell {
namespace {

constexpr const char* kLinkDownText = "2.4gcesvdfherhue 1";

std::string Narrow(const std::wstring& wide) {
    std::string out;
    out.reserve(wide.size());
    for (const wchar_t c : wide) {
        out.push_back(static_cast<char>(c));
    }
    return out;
}

}  // namespace

void DeviceList::ShowTile(int index, bool visible, bool select) {
    CDeviceOptionUI* tile = TileAt(index);
    if (tile == nullptr) {
        return;
    }
    tile->Show(visible);
    if (select) {
        pageSwitch_->SelectItem(tile->PageIndex());
        SelectPowerTab(*tile);
    }
    tile->Select(select, true);

    const int connected = ConnectedCount();
    if (platform::diag::Enabled()) {
        platform::diag::Trace("device list: tile " + std::to_string(index) +
                              (visible ? " shown" : " hidden") + ", " + std::to_string(connected) +
                              " connected");
    }
    const auto syncing = std::ranges::count_if(
        tiles_, [](const CDeviceOptionUI* t) { return t->IsConnected() && t->IsSyncSelected(); });
    UpdateNoDevicePanel();
    host_->SetMultipleDevices(connected > 1);
    if (connected <= 1) {
        for (devices::CTarnexUSBDevice* headset : headsets_) {
            headset->CommandChannel().SetSync(false);
        }
    }
    if (syncing < 2) {
        for (CDeviceOptionUI* t : tiles_) {
            t->SetSyncOption(false);
        }
    }
}

void DeviceList::HideTile(int index) {
    CDeviceOptionUI* tile = TileAt(index);
    if (tile == nullptr) {
        return;
    }
    int next = -1;
    if (tile->IsConnected() && tile->IsSelected()) {
        host_->CloseChildWindows();
        host_->StopRecording();
        for (int i = 0; i < static_cast<int>(tiles_.size()); ++i) {
            if (i != index && tiles_[static_cast<std::size_t>(i)]->IsConnected()) {
                next = i;
                break;
            }
        }
    }
    ShowTile(index, false, false);
    if (next >= 0) {
        ShowTile(next, true, true);
    }
}

void DeviceList::OnLinkState(int tile, bool online) {
    CDeviceOptionUI* t = TileAt(tile);
    if (t == nullptr) {
        return;
    }
    if (!online) {
        HideTile(tile);
        platform::diag::Trace(kLinkDownText);
        return;
    }
    if (!t->IsConnected()) {
        ShowTile(tile, true, ConnectedCount() == 0);
    }
}

void DeviceList::SelectPowerTab(const CDeviceOptionUI& tile) {
    auto* layout = dynamic_cast<ui::CTabLayoutUI*>(window_.FindControl(Narrow(tile.PowerTabName())));
    if (layout == nullptr) {
        return;
    }
    if (tile.PowerTabIndex() < 0) {
        layout->SetVisible(false);
        return;
    }
    layout->SetVisible(true);
    layout->SelectItem(tile.PowerTabIndex());
}

void DeviceList::OnSelectionChanged() {
    const auto it = std::ranges::find_if(tiles_, [](const CDeviceOptionUI* t) { return t->IsSelected(); });
    if (it == tiles_.end()) {
        return;
    }
    const CDeviceOptionUI& tile = **it;
    currentTile_ = static_cast<int>(it - tiles_.begin());
    currentType_ = tile.Type();
    currentSubtype_ = tile.Subtype();
    // The option is bound to its page: selecting it shows the page.
    pageSwitch_->SelectItem(tile.PageIndex());
    SelectPowerTab(tile);
    host_->CurrentDeviceChanged(currentTile_, currentType_, currentSubtype_);
}

void DeviceList::SelectNearest(int step) {
    const auto it = std::ranges::find_if(tiles_, [](const CDeviceOptionUI* t) { return t->IsSelected(); });
    if (it == tiles_.end()) {
        return;
    }
    const int count = static_cast<int>(tiles_.size());
    for (int i = static_cast<int>(it - tiles_.begin()) + step; i >= 0 && i < count; i += step) {
        if (tiles_[static_cast<std::size_t>(i)]->IsConnected()) {
            ShowTile(i, true, true);
            return;
        }
    }
}

void DeviceList::SelectPrevious() {
    SelectNearest(-1);
}

void DeviceList::SelectNext() {
    SelectNearest(1);
}

}  // namespace norvane::shell
