#pragma once

#include "devices/audio/audio_library.h"
#include "ui/container.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace norvane::ui {
class COptionUI;
class CSliderUI;
class CComboUI;
}  // namespace norvane::ui

namespace norvane::devices::headset {

// The headset's audio panel: the equaliser choice ("6533_eq_option_" 1-13), the ten band
// sliders ("6533_eq_hz_slider_" 0-9), the custom curves ("custom_eq_option_layout" with the
// name list and the name edit), the microphone and its monitoring (box and slider each).
// It shows values; its notifications go to the page's device object, which owns the state.
// What the machine cannot do is explained in the hint labels and its controls disabled.
class CVoice6533ControlUI : public ui::CVerticalLayoutUI {
public:
    static constexpr std::string_view kClassName = "Voice6533Control";
    static constexpr std::string_view kLayoutFile = "XML/CustomControlXML/Voice6533Control.xml";
    static constexpr std::string_view kEqOption = "6533_eq_option_";
    static constexpr std::string_view kEqSlider = "6533_eq_hz_slider_";
    static constexpr std::string_view kCustomLayout = "custom_eq_option_layout";
    static constexpr std::string_view kCustomCombo = "custom_eq_name_combo";
    static constexpr std::string_view kCustomEdit = "custom_eq_name_edit";
    static constexpr std::string_view kMicOption = "6533_MicIn_option";
    static constexpr std::string_view kMicSlider = "6533_MicIn_slider";
    static constexpr std::string_view kMonitorOption = "6533_MicMoniter_option";
    static constexpr std::string_view kMonitorSlider = "6533_MicMoniter_slider";
    static constexpr std::string_view kSaveButton = "hs_EQ_btn_save";
    static constexpr std::string_view kDeleteButton = "hs_EQ_btn_delete";
    // Hint labels, shown when the machine lacks a part.
    static constexpr std::string_view kEqHint = "6533_eq_hint_label";
    static constexpr std::string_view kMicHint = "6533_mic_hint_label";
    static constexpr int kNameRowHeight = 30;

    std::string_view GetClass() const override { return kClassName; }
    // Builds the panel's own layout when the page gave it none.
    void DoInit() override;

    void SetDeviceKind(int kind) { deviceKind_ = kind; }
    int DeviceKind() const { return deviceKind_; }

    // Selects option eqType (1-13); any other value selects none. Quietly.
    void ShowEqType(int eqType);
    // The custom layout is enabled only while asked and the equaliser is available.
    void SetCustomLayoutEnabled(bool enabled);
    void ShowBand(int band, int value);
    // The slider's value; nothing without the slider.
    std::optional<int> Band(int band);
    void ShowCustomNames(std::span<const std::string> names);
    // -1 clears the selection.
    void ShowCustomSelection(int index);
    int CustomSelection();
    std::string NewCurveName();
    void ShowMicrophone(bool on, int level);
    void ShowMonitoring(bool on, int level);
    std::optional<bool> MicrophoneOn();
    std::optional<int> MicrophoneLevel();
    std::optional<bool> MonitoringOn();
    std::optional<int> MonitoringLevel();
    void ShowCapabilities(const audio::AudioCapabilities& caps);

private:
    ui::COptionUI* Option(std::string_view name);
    ui::CSliderUI* Slider(std::string_view name);
    ui::CComboUI* Combo();
    void ShowHint(std::string_view name, bool available, const std::string& reason = {});

    int deviceKind_ = 0;
    bool equaliserAvailable_ = true;
    bool customLayoutWanted_ = false;
};

}  // namespace norvane::devices::headset
