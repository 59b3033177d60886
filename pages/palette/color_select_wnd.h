#pragma once

#include <json/value.h>

#include "ui/types.h"
#include "ui/window.h"
#include "ui/window_scale.h"

#include <filesystem>
#include <string_view>

namespace norvane::ui {
class CColorPaletteUI;
class CControlUI;
}  // namespace norvane::ui

namespace norvane::pages {

// The modal colour chooser: a palette, three component edits, twenty presets and twenty user
// slots. The preset selection and the slots persist in "color_option_info.config".
class CColorSelectWnd : public ui::CScaledWindow {
public:
    static constexpr std::string_view kSkinFile = "PalletDialog.xml";
    static constexpr std::string_view kClassName = "ColorSelectWnd";
    static constexpr std::string_view kFileName = "color_option_info.config";
    static constexpr int kSwatchCount = 20;
    // Run results.
    static constexpr int kCancelled = 0;
    static constexpr int kConfirmed = 1;
    static constexpr int kNoPalette = 2;

    // userFile: the per-user copy; factoryFile: the one shipped in "DefaultData".
    CColorSelectWnd(std::filesystem::path userFile, std::filesystem::path factoryFile);

    std::string GetSkinFile() const override { return std::string(kSkinFile); }
    std::string_view GetWindowClassName() const override { return kClassName; }
    void InitWindow() override;
    void Notify(ui::TNotifyUI& msg) override;

    void SetColor(ui::Color color);
    ui::Color GetColor() const { return color_; }
    void EnableSevenColor(bool enable);
    bool SevenColor() const { return sevenColor_; }
    int PresetIndex() const { return presetIndex_; }
    int SlotIndex() const { return slotIndex_; }

private:
    void OnWindowInit();
    void LoadSlots(const Json::Value& root);
    void ApplyCurrentColor();
    void ShowSevenColor(bool on);
    void ShowComponents(ui::Color color);
    ui::Color ReadEdits();
    void SavePresets();
    void SaveSlots();
    void OnPreset(int index);
    void OnSlot(int index);
    ui::CControlUI* Swatch(std::string_view prefix, int index) const;

    std::filesystem::path userFile_;
    std::filesystem::path factoryFile_;
    ui::CColorPaletteUI* palette_ = nullptr;
    ui::Color color_ = 0;
    int presetIndex_ = 4;
    int slotIndex_ = 0;
    bool sevenColor_ = false;
};

}  // namespace norvane::pages
