#include "pages/music/music_wnd.h"

#include "platform/diag.h"
#include "ui/messages.h"
#include "ui/option.h"
#include "ui/slider.h"

#include <algorithm>
#include <string>

namespace norvane::pages {
namespace {

constexpr std::array<std::string_view, 3> kSliderNames{"audio_r_slider", "audio_g_slider", "audio_b_slider"};
// Put back into an emptied name edit.
constexpr std::array<std::string_view, config::kMusicStyleCount> kDefaultNames{"第一组", "第二组", "第三组",
                                                                               "第四组"};

}  // namespace

bool MusicWnd::FindControls() {
    for (int i = 0; i < config::kMusicStyleCount; ++i) {
        auto& tab = tabs_[static_cast<std::size_t>(i)];
        if (tab == nullptr) {
            tab = dynamic_cast<ui::COptionUI*>(FindControl("audio_select_tab" + std::to_string(i + 1)));
        }
    }
    for (std::size_t c = 0; c < sliders_.size(); ++c) {
        if (sliders_[c] == nullptr) {
            sliders_[c] = dynamic_cast<ui::CSliderUI*>(FindControl(kSliderNames[c]));
        }
    }
    const bool complete = std::ranges::none_of(tabs_, [](auto* p) { return p == nullptr; }) &&
                          std::ranges::none_of(sliders_, [](auto* p) { return p == nullptr; });
    if (!complete) {
        platform::diag::Trace("GetAudioLightInfo control is NULL");
    }
    return complete;
}

int MusicWnd::CurrentStyle() {
    FindControls();
    for (int i = 0; i < config::kMusicStyleCount; ++i) {
        const ui::COptionUI* tab = tabs_[static_cast<std::size_t>(i)];
        if (tab != nullptr && tab->IsSelected()) {
            return i;
        }
    }
    return 0;
}

void MusicWnd::ShowLevels(int style) {
    FindControls();
    const auto& levels =
        info_.levels[static_cast<std::size_t>(std::clamp(style, 0, config::kMusicStyleCount - 1))];
    for (std::size_t c = 0; c < sliders_.size(); ++c) {
        if (sliders_[c] != nullptr) {
            sliders_[c]->SetValue(levels[c]);
        }
    }
}

void MusicWnd::OnWindowInit() {
    FindControls();
    for (ui::CSliderUI* slider : sliders_) {
        if (slider != nullptr) {
            slider->SetMinValue(0);
            slider->SetMaxValue(config::kMaxMusicLevel);
        }
    }
    if (info_.style < config::kMusicStyleCount) {
        if (ui::COptionUI* tab = tabs_[info_.style]) {
            tab->Selected(true, true);
        }
        ShowLevels(info_.style);
    }
    for (int i = 0; i < config::kMusicStyleCount; ++i) {
        if (ui::CControlUI* edit = FindControl("audio_edit_name" + std::to_string(i + 1))) {
            edit->SetText(info_.names[static_cast<std::size_t>(i)]);
        }
    }
}

void MusicWnd::Notify(ui::TNotifyUI& msg) {
    if (msg.type == "windowinit") {
        OnWindowInit();
        return;
    }
    if (msg.sender == nullptr) {
        return;
    }
    const std::string& name = msg.sender->GetName();
    if (msg.type == "selectchanged") {
        for (int i = 0; i < config::kMusicStyleCount; ++i) {
            const ui::COptionUI* tab = tabs_[static_cast<std::size_t>(i)];
            if (tab != nullptr && msg.sender == tab && tab->IsSelected()) {
                info_.style = static_cast<std::uint8_t>(i);
                ShowLevels(i);
            }
        }
    } else if (msg.type == "valuechanged") {
        for (std::size_t c = 0; c < sliders_.size(); ++c) {
            if (sliders_[c] != nullptr && msg.sender == sliders_[c]) {
                const int value = std::clamp(sliders_[c]->GetValue(), 0, config::kMaxMusicLevel);
                info_.levels[static_cast<std::size_t>(CurrentStyle())][c] = static_cast<std::uint8_t>(value);
            }
        }
    } else if (msg.type == "killfocus" && name.starts_with("audio_edit_name") && name.size() == 16) {
        const int index = name.back() - '1';
        if (index < 0 || index >= config::kMusicStyleCount) {
            return;
        }
        std::string text = msg.sender->GetText();
        if (text.empty()) {
            text = kDefaultNames[static_cast<std::size_t>(index)];
            msg.sender->SetText(text);
        }
        info_.names[static_cast<std::size_t>(index)] = text;
    } else if (msg.type == "click") {
        if (name == "closebtn") {
            Close(kCancelled);
        } else if (name == "okbtn") {
            Close(kConfirmed);
        }
    }
}

}  // namespace norvane::pages
