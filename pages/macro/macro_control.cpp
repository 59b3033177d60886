#include "pages/macro/macro_control.h"

#include "config/key_codes.h"
#include "config/strings.h"
#include "pages/panel_layout.h"
#include "platform/diag.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/label.h"
#include "ui/list.h"
#include "ui/notify.h"
#include "ui/option.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>

namespace norvane::pages {
namespace {

using platform::diag::Trace;

// The move insertions: button, distance field, event type and action.
struct MoveRow {
    std::string_view button;
    std::string_view field;
    config::MacroEventType type;
    std::string_view action;
};

constexpr auto kMoveRows = std::to_array<MoveRow>({
    {"macro_inset_moveleftkey_btn", "mouse_x_left_edit", config::MacroEventType::HorizontalMove,
     config::kActionDown},
    {"macro_inset_moverightkey_btn", "mouse_x_right_edit", config::MacroEventType::HorizontalMove,
     config::kActionUp},
    {"macro_inset_moveupkey_btn", "mouse_y_up_edit", config::MacroEventType::VerticalMove,
     config::kActionDown},
    {"macro_inset_movedownkey_btn", "mouse_y_down_edit", config::MacroEventType::VerticalMove,
     config::kActionUp},
});

struct MoveButton {
    std::string_view button;
    RowMove move;
};

constexpr auto kMoveButtons = std::to_array<MoveButton>({
    {"macro_btn_up", RowMove::Up},
    {"macro_btn_down", RowMove::Down},
    {"macro_btn_uptop", RowMove::Top},
    {"macro_btn_downbottom", RowMove::Bottom},
});

// Controls usable only while a macro is open.
constexpr auto kOpenMacroControls =
    std::to_array<std::string_view>({"macro_action_layout", "mouse_move_layout", "macro_btn_export",
                                     "macro_btn_name_sub", "macro_btn_name_edit"});

std::uint32_t SteadyTickMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::string FormatCount(std::string format, int n) {
    if (const auto at = format.find("%d"); at != std::string::npos) {
        format.replace(at, 2, std::to_string(n));
    }
    return format;
}

bool Trimmed(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

CMacroControlUI::CMacroControlUI() : library_({}), tick_(SteadyTickMs) {
}

void CMacroControlUI::DoInit() {
    LoadPanelLayout(*this, kLayoutFile);
    // The layout's sample row shows how rows look; the rows themselves are built in code.
    if (ui::CControlUI* sample = FindSubControl(kMacroRowName); sample != nullptr) {
        if (auto* parent = dynamic_cast<ui::CContainerUI*>(sample->GetParent())) {
            parent->Remove(sample);
        }
    }
    EnableMacroControls(false);
    if (!folder_.empty()) {
        LoadLibrary();  // the device object set the folder before the layout was built
    }
}

void CMacroControlUI::SetMacroFolder(std::filesystem::path folder) {
    folder_ = std::move(folder);
    library_ = config::MacroLibrary(folder_);
}

ui::CControlUI* CMacroControlUI::Part(std::string_view name) {
    return FindSubControl(name);
}

ui::CListUI* CMacroControlUI::NameList() {
    return dynamic_cast<ui::CListUI*>(Part("macro_name_list"));
}

ui::CListUI* CMacroControlUI::ActionList() {
    return dynamic_cast<ui::CListUI*>(Part("macro_action_list"));
}

std::string CMacroControlUI::LanguageText(std::string_view id) {
    ui::CPaintManagerUI* manager = GetManager();
    if (manager == nullptr) {
        return std::string(id);
    }
    // The window's hidden translation label resolves it when there is one.
    if (ui::CControlUI* label = manager->FindControl("str_test"); label != nullptr) {
        label->SetTextId(std::string(id));
        return label->GetText();
    }
    return manager->Resources().Text(id);
}

bool CMacroControlUI::HandleControlEvent(ui::TNotifyUI& msg) {
    if (msg.sender == nullptr) {
        return false;
    }
    const std::string& name = msg.sender->GetName();
    const std::string_view type = msg.type;
    if (msg.sender == this && type == ui::notify::kTimer && msg.wparam == kScrollTimerId) {
        KillTimer(kScrollTimerId);
        if (ui::CListUI* list = ActionList(); list != nullptr && list->GetCurSel() >= 0) {
            list->EnsureVisible(list->GetCurSel());
        }
        return true;
    }
    if (type == ui::notify::kItemSelect && name == "macro_name_list") {
        OpenMacro(NameList() != nullptr ? NameList()->GetCurSel() : -1);
        return true;
    }
    if (type == ui::notify::kKillFocus && name == kMacroDelayName) {
        DelayEdited(*msg.sender);
        return true;
    }
    if (type != ui::notify::kClick) {
        return false;
    }
    if (name == "macro_btn_name_add") {
        NewMacro();
    } else if (name == "macro_btn_name_sub") {
        DeleteMacro();
    } else if (name == "macro_btn_name_edit") {
        RenameMacro();
    } else if (name == "macro_btn_save") {
        SaveMacro();
    } else if (name == "macro_btn_cancel") {
        RevertMacro();
    } else if (name == "macro_btn_import") {
        ImportMacro();
    } else if (name == "macro_btn_export") {
        ExportMacro();
    } else if (name == "macro_btn_delete") {
        DeleteRow();
    } else if (name == "macro_btn_deleteall") {
        DeleteAllRows();
    } else if (name == "macro_btn_starredio") {
        StartRecordingFromCheck(HookMode::MacroAppend);
    } else if (name == "macro_btn_stopredio") {
        StopRecording();
    } else if (const auto* move = std::ranges::find(kMoveButtons, name, &MoveButton::button);
               move != kMoveButtons.end()) {
        MoveRow(move->move);
    } else if (std::ranges::find(kMoveRows, name, &MoveRow::button) != kMoveRows.end()) {
        InsertMove(name);
    } else {
        return false;
    }
    return true;
}

// --- the library ---

void CMacroControlUI::LoadLibrary() {
    library_.Load();
    names_ = library_.Names();
    if (ui::CListUI* list = NameList()) {
        list->RemoveAll();
        for (int i = 0; i < library_.Count(); ++i) {
            auto row = std::make_unique<ui::CListLabelElementUI>();
            row->SetText(library_.Entries()[static_cast<std::size_t>(i)].name);
            row->SetUserData(library_.Entries()[static_cast<std::size_t>(i)].guid);
            list->Add(std::move(row));
        }
    }
    OpenMacro(-1);
}

void CMacroControlUI::OpenMacro(int index) {
    if (recording_) {
        return;
    }
    if (index < 0 || index >= library_.Count()) {
        openIndex_ = -1;
        ShowRows({});
        EnableMacroControls(false);
        return;
    }
    openIndex_ = index;
    ShowRows(library_.Open(index));
    EnableMacroControls(true);
}

void CMacroControlUI::ShowRows(const std::vector<config::MacroEvent>& events) {
    ui::CListUI* list = ActionList();
    if (list == nullptr) {
        return;
    }
    list->SelectItem(-1, false);
    list->RemoveAll();
    for (const config::MacroEvent& event : events) {
        list->Add(MakeMacroRow(event, GetManager()));
    }
}

void CMacroControlUI::EnableMacroControls(bool enable) {
    for (std::string_view name : kOpenMacroControls) {
        if (ui::CControlUI* control = Part(name)) {
            control->SetEnabled(enable);
        }
    }
}

void CMacroControlUI::NameAdded(const std::string& name) {
    if (name.empty()) {
        return;  // the library is full
    }
    names_ = library_.Names();
    if (ui::CListUI* list = NameList()) {
        auto row = std::make_unique<ui::CListLabelElementUI>();
        row->SetText(name);
        row->SetUserData(library_.Entries().back().guid);
        list->Add(std::move(row));
    }
    SelectorAppend(name);
    if (link_ != nullptr) {
        link_->ReloadMacroNames();
    }
}

void CMacroControlUI::NewMacro() {
    NameAdded(library_.NewMacro());
}

void CMacroControlUI::RenameMacro() {
    ui::CControlUI* edit = Part("macro_edit_macroname");
    ui::CListUI* list = NameList();
    if (edit == nullptr || list == nullptr || list->GetCurSel() < 0) {
        return;
    }
    const std::string typed = edit->GetText();
    if (Trimmed(typed)) {
        return;
    }
    const int selected = list->GetCurSel();
    const config::MacroLibrary::RenameOutcome outcome = library_.Rename(selected, typed);
    if (outcome.index < 0 || outcome.name == config::kRenameBlankText) {
        return;
    }
    if (outcome.name.empty()) {
        if (prompts_ != nullptr) {
            prompts_->Tell(LanguageText("message_text_5"));
        }
        return;
    }
    names_ = library_.Names();
    if (ui::CControlUI* row = list->GetItemAt(outcome.index)) {
        row->SetText(outcome.name);
    }
    SelectorReplace(outcome.index, outcome.name);
    if (link_ != nullptr) {
        link_->ReloadMacroNames();
        link_->RefreshKeyCaptions();
    }
}

void CMacroControlUI::DeleteMacro() {
    ui::CListUI* list = NameList();
    const int selected = list != nullptr ? list->GetCurSel() : -1;
    if (selected < 0 || selected >= library_.Count() || recording_) {
        return;
    }
    if (prompts_ == nullptr || !prompts_->Ask("message_text_4")) {
        return;
    }
    std::vector<config::KeyListEntry> keys;
    if (link_ != nullptr) {
        keys = link_->CurrentKeys();
        const bool bound = std::ranges::any_of(keys, [selected](const config::KeyListEntry& key) {
            return config::IsMacroType(key.current.type) && key.current.param1 == selected;
        });
        if (bound && !prompts_->Ask("message_text_2")) {
            return;
        }
        config::RenumberMacroBindingsInProfiles(link_->ProfileFiles(), link_->CurrentProfileFile(), selected);
    }
    const bool currentChanged = config::RenumberMacroBindings(keys, selected);
    if (link_ != nullptr && currentChanged) {
        link_->StoreCurrentKeys(keys);
    }
    if (library_.Delete(selected) < 0) {
        Trace("macro panel: macro not deleted: " + std::to_string(selected));
        return;
    }
    names_ = library_.Names();
    list->RemoveAt(selected);
    list->SelectItem(-1, false);
    OpenMacro(-1);
    SelectorRemove(selected);
    if (link_ != nullptr) {
        link_->ReloadMacroNames();
        if (currentChanged) {
            link_->RefreshKeyCaptions();
            WriteToDevice();
        }
    }
}

bool CMacroControlUI::SaveMacro() {
    if (openIndex_ < 0) {
        return false;
    }
    return library_.Save(openIndex_, Events());
}

void CMacroControlUI::RevertMacro() {
    if (openIndex_ >= 0 && !recording_) {
        ShowRows(library_.Revert(openIndex_));
    }
}

void CMacroControlUI::ImportMacro() {
    if (prompts_ == nullptr) {
        return;
    }
    if (const auto file = prompts_->ChooseOpenFile(kFileFilter); file) {
        NameAdded(library_.Import(*file));
    }
}

void CMacroControlUI::ExportMacro() {
    if (prompts_ == nullptr || openIndex_ < 0) {
        return;
    }
    if (const auto file = prompts_->ChooseSaveFile(kFileFilter); file) {
        if (!library_.Export(openIndex_, *file)) {
            Trace("macro panel: export failed: " + file->string());
        }
    }
}

// The key page's macro selector follows the library.
void CMacroControlUI::SelectorAppend(const std::string& name) {
    if (ui::CComboUI* combo = link_ != nullptr ? link_->MacroSelector() : nullptr) {
        combo->AddString(name);
    }
}

void CMacroControlUI::SelectorRemove(int index) {
    if (ui::CComboUI* combo = link_ != nullptr ? link_->MacroSelector() : nullptr) {
        combo->RemoveAt(index);
    }
}

void CMacroControlUI::SelectorReplace(int index, const std::string& name) {
    if (ui::CComboUI* combo = link_ != nullptr ? link_->MacroSelector() : nullptr) {
        if (ui::CControlUI* item = combo->GetItemAt(index)) {
            item->SetText(name);
        }
    }
}

// --- the steps ---

std::vector<config::MacroEvent> CMacroControlUI::Events() const {
    std::vector<config::MacroEvent> events;
    auto* list = const_cast<CMacroControlUI*>(this)->ActionList();
    if (list == nullptr) {
        return events;
    }
    for (int i = 0; i < list->GetCount(); ++i) {
        if (auto event = EventOfRow(list->GetItemAt(i))) {
            events.push_back(*event);
        }
    }
    return events;
}

int CMacroControlUI::SelectedRow() const {
    auto* list = const_cast<CMacroControlUI*>(this)->ActionList();
    return list != nullptr ? list->GetCurSel() : -1;
}

void CMacroControlUI::SelectRow(int index) {
    if (ui::CListUI* list = ActionList()) {
        list->SelectItem(index, false);
    }
}

void CMacroControlUI::MoveRow(RowMove move) {
    ui::CListUI* list = ActionList();
    if (list == nullptr || openIndex_ < 0) {
        return;
    }
    const int index = list->GetCurSel();
    const std::optional<int> target = MoveTarget(move, index, list->GetCount());
    if (!target) {
        return;
    }
    ui::CControlUI* row = list->GetItemAt(index);
    list->SetItemIndex(row, *target);
    list->SelectItem(*target, false);
    SaveMacro();
    WriteToDevice();
}

void CMacroControlUI::DeleteRow() {
    ui::CListUI* list = ActionList();
    if (list == nullptr || openIndex_ < 0 || list->GetCurSel() < 0) {
        return;
    }
    const int index = list->GetCurSel();
    list->SelectItem(-1, false);
    list->RemoveAt(index);
    SaveMacro();
    WriteToDevice();
}

void CMacroControlUI::DeleteAllRows() {
    ui::CListUI* list = ActionList();
    if (list == nullptr || openIndex_ < 0) {
        return;
    }
    list->SelectItem(-1, false);
    list->RemoveAll();
    SaveMacro();
    WriteToDevice();
}

void CMacroControlUI::AddRow(const config::MacroEvent& event, int index) {
    if (ui::CListUI* list = ActionList()) {
        list->AddAt(MakeMacroRow(event, GetManager()), index);
    }
}

void CMacroControlUI::SetRowEvent(int index, const config::MacroEvent& event) {
    ui::CListUI* list = ActionList();
    if (ui::CControlUI* row = list != nullptr ? list->GetItemAt(index) : nullptr) {
        ShowEventOnRow(*row, event);
    }
}

void CMacroControlUI::InsertEvents(std::span<const config::MacroEvent> events) {
    ui::CListUI* list = ActionList();
    if (list == nullptr || openIndex_ < 0 || events.empty()) {
        return;
    }
    const int count = list->GetCount();
    if (static_cast<std::size_t>(count) + events.size() > config::kMaxMacroEvents) {
        return;
    }
    const int selected = list->GetCurSel();
    int at = count == 0 ? 0 : (selected >= 0 ? selected + 1 : 1);
    for (config::MacroEvent event : events) {
        event.delay = config::ClampDelay(recorder_.ConstantDelay());
        AddRow(event, at);
        ++at;
    }
    list->SelectItem(at - 1, false);
    SaveMacro();
}

void CMacroControlUI::InsertMouseRow(std::size_t tableRow) {
    constexpr std::size_t kButtonRows = 10;
    if (tableRow >= kButtonRows) {
        return;
    }
    const config::MacroEvent event = config::MouseEventOf(config::kMouseEventTable[tableRow]);
    InsertEvents(std::span(&event, 1));
}

void CMacroControlUI::InsertMove(std::string_view buttonName) {
    const auto* row = std::ranges::find(kMoveRows, buttonName, &MoveRow::button);
    if (row == kMoveRows.end() || openIndex_ < 0) {
        return;
    }
    int distance = 0;
    if (ui::CControlUI* field = Part(row->field)) {
        distance = static_cast<int>(
            std::clamp<long long>(config::LeadingInteger(field->GetText()), 0, kMaxMoveDistance));
        field->SetText(std::to_string(distance));  // the value the step stores
    }
    config::MacroEvent event;
    event.type = static_cast<int>(row->type);
    event.button = distance;
    event.action = std::string(row->action);
    InsertEvents(std::span(&event, 1));
}

void CMacroControlUI::DelayEdited(ui::CControlUI& field) {
    ui::CListUI* list = ActionList();
    if (list == nullptr || openIndex_ < 0) {
        return;
    }
    // The field belongs to a row of the list.
    for (int i = 0; i < list->GetCount(); ++i) {
        ui::CControlUI* row = list->GetItemAt(i);
        if (row == nullptr || DelayFieldOf(*row) != &field) {
            continue;
        }
        if (auto event = EventOfRow(row)) {
            SetRowEvent(i, *event);  // shows the value stored
        }
        SaveMacro();
        return;
    }
}

// --- recording ---

void CMacroControlUI::SetRecordingHook(input::CDeviceHook* hook, input::HookTarget target) {
    if (recording_) {
        AbortRecording();
    }
    recorder_ = input::Recorder(hook, std::move(target));
}

std::uint32_t CMacroControlUI::ConstantDelay() const {
    return recorder_.ConstantDelay();
}

bool CMacroControlUI::StartRecordingFromCheck(HookMode hookMode) {
    const auto* check = dynamic_cast<ui::COptionUI*>(Part("macro_check_time"));
    const bool constant = check != nullptr && check->IsSelected();
    return StartRecording(constant ? DelayMode::Constant : DelayMode::RealTime, hookMode);
}

bool CMacroControlUI::StartRecording(DelayMode mode, HookMode hookMode) {
    if (recording_ || openIndex_ < 0) {
        return false;
    }
    ui::CControlUI* field = Part("macro_fixed_time_edit");
    const std::string fieldText = field != nullptr ? field->GetText() : std::string();
    const input::RecordingStarted started = recorder_.Start({hookMode, mode, fieldText}, tick_());
    if (started.constantDelayText && field != nullptr) {
        field->SetText(*started.constantDelayText);
    }
    if (!started.hooksStarted) {
        Trace("macro panel: the capture did not start");
        if (prompts_ != nullptr) {
            prompts_->Tell(LanguageText("macro_record_failed_text"));
        }
        return false;
    }
    if (ui::CControlUI* stop = Part("macro_btn_stopredio"); stop != nullptr && toScreen_) {
        const ui::Rect& r = stop->GetPos();
        const ui::Point topLeft = toScreen_({r.left, r.top});
        recorder_.SetStopButtonRect(
            ui::Rect{topLeft.x, topLeft.y, topLeft.x + (r.right - r.left), topLeft.y + (r.bottom - r.top)});
    }
    SetRecordingState(true);
    // Without a desktop-wide capture only this program's windows are heard: the panel says so.
    if (ui::CControlUI* hint = Part("macro_steps_hint_label"); hint != nullptr && !started.global) {
        hint->SetTextId("macro_record_window_only");
    }
    return true;
}

void CMacroControlUI::SetRecordingState(bool recording) {
    recording_ = recording;
    if (ui::CControlUI* hint = Part("macro_steps_hint_label"); hint != nullptr && !recording) {
        hint->SetTextId("macro_steps_hint");
    }
    if (auto* tab = dynamic_cast<ui::CContainerUI*>(Part("macro_name_tab"))) {
        tab->SetMouseEnabled(!recording);
        tab->SetMouseChildEnabled(!recording);
    }
    if (ui::CListUI* list = ActionList()) {
        list->SetMouseEnabled(!recording);
        list->SetMouseChildEnabled(!recording);
    }
    for (std::string_view name : {"macro_tab_macroaction_edit", "macro_tab_macrodelay_edit"}) {
        if (ui::CControlUI* field = Part(name)) {
            field->SetEnabled(!recording);
        }
    }
    if (ui::CControlUI* start = Part("macro_btn_starredio")) {
        start->SetVisible(!recording);
    }
    if (ui::CControlUI* stop = Part("macro_btn_stopredio")) {
        stop->SetVisible(recording);
    }
}

void CMacroControlUI::StopRecording(bool writeToDevice) {
    if (!recording_) {
        return;
    }
    recorder_.Stop();
    SetRecordingState(false);
    SaveMacro();
    if (writeToDevice) {
        WriteToDevice();
    }
}

void CMacroControlUI::AbortRecording() {
    StopRecording(false);
}

bool CMacroControlUI::HandleHookMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam) {
    if (!recording_) {
        return false;
    }
    if (msg == input::HookMessages().hookStopped) {
        AbortRecording();
        if (prompts_ != nullptr) {
            prompts_->Tell(LanguageText("macro_record_failed_text"));
        }
        return true;
    }
    if (!input::RecordMessageOf(msg)) {
        return false;
    }
    input::MacroRowList rows = input::Recorder::RowsOf(Events());
    if (const int selected = SelectedRow(); selected >= 0) {
        rows.selected = static_cast<std::size_t>(selected);
    }
    const input::RecordChange change = recorder_.HandleMessage(msg, wparam, lparam, tick_(), rows);
    MirrorChange(change, rows);
    return true;
}

void CMacroControlUI::MirrorChange(const input::RecordChange& change, const input::MacroRowList& rows) {
    using Kind = input::RecordChange::Kind;
    if (change.kind == Kind::None || change.index >= rows.rows.size()) {
        return;
    }
    const auto index = static_cast<int>(change.index);
    if (change.kind == Kind::Added) {
        AddRow(rows.rows[change.index].event, index);
    } else {
        SetRowEvent(index, rows.rows[change.index].event);
    }
    if (change.delayRewritten && *change.delayRewritten < rows.rows.size()) {
        SetRowEvent(static_cast<int>(*change.delayRewritten), rows.rows[*change.delayRewritten].event);
    }
    if (change.select) {
        SelectRow(static_cast<int>(*change.select));
        SetTimer(kScrollTimerId, kScrollDelayMs);
    }
}

// --- the device write ---

void CMacroControlUI::WriteToDevice() {
    const std::optional<MacroWriteOutcome> outcome = link_ != nullptr ? link_->WriteToDevice() : std::nullopt;
    if (!outcome || outcome->messageId.empty() || prompts_ == nullptr) {
        return;
    }
    std::string text = FormatCount(LanguageText(outcome->messageId), outcome->macros);
    if (outcome->macroKeysAtDefaults && !outcome->keysAtDefaultsMessageId.empty()) {
        text += " " + LanguageText(outcome->keysAtDefaultsMessageId);
    }
    prompts_->Tell(text);
}

}  // namespace norvane::pages
