#pragma once

#include "config/key_codes.h"
#include "pages/key_set/key_set_codec.h"
#include "ui/container.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace norvane::ui {
class CComboUI;
class CEditUI;
}  // namespace norvane::ui

namespace norvane::pages {

// The key assignment panel of the keyboard and mouse pages: shows the selected key's
// assignment as a function family with its parameters, encodes what the user sets into a new
// assignment and hands it to the device object. The controls are looked up by name on every
// use, so a rebuilt layout is never stale.
class CKeySetControlUI : public ui::CVerticalLayoutUI {
public:
    static constexpr std::string_view kLayoutFile = "XML/CustomControlXML/KeySetControl.xml";
    static constexpr std::string_view kClassName = "KeySetControl";
    static constexpr int kKeyboard = 1;
    static constexpr int kMouse = 2;
    static constexpr int kMacroItemHeight = 30;
    static constexpr std::string_view kModifierOption = "key_ComBox_check_";

    // Stores the encoded value as the selected key's current assignment (with its default),
    // saves the profile and renews the captions; false when no key is selected.
    using ApplyHandler =
        std::function<bool(config::KeyAssignment current, config::KeyAssignment defaultValue)>;

    std::string_view GetClass() const override { return kClassName; }
    // Builds the panel's own layout when the page gave it none.
    void DoInit() override;

    void SetApplyHandler(ApplyHandler handler) { apply_ = std::move(handler); }

    // The device object's set-up: device kind 1 keyboard (no DPI, no gun key) or 2 mouse, the
    // macro selector filled with the library's names, the editor hidden.
    void Build(int deviceKind, std::span<const std::string> macroNames);
    int DeviceKind() const { return deviceKind_; }

    // Refills the macro selector; a shown key is decoded again.
    void SetMacroNames(std::span<const std::string> macroNames);
    // Macro selector upkeep.
    void AppendMacro(std::string name);
    void RemoveMacro(int index);
    void RenameMacro(int index, std::string name);

    // Shows a selected key: its current and default values, decoded into the controls.
    void ShowKey(config::KeyAssignment current, config::KeyAssignment defaultValue);
    // Hides the editor (no key selected).
    void HideEditor();
    // The controls' values into the value being edited.
    config::KeyAssignment Encode();
    // Decodes a value into the controls; false (and the editor hidden) when it fits no family.
    bool Decode(config::KeyAssignment value);

    // User actions.
    void OnFamilySelected();
    void OnRepeatModeSelected();
    void OnModifierOption(int option);
    void Apply();
    void ShowDefault();
    void ShowCurrent();
    // The key field took (true) or lost the focus: captured keys are taken while it has it.
    void SetKeyCapture(bool on) { capturing_ = on; }
    // A captured key with the hook's scan code and flags (bit 0 extended).
    void OnCapturedKey(std::uint8_t scanCode, std::uint32_t hookFlags);
    // After a device write: the save buttons are disabled and nothing is pending.
    void WriteDone();

    config::KeyAssignment Editing() const { return editing_; }
    config::KeyAssignment Current() const { return current_; }
    config::KeyAssignment Default() const { return default_; }
    bool WritePending() const { return writePending_; }
    bool Capturing() const { return capturing_; }

    // The values the controls hold.
    KeySetFields ReadFields();

private:
    ui::CComboUI* Combo(std::string_view name);
    ui::CEditUI* Edit(std::string_view name);
    int MacroCount();
    int SelectedModifierOption();
    void SelectModifierOption(int option);
    void ShowFamilyPage(int family);
    void SetSaveButtonsEnabled(bool enabled);
    // A name id's text in the current language, read back through "text_test".
    std::string Translate(std::string_view nameId);
    void WriteNumber(std::string_view edit, int value);

    ApplyHandler apply_;
    int deviceKind_ = 0;
    config::KeyAssignment editing_;
    config::KeyAssignment current_;
    config::KeyAssignment default_;
    bool writePending_ = false;
    bool capturing_ = false;
};

}  // namespace norvane::pages
