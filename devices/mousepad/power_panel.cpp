#include "devices/mousepad/power_panel.h"

#include "ui/control_factory.h"
#include "ui/label.h"
#include "ui/progress.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace norvane::devices {
namespace {

constexpr std::size_t kMaxStatusSize = 64;
constexpr std::size_t kLevel = 0;
constexpr std::size_t kPowerState = 1;
constexpr std::size_t kReceiverFlag = 3;
constexpr std::size_t kPhoneType = 5;

// Pictures of power states 0 (external power), 1 (charging) and 2 (on battery).
constexpr std::array<std::string_view, 3> kPowerStateImages = {
    "file='power/powered.png'",
    "file='power/powering.png'",
    "file='power/power.png'",
};

struct PhoneTypeRow {
    std::string_view textId;
    std::string_view image;
};
// Phone types 1-3 by byte value; row 0 for anything else.
constexpr std::array<PhoneTypeRow, 4> kPhoneTypes = {{
    {"Phone_type_no_device", "file='power/Phone_type_no_device.png'"},
    {"Phone_type_iphone", "file='power/Phone_type_iphone.png'"},
    {"Phone_type_samsung", "file='power/Phone_type_samsung.png'"},
    {"Phone_type_other", "file='power/Phone_type_other.png'"},
}};

std::string LevelText(int level) {
    std::array<char, 16> text{};
    const int n = std::snprintf(text.data(), text.size(), "%d%s", level, "%");
    return n > 0 ? std::string(text.data()) : std::string();
}

}  // namespace

void RegisterPowerPanel(ui::CControlFactory& factory) {
    factory.Register<CMpDevicePowerUI>(std::string(CMpDevicePowerUI::kClassName));
}

void CMpDevicePowerUI::SetDeviceKind(int kind, int number) {
    kind_ = kind;
    number_ = number;
}

bool CMpDevicePowerUI::FindChildren() {
    if (found_) {
        return true;
    }
    value_ = dynamic_cast<ui::CLabelUI*>(FindSubControl(kValueName));
    receiverLogo_ = FindSubControl(kReceiverLogoName);
    progress_ = dynamic_cast<ui::CProgressUI*>(FindSubControl(kProgressName));
    status_ = FindSubControl(kStatusName);
    phoneType_ = FindSubControl(kPhoneTypeName);
    found_ = value_ != nullptr && receiverLogo_ != nullptr && progress_ != nullptr && status_ != nullptr &&
             phoneType_ != nullptr;
    return found_;
}

void CMpDevicePowerUI::ShowStatus(std::span<const std::uint8_t> status) {
    if (!FindChildren()) {
        return;
    }
    std::array<std::uint8_t, kMaxStatusSize> record{};
    std::copy_n(status.begin(), std::min(status.size(), record.size()), record.begin());

    const int level = record[kLevel];
    progress_->SetValue(100 - level);
    value_->SetText(LevelText(level));

    if (kind_ == kMouseKind) {
        receiverLogo_->SetVisible(record[kReceiverFlag] == 1);
    }
    if (const std::uint8_t state = record[kPowerState]; state < kPowerStateImages.size()) {
        progress_->SetVisible(true);
        status_->SetBkImage(std::string(kPowerStateImages[state]));
    }
    if (kind_ == kMousePadKind) {
        const std::uint8_t type = record[kPhoneType];
        const PhoneTypeRow& row = kPhoneTypes[type < kPhoneTypes.size() ? type : 0];
        phoneType_->SetTextId(std::string(row.textId));
        phoneType_->SetBkImage(std::string(row.image));
        phoneType_->SetVisible(true);
    }
}

void CMpDevicePowerUI::ShowPowerLayout(bool show) {
    if (powerLayout_ == nullptr) {
        powerLayout_ = FindSubControl(kPowerLayoutName);
    }
    if (powerLayout_ != nullptr) {
        powerLayout_->SetVisible(show);
    }
}

bool CMpDevicePowerUI::Activate() {
    if (!ui::CHorizontalLayoutUI::Activate()) {
        return false;
    }
    Notify(ui::notify::kSelectChanged);
    return true;
}

void CMpDevicePowerUI::DoEvent(ui::TEventUI& event) {
    if (event.type == ui::EventType::ButtonUp && rect_.Contains(event.pt) && IsEnabled()) {
        Activate();
        return;
    }
    ui::CHorizontalLayoutUI::DoEvent(event);
}

}  // namespace norvane::devices
