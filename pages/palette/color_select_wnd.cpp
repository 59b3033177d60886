#include "pages/palette/color_select_wnd.h"

#include "config/json_access.h"
#include "config/json_file_store.h"
#include "config/strings.h"
#include "pages/colour_edit.h"
#include "ui/color_palette.h"
#include "ui/control.h"
#include "ui/messages.h"
#include "ui/option.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace norvane::pages {
namespace {

constexpr std::string_view kPresetPrefix = "color_option_";
constexpr std::string_view kSlotPrefix = "collect_color_option_";
constexpr std::string_view kSevenColorImage = "common/base1.png";
constexpr ui::Color kEmptySlot = 0xFFFFFFFF;

bool IsFilled(const ui::CControlUI& slot) {
    const std::string& data = slot.GetUserData();
    return data.size() == 1 && data[0] == '1';
}

std::string HexColor(ui::Color color) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(color));
    return text;
}

ui::Color ParseHexColor(const std::string& text) {
    std::uint32_t value = 0;
    for (char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

void FillSlot(ui::CControlUI& slot, ui::Color color) {
    slot.SetBkColor(color);
    if (auto* option = dynamic_cast<ui::COptionUI*>(&slot)) {
        option->SetSelectedBkColor(color);
    }
    slot.SetBorderSize(0);
}

void SetBoth(ui::CControlUI& slot, ui::Color color) {
    slot.SetBkColor(color);
    if (auto* option = dynamic_cast<ui::COptionUI*>(&slot)) {
        option->SetSelectedBkColor(color);
    }
}

}  // namespace

CColorSelectWnd::CColorSelectWnd(std::filesystem::path userFile, std::filesystem::path factoryFile)
    : CScaledWindow(ui::kSetWndScaleError),
      userFile_(std::move(userFile)),
      factoryFile_(std::move(factoryFile)) {
}

void CColorSelectWnd::InitWindow() {
    palette_ = dynamic_cast<ui::CColorPaletteUI*>(FindControl("Pallet"));
}

ui::CControlUI* CColorSelectWnd::Swatch(std::string_view prefix, int index) const {
    return FindControl(std::string(prefix) + std::to_string(index));
}

void CColorSelectWnd::SetColor(ui::Color color) {
    if (ui::CControlUI* show = FindControl("color_show_btn")) {
        show->SetBkImage("");
        show->SetBkColor(color);
        show->Invalidate();
    }
    if (palette_ != nullptr) {
        palette_->SetSelectColor(color);
    }
    color_ = color;
    ShowComponents(color);
}

void CColorSelectWnd::EnableSevenColor(bool enable) {
    if (ui::CControlUI* seven = FindControl("7color")) {
        seven->SetEnabled(enable);
        if (!enable) {
            if (auto* option = dynamic_cast<ui::COptionUI*>(seven)) {
                option->Selected(false, false);
            }
        }
    }
    if (ui::CControlUI* layout = FindControl("7color_layout")) {
        layout->SetVisible(enable);
    }
}

void CColorSelectWnd::ShowSevenColor(bool on) {
    sevenColor_ = on;
    if (auto* option = dynamic_cast<ui::COptionUI*>(FindControl("7color"))) {
        option->Selected(on, false);
    }
    if (ui::CControlUI* show = FindControl("color_show_btn")) {
        show->SetBkImage(on ? std::string(kSevenColorImage) : std::string());
    }
}

void CColorSelectWnd::ShowComponents(ui::Color color) {
    const std::array<std::pair<std::string_view, int>, 3> edits{
        {{"color_edit_r", 16}, {"color_edit_g", 8}, {"color_edit_b", 0}}};
    for (const auto& [name, shift] : edits) {
        if (ui::CControlUI* edit = FindControl(name)) {
            edit->SetText(std::to_string((color >> shift) & 0xFFU));
        }
    }
}

ui::Color CColorSelectWnd::ReadEdits() {
    ui::Color color = 0xFF000000U;
    const std::array<std::pair<std::string_view, int>, 3> edits{
        {{"color_edit_r", 16}, {"color_edit_g", 8}, {"color_edit_b", 0}}};
    for (const auto& [name, shift] : edits) {
        ui::CControlUI* edit = FindControl(name);
        if (edit == nullptr) {
            continue;
        }
        color |= static_cast<ui::Color>(TakeColourComponent(*edit)) << shift;
    }
    return color;
}

void CColorSelectWnd::OnWindowInit() {
    Json::Value root = config::JsonFileStore::ReadJsonFile(userFile_);
    if (root.isNull()) {
        // An unreadable file is kept aside before the factory copy replaces it.
        config::JsonFileStore::KeepUnreadableFile(userFile_);
        root = config::JsonFileStore::ReadJsonFile(factoryFile_);
        config::JsonFileStore::WriteJsonFile(userFile_, root);
    }
    SetColor(color_);
    ShowSevenColor(sevenColor_);
    if (const Json::Value* info = config::json::Member(root, "coloroptioninfo")) {
        // The preset swatches keep the layout's colours; only the selection is restored.
        if (const Json::Value* index = config::json::Present(*info, "palletDialogcoloroption_selectitem")) {
            if (std::optional<std::int64_t> n = config::json::AsInteger(*index)) {
                presetIndex_ = static_cast<int>(std::clamp<std::int64_t>(*n, -1, kSwatchCount - 1));
            }
        }
    }
    LoadSlots(root);
    slotIndex_ = -1;
}

void CColorSelectWnd::LoadSlots(const Json::Value& root) {
    const Json::Value* info = config::json::Member(root, "coloroptioninfo");
    const Json::Value* slots =
        info != nullptr ? config::json::Member(*info, "palletDialogcollectcoloroption") : nullptr;
    for (int n = 0; n < kSwatchCount; ++n) {
        ui::CControlUI* slot = Swatch(kSlotPrefix, n);
        if (auto* option = dynamic_cast<ui::COptionUI*>(slot)) {
            option->Selected(false, false);
        }
        const Json::Value* element =
            slots != nullptr ? config::json::Element(*slots, static_cast<std::size_t>(n)) : nullptr;
        if (slot == nullptr || element == nullptr || config::json::Present(*element, "color") == nullptr) {
            continue;
        }
        SetBoth(*slot, kEmptySlot);
        slot->SetUserData(config::json::StringOf(*element, "UserData"));
        if (IsFilled(*slot)) {
            FillSlot(*slot, ParseHexColor(config::json::StringOf(*element, "color")));
        }
    }
}

void CColorSelectWnd::ApplyCurrentColor() {
    auto* slot = dynamic_cast<ui::COptionUI*>(Swatch(kSlotPrefix, slotIndex_));
    if (slot != nullptr && slot->IsSelected()) {
        FillSlot(*slot, color_);
        slot->SetUserData("1");
        SaveSlots();
    }
    if (ui::CControlUI* show = FindControl("color_show_btn")) {
        show->SetBkColor(color_);
    }
    ShowSevenColor(false);
}

void CColorSelectWnd::SavePresets() {
    Json::Value root = config::JsonFileStore::ReadObjectForUpdate(userFile_);
    Json::Value& info = config::json::EnsureMember(root, "coloroptioninfo");
    for (int n = 0; n < kSwatchCount; ++n) {
        if (const ui::CControlUI* preset = Swatch(kPresetPrefix, n)) {
            Json::Value& list = config::json::EnsureMember(info, "palletDialogcoloroption");
            config::json::EnsureElement(list, static_cast<std::size_t>(n))["color"] =
                HexColor(preset->GetBkColor());
        }
    }
    info["palletDialogcoloroption_selectitem"] = presetIndex_;
    config::JsonFileStore::WriteJsonFile(userFile_, root);
}

void CColorSelectWnd::SaveSlots() {
    Json::Value root = config::JsonFileStore::ReadObjectForUpdate(userFile_);
    Json::Value& info = config::json::EnsureMember(root, "coloroptioninfo");
    for (int n = 0; n < kSwatchCount; ++n) {
        if (const ui::CControlUI* slot = Swatch(kSlotPrefix, n)) {
            Json::Value& list = config::json::EnsureMember(info, "palletDialogcollectcoloroption");
            Json::Value& element = config::json::EnsureElement(list, static_cast<std::size_t>(n));
            element["color"] = HexColor(slot->GetBkColor());
            element["UserData"] = slot->GetUserData();
        }
    }
    info["palletDialogcollectcoloroption_selectitem"] = slotIndex_;
    config::JsonFileStore::WriteJsonFile(userFile_, root);
}

void CColorSelectWnd::OnPreset(int index) {
    ui::CControlUI* preset = Swatch(kPresetPrefix, index);
    if (preset == nullptr) {
        return;
    }
    presetIndex_ = index;
    SavePresets();
    color_ = preset->GetBkColor();
    if (palette_ != nullptr) {
        palette_->SetSelectColor(color_);
    }
    ApplyCurrentColor();
    ShowComponents(color_);
}

void CColorSelectWnd::OnSlot(int index) {
    ui::CControlUI* slot = Swatch(kSlotPrefix, index);
    if (slot == nullptr) {
        return;
    }
    slotIndex_ = index;
    if (!IsFilled(*slot)) {
        return;  // the next colour change fills it
    }
    SaveSlots();
    // The slot's colour is shown; the current colour follows it on confirm.
    if (ui::CControlUI* show = FindControl("color_show_btn")) {
        show->SetBkColor(slot->GetBkColor());
    }
    ShowSevenColor(false);
    if (palette_ != nullptr) {
        palette_->SetSelectColor(slot->GetBkColor());
    }
    ShowComponents(slot->GetBkColor());
}

void CColorSelectWnd::Notify(ui::TNotifyUI& msg) {
    if (msg.type == "windowinit") {
        OnWindowInit();
        return;
    }
    if (msg.sender == nullptr) {
        return;
    }
    const std::string& name = msg.sender->GetName();
    if (msg.type == "colorchanged" && msg.sender == palette_) {
        color_ = palette_->GetSelectColor();
        ApplyCurrentColor();
        ShowComponents(color_);
    } else if (msg.type == "selectchanged") {
        const std::optional<config::IndexedName> indexed = config::SplitIndexedName(name);
        auto* option = dynamic_cast<ui::COptionUI*>(msg.sender);
        // A group's cleared options report too; only the newly selected one acts.
        if (!indexed || name.back() < '0' || name.back() > '9' || option == nullptr ||
            !option->IsSelected()) {
            return;
        }
        const int index = static_cast<int>(indexed->number);
        if (indexed->prefix == kPresetPrefix) {
            OnPreset(index);
        } else if (indexed->prefix == kSlotPrefix) {
            OnSlot(index);
        }
    } else if (msg.type == "checkclick" && name == "7color") {
        auto* option = dynamic_cast<ui::COptionUI*>(msg.sender);
        ShowSevenColor(option != nullptr && option->IsSelected());
    } else if (msg.type == "killfocus" &&
               (name == "color_edit_r" || name == "color_edit_g" || name == "color_edit_b")) {
        color_ = ReadEdits();
        if (palette_ != nullptr) {
            palette_->SetSelectColor(color_);
        }
        ApplyCurrentColor();
    } else if (msg.type == "click") {
        if (name == "closebtn" || name == "laterbtn") {
            Close(kCancelled);
        } else if (name == "minbtn") {
            Minimize();
        } else if (name == "maxbtn") {
            Maximize();
        } else if (name == "restorebtn") {
            Restore();
        } else if (name == "okbtn") {
            if (palette_ == nullptr) {
                Close(kNoPalette);
                return;
            }
            const ui::CControlUI* show = FindControl("color_show_btn");
            color_ = show != nullptr ? show->GetBkColor() : 0;
            Close(kConfirmed);
        }
    }
}

}  // namespace norvane::pages
