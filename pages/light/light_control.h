#pragma once

#include "config/light_data.h"
#include "pages/light/light_panel.h"
#include "ui/container.h"
#include "ui/types.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::pages {

// The lighting panel of every device page: shows a device's light record as a mode with
// brightness, speed, direction and colour, enables the groups the selected mode uses on that
// kind of device, and turns each user change into a new record for the device object. On
// keyboards it also shows the music-light record. Controls are looked up by name on every use.
class CLightControlUI : public ui::CHorizontalLayoutUI, public ILightPanel {
public:
    static constexpr std::string_view kLayoutFile = "XML/CustomControlXML/LightControl.xml";
    static constexpr std::string_view kClassName = "LightControl";
    static constexpr int kModeItemHeight = 30;

    static constexpr std::string_view kModeCombo = "light_combo_modeSelect";
    static constexpr std::string_view kSecondaryCombo = "light_combo_ZZCCmodeSelect";
    static constexpr std::string_view kCustomCombo = "light_combo_custommodeSelect";
    static constexpr std::string_view kBrightnessSlider = "deng_light_slider";
    static constexpr std::string_view kSpeedSlider = "deng_speed_slider";
    static constexpr std::string_view kLeftOption = "deng_FXL_check";
    static constexpr std::string_view kRightOption = "deng_FXR_check";
    static constexpr std::string_view kMultiColourCheck = "deng_7color_check";
    static constexpr std::string_view kEditRed = "deng_edit_R";
    static constexpr std::string_view kEditGreen = "deng_edit_G";
    static constexpr std::string_view kEditBlue = "deng_edit_B";
    static constexpr std::string_view kPalette = "deng_Color_Pallet";
    static constexpr std::string_view kPresetPrefix = "color_option_";
    static constexpr std::string_view kColourButton = "deng_colordp_btn";
    static constexpr std::string_view kSameModeButton = "deng_same_mode";

    static constexpr std::string_view kMusicModeCombo = "light_combo_audiomodeSelect";
    static constexpr std::string_view kMusicSevenCheck = "deng_7audiocolor_check";
    static constexpr std::string_view kMusicBackOption = "audio_BkColor_check";
    static constexpr std::string_view kMusicForeOption = "audio_FgColor_check";
    static constexpr std::string_view kMusicEditRed = "deng_audioedit_R";
    static constexpr std::string_view kMusicEditGreen = "deng_audioedit_G";
    static constexpr std::string_view kMusicEditBlue = "deng_audioedit_B";
    static constexpr std::string_view kMusicPalette = "deng_audioColor_Pallet";
    static constexpr std::string_view kMusicPresetPrefix = "audiocolor_option_";
    static constexpr std::string_view kMusicColourButton = "deng_audiocolordp_btn";

    // From this width on the three colour rows share one row (wide, low pages).
    static constexpr int kOneColourRowWidth = 850;

    std::string_view GetClass() const override { return kClassName; }
    // Builds the panel's own layout when the page gave it none.
    void DoInit() override;
    void SetPos(const ui::Rect& rc) override;

    // The device kind the panel serves (selects the mode table).
    void SetDeviceKind(int kind) { deviceKind_ = kind; }
    int DeviceKind() const { return deviceKind_; }
    // Whether the same-mode button may be offered; the table is applied again.
    void SetSameModeAllowed(bool allowed);
    bool SameModeAllowed() const { return sameModeAllowed_; }

    // One mode item per name (a language id), visible when its flag is set; the sliders' maxima.
    void FillModes(const std::vector<std::string>& names, const std::vector<bool>& visible, int maxBrightness,
                   int maxSpeed);
    // Enables and shows the groups mode uses on the panel's device kind.
    void ApplyModeTable(int mode);
    void ShowLightInfo(const config::LightInfo& info);
    // Selects the custom group item (keyboards).
    void ShowCustomGroup(int group);

    // Read accessors (−1 for no selection; 0xFF000000 without a palette).
    int SelectedMode() const;
    int CustomGroup() const;
    int SecondaryMode() const;
    int Brightness() const;
    int Speed() const;
    std::string EditText(std::string_view editName) const;
    ui::Color PaletteColour() const;
    bool MultiColour() const;
    ui::Color PresetColour(int index) const;

    // User changes: each returns the record with the changed field, the controls following.
    config::LightInfo OnModeSelected(config::LightInfo info, std::string_view comboName);
    config::LightInfo OnSliderChanged(config::LightInfo info, std::string_view sliderName) const;
    config::LightInfo OnOptionChanged(config::LightInfo info, std::string_view optionName) const;
    // A colour edit lost the focus: 0–255, an empty edit is 0; the edit shows the stored value.
    config::LightInfo OnColourEdited(config::LightInfo info, std::string_view editName);
    config::LightInfo OnPaletteChanged(config::LightInfo info);
    config::LightInfo OnPresetClicked(config::LightInfo info, int index);

    // Music light.
    void ShowAudioLightState(const config::AudioLightInfo& state) override;
    config::AudioLightInfo ReadAudioLightState() const override { return ReadAudioLight(true); }
    config::AudioLightInfo ReadAudioLight(bool takeColour) const;
    const config::AudioLightInfo& ShownAudioLight() const { return audio_; }
    // The music-light user changes; each returns the record to write.
    config::AudioLightInfo OnMusicColourChosen(ui::Color colour, bool fromPreset);
    config::AudioLightInfo OnMusicPresetClicked(int index);
    config::AudioLightInfo OnMusicColourEdited(std::string_view editName);
    config::AudioLightInfo OnMusicBackgroundBlack();
    ui::Color MusicPresetColour(int index) const;

private:
    ui::CControlUI* Find(std::string_view name) const;
    void SetGroupEnabled(std::string_view name, bool enabled);
    void SetGroupVisible(std::string_view name, bool visible);
    void SetDirectionLabels(std::string_view left, std::string_view right);
    void ShowColour(std::uint8_t r, std::uint8_t g, std::uint8_t b, bool selectPalette);
    void ShowMusicColour(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // 0–255 from an edit (empty 0); the edit shows the value; nullopt without the edit.
    std::optional<std::uint8_t> ClampedEdit(std::string_view editName);

    void ArrangeColourRows(bool oneRow);

    int deviceKind_ = 0;
    bool oneColourRow_ = false;
    std::array<int, 3> movedToFirstRow_{};
    bool sameModeAllowed_ = false;
    config::AudioLightInfo audio_;
};

}  // namespace norvane::pages
