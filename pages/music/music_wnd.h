#pragma once

#include "config/music_style.h"
#include "ui/window.h"
#include "ui/window_scale.h"

#include <array>
#include <string_view>

namespace norvane::ui {
class COptionUI;
class CSliderUI;
}  // namespace norvane::ui

namespace norvane::pages {

// The music-light window: picks the current style, sets each style's red, green and blue
// level and renames the styles. It edits its own copy of the record.
class MusicWnd : public ui::CScaledWindow {
public:
    static constexpr std::string_view kSkinFile = "music.xml";
    static constexpr std::string_view kClassName = "MusicWnd";
    static constexpr int kCancelled = 0;
    static constexpr int kConfirmed = 1;

    MusicWnd() : CScaledWindow(ui::kSetWndScaleError) {}

    std::string GetSkinFile() const override { return std::string(kSkinFile); }
    std::string_view GetWindowClassName() const override { return kClassName; }
    void Notify(ui::TNotifyUI& msg) override;

    void SetMusicStyle(const config::MusicStyleInfo& info) { info_ = info; }
    const config::MusicStyleInfo& GetMusicStyle() const { return info_; }
    // The first selected style option, 0 when none.
    int CurrentStyle();

private:
    void OnWindowInit();
    void ShowLevels(int style);
    bool FindControls();

    config::MusicStyleInfo info_;
    std::array<ui::COptionUI*, config::kMusicStyleCount> tabs_{};
    std::array<ui::CSliderUI*, 3> sliders_{};
};

}  // namespace norvane::pages
