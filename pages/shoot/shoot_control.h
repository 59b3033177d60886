#pragma once

#include "config/shoot_data.h"
#include "ui/container.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace norvane::ui {
class CEditUI;
class CCheckBoxUI;
}  // namespace norvane::ui

namespace norvane::pages {

class CShootChartUI;

// The shoot panel of the mouse page: one of the four guns, its recoil pattern edited one
// bullet at a time, the pattern's path drawn, and the gun's file reset, imported or exported.
// Controls are looked up by name on every use, so a rebuilt layout is never stale.
class CShootControlUI : public ui::CHorizontalLayoutUI {
public:
    static constexpr std::string_view kLayoutFile = "XML/CustomControlXML/ShootControl.xml";
    static constexpr std::string_view kClassName = "ShootControl";
    static constexpr std::string_view kFileFilter = "Shoot Files(*.shoot)";
    static constexpr std::string_view kGunOption = "shoot_gun_op_";
    static constexpr std::string_view kBulletOption = "bullet_op_";
    static constexpr std::string_view kXCheck = "bullet_x_check";
    static constexpr std::string_view kYCheck = "bullet_y_check";

    std::string_view GetClass() const override { return kClassName; }
    // Builds the panel's own layout when the page gave it none.
    void DoInit() override;

    // The mouse's set-up: its data folder and the factory folder; the four user files are made
    // sure of and gun 0 with its first bullet is shown.
    void Build(std::filesystem::path userFolder, std::filesystem::path factoryFolder);
    bool IsBuilt() const { return data_.has_value(); }
    const config::ShootData* Data() const { return data_ ? &*data_ : nullptr; }

    int Gun() const { return gun_; }
    int Bullet() const { return bullet_; }

    // User actions. Gun and bullet indices are clamped to their ranges.
    void SelectGun(int gun);
    void SelectBullet(int bullet);
    void PreviousBullet() { SelectBullet(bullet_ - 1); }
    void NextBullet() { SelectBullet(bullet_ + 1); }
    // A direction box changed: only its caption follows; nothing is written.
    void OnDirectionCheck(std::string_view name);
    // The three edits and two boxes into the selected bullet; the edits then show the values
    // stored. False when nothing could be written.
    bool StoreBullet();
    // The selected gun's factory pattern back, shown again.
    bool ResetGun();
    // The selected gun's pattern from or to a file; a file that is no sound pattern is refused
    // and nothing changes.
    bool ImportFrom(const std::filesystem::path& file);
    bool ExportTo(const std::filesystem::path& file);

private:
    ui::CEditUI* Edit(std::string_view name);
    ui::CCheckBoxUI* Check(std::string_view name);
    void ShowBullet();
    void ShowChart();
    void ShowDirection(std::string_view check, bool selected);

    std::optional<config::ShootData> data_;
    int gun_ = 0;
    int bullet_ = -1;
};

}  // namespace norvane::pages
