#include "shell/device_list/device_option.h"

#include "devices/usb_device.h"
#include "platform/diag.h"
#include "ui/label.h"
#include "ui/notify.h"
#include "ui/option.h"
#include "ui/paint_manager.h"

#include <array>

namespace norvane::shell {
namespace {

constexpr std::string_view kIconFolder = "common/device_ico/";

struct IconRow {
    std::string_view stem;
    std::string_view textId;
};

constexpr IconRow kKeyboardIcons{"kb_device", "kb_device_name_text"};
constexpr IconRow kMouseIcons{"ms_device", "ms_device_name_text"};
constexpr IconRow kHardPadIcons{"hard_mp_device", "hard_mp_device_name_text"};
constexpr IconRow kSoftPadIcons{"soft_mp_device", "soft_mp_device_name_text"};
constexpr IconRow kHeadsetIcons{"hd_device", "hd_device_name_text"};
constexpr IconRow kHubIcons{"hub_device", "hub_device_name_text"};
constexpr IconRow kUnknownIcons{"unknow_device", "unknow_device_name_text"};

constexpr IconRow IconRowOf(int type, int subtype) {
    switch (type) {
        case 1:
            return kKeyboardIcons;
        case 2:
            return kMouseIcons;
        case 3:
            return subtype == 0 ? kHardPadIcons : subtype == 1 ? kSoftPadIcons : kUnknownIcons;
        case 4:
        case 7:
            return kHeadsetIcons;
        case 5:
            return kHubIcons;
        default:
            return kUnknownIcons;
    }
}

std::string IconPath(std::string_view stem, std::string_view suffix) {
    std::string path(kIconFolder);
    path += stem;
    path += suffix;
    return path;
}

constexpr const char* kLinkLostText = "2.4gcesvdfherhue";
constexpr const char* kLinkBackText = "2.4gcesvdfherhue  12312423 123342341";
constexpr const char* kCableWatchText = "2.4gcesvdfherhue  12312423";

}  // namespace

TileIcons TileIconsFor(int type, int subtype) {
    const IconRow row = IconRowOf(type, subtype);
    return TileIcons{IconPath(row.stem, "_normal.png"), IconPath(row.stem, "_selected.png"),
                     IconPath(row.stem, "_synchro_normal.png"), IconPath(row.stem, "_synchro_selected.png"),
                     std::string(row.textId)};
}

CDeviceOptionUI::CDeviceOptionUI() : icons_(TileIconsFor(0, 0)) {
}

CDeviceOptionUI::~CDeviceOptionUI() = default;

void CDeviceOptionUI::DoInit() {
    CHorizontalLayoutUI::DoInit();
    CacheControls();
}

void CDeviceOptionUI::CacheControls() {
    sync_ = dynamic_cast<ui::COptionUI*>(ui::CPaintManagerUI::FindSubControlByName(this, kSyncName));
    select_ = dynamic_cast<ui::COptionUI*>(ui::CPaintManagerUI::FindSubControlByName(this, kSelectName));
    name_ = dynamic_cast<ui::CLabelUI*>(ui::CPaintManagerUI::FindSubControlByName(this, kNameLabel));
    ApplyImages();
}

bool CDeviceOptionUI::Activate() {
    if (!CHorizontalLayoutUI::Activate()) {
        return false;
    }
    if (manager_ != nullptr) {
        manager_->SendNotify(this, ui::notify::kSelectChanged);
    }
    return true;
}

void CDeviceOptionUI::SetVisible(bool visible) {
    connected_ = visible ? 1 : 0;
    CHorizontalLayoutUI::SetVisible(visible);
}

void CDeviceOptionUI::SetTypes(std::int32_t type, std::int32_t subtype) {
    type_ = type;
    subtype_ = subtype;
    icons_ = TileIconsFor(type, subtype);
    ApplyImages();
}

void CDeviceOptionUI::BindPage(std::string tabLayout, int index) {
    pageTab_ = std::move(tabLayout);
    pageIndex_ = index;
}

void CDeviceOptionUI::SetPowerTab(std::wstring name, std::int32_t index) {
    powerTabName_ = std::move(name);
    powerTabIndex_ = index;
}

void CDeviceOptionUI::SetGroup(std::string group) {
    if (select_ != nullptr) {
        select_->SetGroup(std::move(group));
    }
}

void CDeviceOptionUI::SetNameTextId(std::string id) {
    if (name_ != nullptr) {
        name_->SetTextId(std::move(id));
    }
}

void CDeviceOptionUI::Select(bool selected, bool notify) {
    if (select_ != nullptr) {
        select_->Selected(selected, notify);
    }
}

bool CDeviceOptionUI::IsSelected() const {
    return select_ != nullptr && select_->IsSelected();
}

void CDeviceOptionUI::SetSyncOption(bool on) {
    if (sync_ != nullptr) {
        sync_->Selected(on, false);
    }
    ApplyImages();
}

bool CDeviceOptionUI::IsSyncSelected() const {
    return sync_ != nullptr && sync_->IsSelected();
}

const std::string& CDeviceOptionUI::NormalImage() const {
    return IsSyncSelected() ? icons_.syncNormal : icons_.normal;
}

const std::string& CDeviceOptionUI::SelectedImage() const {
    return IsSyncSelected() ? icons_.syncSelected : icons_.selected;
}

void CDeviceOptionUI::ApplyImages() {
    if (select_ != nullptr) {
        select_->SetAttribute("normalimage", NormalImage());
        select_->SetAttribute("selectedimage", SelectedImage());
        select_->Invalidate();
    }
}

ui::CControlUI* CDeviceOptionUI::Picture() const {
    return device_ != nullptr ? device_->SelectionPanel() : nullptr;
}

bool CDeviceOptionUI::OnReceiverSide() const {
    return device_ != nullptr && device_->CommandChannel().IsWireless();
}

int CDeviceOptionUI::LightFramePeriod() const {
    return OnReceiverSide() ? kLightFrameReceiverMs : kLightFrameCableMs;
}

void CDeviceOptionUI::SetWindowShown(bool shown) {
    windowShown_ = shown;
    if (device_ == nullptr) {
        return;
    }
    device_->SetPagePreview(shown);
    if (shown) {
        WakeLightFrames();
    }
}

void CDeviceOptionUI::WakeLightFrames() {
    if (!framesResting_ || device_ == nullptr) {
        return;
    }
    framesResting_ = false;
    if (device_->CommandChannel().IsOpen()) {
        SetTimer(kTimerLightFrame, LightFramePeriod());
    }
}

void CDeviceOptionUI::OnTimer(int id) {
    KillTimer(id);
    if (device_ == nullptr) {
        return;
    }
    switch (id) {
        case kTimerLightFrame:
            OnLightFrameTimer();
            break;
        case kTimerAttach:
            OnAttachTimer();
            break;
        case kTimerResync:
            device_->ResyncFromDevice();
            break;
        case kTimerReserved1003:
            device_->ReservedOperation1003();
            break;
        case kTimerReserved1004:
            device_->ReservedOperation1004();
            break;
        case kTimerStatus:
            OnStatusTimer();
            break;
        case kTimerLinkWatch:
            OnLinkWatchTimer();
            break;
        default:
            break;
    }
}

void CDeviceOptionUI::OnLightFrameTimer() {
    // Hidden, a device that takes no frames has nothing to show or send: its frames rest until
    // the window is shown or the device starts taking them (WakeLightFrames).
    if (!windowShown_ && !device_->StreamsLightFrames()) {
        framesResting_ = device_->CommandChannel().IsOpen();
        return;
    }
    device_->SendLightFrame();
    if (IsSelected() && device_->WindowActive() != 0) {
        if (ui::CControlUI* picture = Picture()) {
            picture->Invalidate();
        }
    }
    if (device_->CommandChannel().IsOpen()) {
        SetTimer(kTimerLightFrame, LightFramePeriod());
    }
}

void CDeviceOptionUI::OnAttachTimer() {
    auto& channel = device_->CommandChannel();
    const bool receiver = OnReceiverSide();
    if (receiver && channel.IsOpen()) {
        if (!device_->CheckLink()) {
            linkFailures_ = (linkFailures_ + 1) % kLinkFailureWrap;
            if (IsConnected()) {
                // The list hides the tile (and selects another) when it hears the link is down.
                device_->ReportLinkState(false);
            }
            SetTimer(kTimerAttach, kAttachRetryMs);
            return;
        }
        device_->ReportLinkState(true);
    }
    device_->SyncFromDevice();
    linkFailures_ = 0;
    framesResting_ = false;
    SetTimer(kTimerLightFrame, kLightFrameCableMs);
    if (device_->PollsStatus() && channel.IsOpen()) {
        SetTimer(kTimerStatus, kStatusFirstMs);
    }
    if (receiver) {
        SetTimer(kTimerLinkWatch, kLinkWatchFirstMs);
    }
}

void CDeviceOptionUI::OnStatusTimer() {
    device_->PollStatus();
    if (device_->PollsStatus()) {
        SetTimer(kTimerStatus, kStatusMs);
    }
}

void CDeviceOptionUI::OnLinkWatchTimer() {
    if (OnReceiverSide()) {
        const bool linked = device_->CheckLink();
        if (!linked && IsConnected()) {
            device_->ReportLinkState(false);
            platform::diag::Trace(kLinkLostText);
        } else if (linked && !IsConnected()) {
            device_->ReportLinkState(true);
            if (device_->IsWirelessCapable()) {
                device_->PollStatus();
            }
            platform::diag::Trace(kLinkBackText);
        }
        SetTimer(kTimerLinkWatch, kLinkWatchMs);
    } else if (device_->CommandChannel().IsOpen()) {
        platform::diag::Trace(kCableWatchText);
    }
}

}  // namespace norvane::shell
