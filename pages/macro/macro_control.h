#pragma once

#include "config/macro_event.h"
#include "config/macro_library.h"
#include "pages/macro/macro_panel_links.h"
#include "pages/macro/macro_rows.h"
#include "ui/container.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::ui {
class CListUI;
struct TNotifyUI;
}  // namespace norvane::ui

namespace norvane::pages {

// How a recording times its events.
enum class DelayMode : std::uint8_t { Recorded = 1, Constant = 2, Ignored = 3 };

// Where recorded events go.
enum class HookMode : std::uint8_t { Append = 4, InsertBefore = 8, InsertAfter = 16, Replace = 32 };

// The macro panel of the keyboard and mouse pages: the device's macro library, the steps of
// the open macro, recording them and writing the macros to the device.
//
// Threads: the UI thread only.
class CMacroControlUI : public ui::CHorizontalLayoutUI {
public:
    static constexpr std::string_view kClassName = "MacroControl";
    static constexpr std::string_view kLayoutFile = "XML/CustomControlXML/MacroControl.xml";
    static constexpr std::string_view kFileFilter = "Macro Files(*.mac)";
    static constexpr std::uint32_t kDefaultConstantDelay = 50;
    static constexpr int kScrollTimerId = 4101;
    static constexpr int kScrollDelayMs = 50;

    CMacroControlUI();
    std::string_view GetClass() const override { return kClassName; }
    // Builds the panel's own layout when the page gave it none.
    void DoInit() override;

    // --- set by the device object ---
    void SetMacroFolder(std::filesystem::path folder);
    const std::filesystem::path& MacroFolder() const { return folder_; }
    void SetDeviceLink(IMacroDeviceLink* link) { link_ = link; }
    void SetPrompts(IMacroPrompts* prompts) { prompts_ = prompts; }
    void SetRecordingHooks(IRecordingHooks* hooks) { hooks_ = hooks; }
    // Milliseconds of the recording clock; a steady clock unless replaced.
    void SetTickClock(std::function<std::uint32_t()> clock) { tick_ = std::move(clock); }

    // A notification of one of the panel's controls (as the main window routes them); false
    // when the sender is none of them.
    bool HandleControlEvent(ui::TNotifyUI& msg);

    // --- the library ---
    // Loads the library and fills the macro list; no macro is open afterwards.
    void LoadLibrary();
    const std::vector<std::string>& MacroNames() const { return names_; }
    const config::MacroLibrary& Library() const { return library_; }
    void OpenMacro(int index);
    int OpenIndex() const { return openIndex_; }
    void NewMacro();
    void RenameMacro();
    void DeleteMacro();
    bool SaveMacro();
    void RevertMacro();
    void ImportMacro();
    void ExportMacro();

    // --- the steps ---
    std::vector<config::MacroEvent> Events() const;
    int SelectedRow() const;
    void SelectRow(int index);
    void MoveRow(RowMove move);
    void DeleteRow();
    void DeleteAllRows();
    // Inserts events after the selected row (after the first row without a selection) with
    // the constant delay, selects the last one inserted and saves the macro.
    void InsertEvents(std::span<const config::MacroEvent> events);
    // A mouse button event of the mouse event table (row 0-9) by its row.
    void InsertMouseRow(std::size_t tableRow);
    // A pointer move of the given direction with the distance of its field.
    void InsertMove(std::string_view buttonName);
    // The delay field of a row lost the focus: the shown value is stored and the macro saved.
    void DelayEdited(ui::CControlUI& field);

    // --- recording ---
    // Starts a recording; delayModeFromCheck: mode 2 when "macro_check_time" is selected,
    // else 1. False when nothing started (recording already, no macro open, hooks refused).
    bool StartRecording(DelayMode mode, HookMode hookMode);
    bool StartRecordingFromCheck(HookMode hookMode);
    // Stops the recording, saves the macro and, with writeToDevice, writes to the device.
    void StopRecording(bool writeToDevice = true);
    // The device went away or the hooks failed: the recording stops without a device write.
    void AbortRecording();
    bool IsRecording() const { return recording_; }
    // A recorded event (from the hooks) into the list by the current hook mode.
    void RecordEvent(const config::MacroEvent& event);
    std::uint32_t ConstantDelay() const { return constantDelay_; }
    DelayMode CurrentDelayMode() const { return delayMode_; }

    // --- the device write ---
    // The macros in use, then the keys and the profile; shows the write's message.
    void WriteToDevice();

private:
    ui::CListUI* NameList();
    ui::CListUI* ActionList();
    ui::CControlUI* Part(std::string_view name);
    std::string LanguageText(std::string_view id);
    void ShowRows(const std::vector<config::MacroEvent>& events);
    void EnableMacroControls(bool enable);
    void SetRecordingState(bool recording);
    void ReadConstantDelay();
    void AddRow(const config::MacroEvent& event, int index);
    void SetRowEvent(int index, const config::MacroEvent& event);
    void SelectorAppend(const std::string& name);
    void SelectorRemove(int index);
    void SelectorReplace(int index, const std::string& name);
    void NameAdded(const std::string& name);

    config::MacroLibrary library_;
    std::filesystem::path folder_;
    std::vector<std::string> names_;
    int openIndex_ = -1;
    IMacroDeviceLink* link_ = nullptr;
    IMacroPrompts* prompts_ = nullptr;
    IRecordingHooks* hooks_ = nullptr;
    std::function<std::uint32_t()> tick_;

    // Recorder state.
    DelayMode delayMode_ = DelayMode::Recorded;
    HookMode hookMode_ = HookMode::Append;
    std::uint32_t constantDelay_ = kDefaultConstantDelay;
    std::uint32_t lastEventTime_ = 0;
    bool rowRecorded_ = false;
    bool recording_ = false;
};

}  // namespace norvane::pages
