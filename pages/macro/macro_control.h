#pragma once

#include "config/macro_event.h"
#include "config/macro_library.h"
#include "input/device_hook.h"
#include "input/recorder.h"
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

using input::DelayMode;
using input::HookMode;

// The macro panel of the keyboard and mouse pages: the device's macro library, the steps of
// the open macro, recording them and writing the macros to the device.
//
// Threads: the UI thread only.
class CMacroControlUI : public ui::CHorizontalLayoutUI {
public:
    static constexpr std::string_view kClassName = "MacroControl";
    static constexpr std::string_view kLayoutFile = "XML/CustomControlXML/MacroControl.xml";
    static constexpr std::string_view kFileFilter = "Macro Files(*.mac)";
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
    // The capture recordings run with; its events reach the target (the window), which hands
    // them to HandleHookMessage. Without a hook, events are fed by hand.
    void SetRecordingHook(input::CDeviceHook* hook, input::HookTarget target);
    // Window to screen coordinates, for the stop button's place on the screen.
    void SetClientToScreen(std::function<ui::Point(ui::Point)> toScreen) { toScreen_ = std::move(toScreen); }
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
    // Starts a recording. FromCheck: the constant delay when "macro_check_time" is selected,
    // else the recorded time. False when nothing started (recording already, no macro open,
    // the capture refused).
    bool StartRecording(DelayMode mode, HookMode hookMode);
    bool StartRecordingFromCheck(HookMode hookMode);
    // Stops the recording, saves the macro and, with writeToDevice, writes to the device.
    void StopRecording(bool writeToDevice = true);
    // The device went away or the capture ended by itself: the recording stops without a
    // device write.
    void AbortRecording();
    bool IsRecording() const { return recording_; }
    // A hook message (a recorded key or mouse event, or the capture's end); false for other
    // messages and while not recording.
    bool HandleHookMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam);
    std::uint32_t ConstantDelay() const;

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
    void MirrorChange(const input::RecordChange& change, const input::MacroRowList& rows);
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
    std::function<std::uint32_t()> tick_;
    input::Recorder recorder_;
    std::function<ui::Point(ui::Point)> toScreen_;
    bool recording_ = false;
};

}  // namespace norvane::pages
