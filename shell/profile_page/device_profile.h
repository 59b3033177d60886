#pragma once

#include "config/profile_store.h"
#include "ui/container.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::ui {
class CComboUI;
class CEditUI;
class CControlFactory;
}  // namespace norvane::ui

namespace norvane::shell {

// The profile panel of a device page: the list of the device's profiles, the name field, the
// action menu and the page tabs. Every store operation changes the list file and the list
// shown together.
class CDeviceProfileUI : public ui::CHorizontalLayoutUI {
public:
    static constexpr std::string_view kClassName = "CDeviceProfileUI";
    static constexpr std::string_view kLayoutFile = "XML/CustomControlXML/DeviceProfile.xml";
    static constexpr std::string_view kPanelName = "DeviceProfileItem";
    static constexpr std::string_view kCombo = "device_profile_combo";
    static constexpr std::string_view kNameEdit = "device_profile_name_edit";
    static constexpr std::string_view kMenu = "profile_menu_layout";
    static constexpr int kItemHeight = 30;

    std::string_view GetClass() const override { return kClassName; }
    // Builds the panel's own layout when the page gave it none.
    void DoInit() override;

    // The page's set-up: device kind (decides the tabs), data folder and factory profile;
    // then store initialise, the list filled, its selection shown without notification and
    // the tabs of the device kind applied. The store's result.
    config::StoreResult Initialise(int deviceType, std::filesystem::path folder,
                                   std::filesystem::path defaultProfile, bool keepCustomEqualiser = false);
    bool Initialised() const { return store_.has_value(); }
    int DeviceType() const { return deviceType_; }

    // -1 when nothing is selected.
    int SelectedIndex() const;
    // Selects item i (notifying the list's selection when notify), shows its name and
    // makes it the store's selection.
    config::StoreResult Select(int index, bool notify);
    const std::string& SelectedId() const { return selectedId_; }
    // Folder + selected identifier + ".Json"; empty without a selection.
    std::filesystem::path SelectedProfilePath() const;
    int ItemCount() const;
    std::string ItemText(int index) const;

    std::string NameField() const;
    void SetNameField(std::string text);

    bool MenuShown() const;
    void ShowMenu(bool show);

    // Marks the tab option of the number selected and the others unselected.
    void SelectTab(int number);
    // The tab option of a number; null when the layout has none.
    ui::CControlUI* TabOption(int number);

    config::StoreResult Add();
    config::StoreResult Delete();
    config::StoreResult Copy();
    config::StoreResult Rename(std::string_view newName);
    // Only a JSON object carrying "profilename" and "profileUUID" is taken.
    config::StoreResult Import(const std::filesystem::path& source);
    config::StoreResult Export(const std::filesystem::path& target) const;
    config::StoreResult Reset();

private:
    ui::CComboUI* Combo();
    const ui::CComboUI* Combo() const;
    ui::CEditUI* NameEdit() const;
    ui::CControlUI* Sub(std::string_view name) const;
    void Fill();
    void AppendItem(const std::string& name);
    void ApplyTabVisibility();

    int deviceType_ = 0;
    std::optional<config::ProfileStore> store_;
    std::string selectedId_;
};

// Registers CDeviceProfileUI with the control factory.
void RegisterProfileControls(ui::CControlFactory& factory);

}  // namespace norvane::shell
