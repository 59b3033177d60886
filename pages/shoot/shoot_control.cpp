#include "pages/shoot/shoot_control.h"

#include "config/strings.h"
#include "pages/panel_layout.h"
#include "pages/shoot/shoot_chart.h"
#include "platform/diag.h"
#include "ui/edit.h"
#include "ui/option.h"

#include <algorithm>
#include <string>
#include <vector>

namespace norvane::pages {
namespace {

constexpr std::string_view kImageSwitch = "shoot_image_display_switch";
constexpr std::string_view kBulletIndex = "bullet_select_index";
constexpr std::string_view kXEdit = "bullet_x_eidt";
constexpr std::string_view kYEdit = "bullet_y_eidt";
constexpr std::string_view kDelayEdit = "bullet_delay_eidt";
constexpr std::string_view kChart = "bullet_path_chart";

std::string Indexed(std::string_view prefix, int index) {
    return std::string(prefix) + std::to_string(index);
}

}  // namespace

void CShootControlUI::DoInit() {
    LoadPanelLayout(*this, kLayoutFile);
}

void CShootControlUI::Build(std::filesystem::path userFolder, std::filesystem::path factoryFolder) {
    data_.emplace(std::move(userFolder), std::move(factoryFolder));
    data_->EnsureFiles();
    bullet_ = 0;
    SelectGun(0);
    SelectBullet(0);
}

ui::CEditUI* CShootControlUI::Edit(std::string_view name) {
    return dynamic_cast<ui::CEditUI*>(FindSubControl(name));
}

ui::CCheckBoxUI* CShootControlUI::Check(std::string_view name) {
    return dynamic_cast<ui::CCheckBoxUI*>(FindSubControl(name));
}

void CShootControlUI::SelectGun(int gun) {
    gun_ = std::clamp(gun, 0, config::kGunCount - 1);
    for (int g = 0; g < config::kGunCount; ++g) {
        if (auto* option = dynamic_cast<ui::COptionUI*>(FindSubControl(Indexed(kGunOption, g)))) {
            option->Selected(g == gun_, false);
        }
    }
    if (auto* pictures = dynamic_cast<ui::CTabLayoutUI*>(FindSubControl(kImageSwitch))) {
        pictures->SelectItem(gun_);
    }
    ShowChart();
    ShowBullet();
}

void CShootControlUI::SelectBullet(int bullet) {
    bullet_ = std::clamp(bullet, 0, config::kBulletCount - 1);
    for (int b = 0; b < config::kBulletCount; ++b) {
        if (auto* option = dynamic_cast<ui::COptionUI*>(FindSubControl(Indexed(kBulletOption, b)))) {
            option->Selected(b == bullet_, false);
        }
    }
    if (ui::CControlUI* label = FindSubControl(kBulletIndex)) {
        label->SetText(std::to_string(bullet_ + 1));
    }
    ShowBullet();
}

void CShootControlUI::ShowDirection(std::string_view check, bool selected) {
    ui::CCheckBoxUI* box = Check(check);
    if (box == nullptr) {
        return;
    }
    box->Selected(selected, false);
    if (check == kXCheck) {
        box->SetTextId(selected ? "mouse_move_to_left_text" : "mouse_move_to_right_text");
    } else {
        box->SetTextId(selected ? "mouse_move_to_up_text" : "mouse_move_to_down_text");
    }
}

void CShootControlUI::OnDirectionCheck(std::string_view name) {
    if (ui::CCheckBoxUI* box = Check(name); box != nullptr && (name == kXCheck || name == kYCheck)) {
        ShowDirection(name, box->IsSelected());
    }
}

void CShootControlUI::ShowBullet() {
    if (auto* chart = dynamic_cast<CShootChartUI*>(FindSubControl(kChart))) {
        chart->SetSelected(bullet_);
    }
    if (!data_ || bullet_ < 0) {
        return;
    }
    // A bullet the file lacks shows as a still shot.
    const config::Bullet shown = data_->ReadBullet(gun_, bullet_).value_or(config::Bullet{});
    const auto write = [this](std::string_view name, int value) {
        if (ui::CEditUI* edit = Edit(name)) {
            edit->SetTextNotify(std::to_string(value), false);
        }
    };
    write(kXEdit, shown.x);
    write(kYEdit, shown.y);
    write(kDelayEdit, shown.delay);
    ShowDirection(kXCheck, shown.left);
    ShowDirection(kYCheck, shown.up);
}

void CShootControlUI::ShowChart() {
    auto* chart = dynamic_cast<CShootChartUI*>(FindSubControl(kChart));
    if (chart == nullptr || !data_) {
        return;
    }
    chart->SetPattern(data_->ReadPattern(gun_));
    chart->SetSelected(bullet_);
}

bool CShootControlUI::StoreBullet() {
    if (!data_ || bullet_ < 0) {
        return false;
    }
    const auto read = [this](std::string_view name) {
        const ui::CEditUI* edit = Edit(name);
        const long long typed = edit != nullptr ? config::LeadingInteger(edit->GetText()) : 0;
        return static_cast<int>(std::clamp<long long>(typed, 0, config::kMaxMacroDelay));
    };
    const auto selected = [this](std::string_view name) {
        const ui::CCheckBoxUI* box = Check(name);
        return box != nullptr && box->IsSelected();
    };
    const config::Bullet typed{read(kXEdit), selected(kXCheck), read(kYEdit), selected(kYCheck),
                               read(kDelayEdit)};
    const bool stored = data_->WriteBullet(gun_, bullet_, typed).has_value();
    if (!stored) {
        platform::diag::Trace("recoil bullet not stored: gun " + std::to_string(gun_) + ", bullet " +
                              std::to_string(bullet_));
    }
    // What the file holds now, whether or not the write went through.
    ShowChart();
    ShowBullet();
    return stored;
}

bool CShootControlUI::ResetGun() {
    if (!data_) {
        return false;
    }
    const bool reset = data_->Reset(gun_);
    ShowChart();
    ShowBullet();
    return reset;
}

bool CShootControlUI::ImportFrom(const std::filesystem::path& file) {
    if (!data_ || !data_->Import(gun_, file)) {
        return false;
    }
    ShowChart();
    ShowBullet();
    return true;
}

bool CShootControlUI::ExportTo(const std::filesystem::path& file) {
    return data_ && data_->Export(gun_, file);
}

}  // namespace norvane::pages
