#include "shell/profile_page/device_profile.h"

#include "config/json_file_store.h"
#include "pages/panel_layout.h"
#include "shell/profile_page/profile_tabs.h"
#include "ui/combo.h"
#include "ui/control_factory.h"
#include "ui/edit.h"
#include "ui/list.h"
#include "ui/option.h"

#include <memory>
#include <utility>

namespace norvane::shell {

using config::StoreResult;
using config::StoreStatus;

void CDeviceProfileUI::DoInit() {
    pages::LoadPanelLayout(*this, kLayoutFile);
    ShowMenu(false);
}

ui::CControlUI* CDeviceProfileUI::Sub(std::string_view name) const {
    return const_cast<CDeviceProfileUI*>(this)->FindSubControl(
        name);  // NOLINT(cppcoreguidelines-pro-type-const-cast)
}

ui::CComboUI* CDeviceProfileUI::Combo() {
    return dynamic_cast<ui::CComboUI*>(FindSubControl(kCombo));
}

const ui::CComboUI* CDeviceProfileUI::Combo() const {
    return dynamic_cast<const ui::CComboUI*>(Sub(kCombo));
}

ui::CEditUI* CDeviceProfileUI::NameEdit() const {
    return dynamic_cast<ui::CEditUI*>(Sub(kNameEdit));
}

StoreResult CDeviceProfileUI::Initialise(int deviceType, std::filesystem::path folder,
                                         std::filesystem::path defaultProfile, bool keepCustomEqualiser) {
    deviceType_ = deviceType;
    store_.emplace(std::move(folder), std::move(defaultProfile), keepCustomEqualiser);
    const StoreResult r = store_->Initialise();
    Fill();
    if (r.Ok() && r.index >= 0) {
        Select(r.index, false);
    }
    ApplyTabVisibility();
    return r;
}

void CDeviceProfileUI::Fill() {
    selectedId_.clear();
    if (ui::CComboUI* combo = Combo()) {
        combo->RemoveAll();
    }
    for (const config::ProfileEntry& entry : store_->Entries()) {
        AppendItem(entry.name);
    }
}

void CDeviceProfileUI::AppendItem(const std::string& name) {
    ui::CComboUI* combo = Combo();
    if (combo == nullptr) {
        return;
    }
    ui::CControlUI* item = combo->AddString(name, {}, kItemHeight);
    if (item != nullptr) {
        item->SetToolTip(name);
    }
}

void CDeviceProfileUI::ApplyTabVisibility() {
    const std::optional<ProfileTabVisibility> row = ProfileTabsFor(deviceType_);
    if (!row) {
        return;
    }
    for (const ProfileTab& tab : kProfileTabs) {
        ui::CControlUI* option = TabOption(tab.number);
        if (option == nullptr) {
            continue;
        }
        if ((row->hidden & TabBit(tab.number)) != 0) {
            option->SetVisible(false);
        } else if ((row->shown & TabBit(tab.number)) != 0) {
            option->SetVisible(true);
        }
    }
}

int CDeviceProfileUI::SelectedIndex() const {
    const ui::CComboUI* combo = Combo();
    return combo != nullptr ? combo->GetCurSel() : -1;
}

int CDeviceProfileUI::ItemCount() const {
    const ui::CComboUI* combo = Combo();
    return combo != nullptr ? combo->GetCount() : 0;
}

std::string CDeviceProfileUI::ItemText(int index) const {
    const ui::CComboUI* combo = Combo();
    const ui::CControlUI* item = combo != nullptr ? combo->GetItemAt(index) : nullptr;
    return item != nullptr ? item->GetText() : std::string();
}

StoreResult CDeviceProfileUI::Select(int index, bool notify) {
    ui::CComboUI* combo = Combo();
    if (!store_ || combo == nullptr || index < 0 || index >= combo->GetCount()) {
        return {StoreStatus::BadIndex};
    }
    combo->SelectItem(index, notify);
    SetNameField(ItemText(index));
    const StoreResult r = store_->Select(index);
    if (r.Ok()) {
        const std::vector<config::ProfileEntry> entries = store_->Entries();
        selectedId_ = index < static_cast<int>(entries.size()) ? entries[static_cast<std::size_t>(index)].uuid
                                                               : std::string();
    }
    return r;
}

std::filesystem::path CDeviceProfileUI::SelectedProfilePath() const {
    if (!store_ || selectedId_.empty()) {
        return {};
    }
    return store_->PathOf(SelectedIndex());
}

std::string CDeviceProfileUI::NameField() const {
    const ui::CEditUI* edit = NameEdit();
    return edit != nullptr ? edit->GetText() : std::string();
}

void CDeviceProfileUI::SetNameField(std::string text) {
    if (ui::CEditUI* edit = NameEdit()) {
        edit->SetText(std::move(text));
    }
}

bool CDeviceProfileUI::MenuShown() const {
    const ui::CControlUI* menu = Sub(kMenu);
    return menu != nullptr && menu->IsVisible();
}

void CDeviceProfileUI::ShowMenu(bool show) {
    if (ui::CControlUI* menu = FindSubControl(kMenu)) {
        menu->SetVisible(show);
    }
}

ui::CControlUI* CDeviceProfileUI::TabOption(int number) {
    for (const ProfileTab& tab : kProfileTabs) {
        if (tab.number == number) {
            return FindSubControl(tab.name);
        }
    }
    return nullptr;
}

void CDeviceProfileUI::SelectTab(int number) {
    for (const ProfileTab& tab : kProfileTabs) {
        if (auto* option = dynamic_cast<ui::COptionUI*>(FindSubControl(tab.name))) {
            option->Selected(tab.number == number, false);
        }
    }
}

StoreResult CDeviceProfileUI::Add() {
    if (!store_) {
        return {StoreStatus::BadIndex};
    }
    const StoreResult r = store_->Add();
    if (r.Ok()) {
        AppendItem(store_->Entries()[static_cast<std::size_t>(r.index)].name);
    }
    return r;
}

StoreResult CDeviceProfileUI::Delete() {
    const int selected = SelectedIndex();
    if (!store_ || selected < 0) {
        return {StoreStatus::BadIndex};
    }
    const StoreResult r = store_->Delete(selected);
    if (!r.Ok()) {
        return r;
    }
    if (ui::CComboUI* combo = Combo()) {
        combo->RemoveAt(selected);
    }
    Select(r.index, false);
    return r;
}

StoreResult CDeviceProfileUI::Copy() {
    const int selected = SelectedIndex();
    if (!store_ || selected < 0) {
        return {StoreStatus::BadIndex};
    }
    const StoreResult r = store_->Copy(selected);
    if (r.Ok()) {
        AppendItem(store_->Entries()[static_cast<std::size_t>(r.index)].name);
    }
    return r;
}

StoreResult CDeviceProfileUI::Rename(std::string_view newName) {
    const int selected = SelectedIndex();
    if (!store_ || selected < 0) {
        return {StoreStatus::BadIndex};
    }
    const StoreResult r = store_->Rename(selected, newName);
    if (!r.Ok()) {
        return r;
    }
    const std::string name = store_->Entries()[static_cast<std::size_t>(selected)].name;
    if (ui::CComboUI* combo = Combo()) {
        if (ui::CControlUI* item = combo->GetItemAt(selected)) {
            item->SetText(name);
            item->SetToolTip(name);
        }
    }
    SetNameField(name);
    return r;
}

StoreResult CDeviceProfileUI::Import(const std::filesystem::path& source) {
    if (!store_ || SelectedIndex() < 0) {
        return {StoreStatus::BadIndex};
    }
    const Json::Value document = config::JsonFileStore::ReadJsonFile(source);
    if (!document.isObject() || !document.isMember("profilename") || !document.isMember("profileUUID")) {
        return {StoreStatus::Unreadable};
    }
    const StoreResult r = store_->Import(source);
    if (r.Ok()) {
        AppendItem(store_->Entries()[static_cast<std::size_t>(r.index)].name);
    }
    return r;
}

StoreResult CDeviceProfileUI::Export(const std::filesystem::path& target) const {
    const int selected = SelectedIndex();
    if (!store_ || selected < 0) {
        return {StoreStatus::BadIndex};
    }
    return store_->Export(selected, target);
}

StoreResult CDeviceProfileUI::Reset() {
    const int selected = SelectedIndex();
    if (!store_ || selected < 0) {
        return {StoreStatus::BadIndex};
    }
    return store_->Reset(selected);
}

void RegisterProfileControls(ui::CControlFactory& factory) {
    factory.Register<CDeviceProfileUI>(std::string(CDeviceProfileUI::kClassName));
}

}  // namespace norvane::shell
