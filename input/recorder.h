#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/macro_event.h"
#include "input/device_hook.h"
#include "input/hook_messages.h"
#include "input/hook_records.h"
#include "ui/types.h"

// Turns hook events into macro event rows: recording states, delay modes, repeat filtering,
// the insert and replace operations and the row limit. No UI: the macro panel mirrors the
// changes each call reports.
namespace norvane::input {

enum class DelayMode : int {
    RealTime = 1,    // the time between events
    Constant = 2,    // the constant delay
    IgnoreTime = 3,  // every delay 0
};

inline constexpr std::uint32_t kDefaultConstantDelay = 50;

// One row of the event list as the panel shows it.
struct MacroRow {
    config::MacroEvent event;
    std::string_view nameId;     // language text id of the event's name
    bool keyboard = true;        // style: keyboard label, else mouse label
    bool delayIsNumber = false;  // the first row of a recording stores "Delay" as the number 0

    // The row's stored event text ("Type", "Button", "Action", "Delay").
    std::string ToJsonText() const;
    std::string DelayText() const { return std::to_string(event.delay); }
};

// The rows and the selection, owned by the panel and changed by the recorder.
struct MacroRowList {
    std::vector<MacroRow> rows;
    std::optional<std::size_t> selected;
};

// What one event changed, for the panel to mirror.
struct RecordChange {
    enum class Kind { None, Added, Replaced };
    Kind kind = Kind::None;
    std::size_t index = 0;                      // the added or replaced row
    std::optional<std::size_t> delayRewritten;  // a row whose "Delay" changed
    std::optional<std::size_t> select;          // the row to select (and scroll to)
};

struct RecordingStart {
    HookMode hookMode = HookMode::MacroAppend;  // 4, 8, 16 or 32
    DelayMode delayMode = DelayMode::RealTime;
    // The text of the constant delay field, read in DelayMode::Constant.
    std::string_view constantDelayText;
};

struct RecordingStarted {
    bool hooksStarted = false;  // false: the capture could not start, the recorder stays idle
    bool global = false;        // false: only input inside the program's windows is recorded
    // The text the constant delay field is rewritten with, when it changed.
    std::optional<std::string> constantDelayText;
};

class Recorder {
public:
    // hook may be null (events are then fed by hand); target receives the hook's messages.
    explicit Recorder(CDeviceHook* hook = nullptr, HookTarget target = {});

    // Starts a recording at nowMs (milliseconds, any monotonic clock the events share).
    RecordingStarted Start(const RecordingStart& start, std::uint32_t nowMs);
    // Stops the hooks and returns to idle; safe when idle. Messages still queued are ignored.
    void Stop();
    bool IsRecording() const { return recording_; }
    HookMode Mode() const { return hookMode_; }
    DelayMode CurrentDelayMode() const { return delayMode_; }
    std::uint32_t ConstantDelay() const { return constantDelay_; }

    // The screen rectangle of the stop button: left clicks inside it are not recorded.
    void SetStopButtonRect(std::optional<ui::Rect> screen) { stopButton_ = screen; }

    // A hook message as posted by CDeviceHook; messages of other kinds are ignored.
    RecordChange HandleMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam, std::uint32_t nowMs,
                               MacroRowList& list);
    RecordChange HandleKey(RecordKind kind, unsigned keyMessage, const KeyHookRecord& record,
                           std::uint32_t nowMs, MacroRowList& list);
    RecordChange HandleMouse(RecordKind kind, unsigned mouseMessage, const MouseHookRecord& record,
                             std::uint32_t nowMs, MacroRowList& list);

    // The events of the list, for saving.
    static std::vector<config::MacroEvent> EventsOf(const MacroRowList& list);
    // Rows for events loaded from a macro file (names looked up from the tables).
    static MacroRowList RowsOf(const std::vector<config::MacroEvent>& events);

private:
    struct KeyMemory {
        std::uint8_t scanCode = 0;
        std::uint32_t extended = 0;
        bool set = false;
    };
    RecordChange AddRow(RecordKind kind, MacroRow row, std::uint32_t nowMs, MacroRowList& list);
    RecordChange ReplaceRow(const MacroRow& row, MacroRowList& list);
    int NextDelay(std::uint32_t nowMs);

    CDeviceHook* hook_ = nullptr;
    HookTarget target_;
    bool recording_ = false;
    HookMode hookMode_ = HookMode::Idle;
    DelayMode delayMode_ = DelayMode::RealTime;
    std::uint32_t constantDelay_ = kDefaultConstantDelay;
    std::uint32_t lastEventTime_ = 0;
    KeyMemory keyMemory_[4];
    unsigned mouseMemory_[4] = {};
    std::optional<ui::Rect> stopButton_;
};

}  // namespace norvane::input
