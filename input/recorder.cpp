#include "input/recorder.h"

#include <json/writer.h>

#include <algorithm>
#include <utility>

#include "config/key_code_tables.h"
#include "config/strings.h"

namespace norvane::input {

namespace {

constexpr std::size_t IndexOf(RecordKind kind) {
    return static_cast<std::size_t>(kind);
}

std::optional<RecordKind> KindOfMode(HookMode mode) {
    switch (mode) {
        case HookMode::MacroAppend:
            return RecordKind::Append;
        case HookMode::MacroInsertBefore:
            return RecordKind::InsertBefore;
        case HookMode::MacroInsertAfter:
            return RecordKind::InsertAfter;
        case HookMode::MacroReplace:
            return RecordKind::Replace;
        default:
            return std::nullopt;
    }
}

std::optional<std::size_t> MouseRowOf(unsigned mouseMessage, int extraButton) {
    switch (mouseMessage) {
        case kWmLButtonDown:
        case kWmLButtonUp:
        case kWmRButtonDown:
        case kWmRButtonUp:
        case kWmMButtonDown:
        case kWmMButtonUp:
            return config::FindMouseEventRow(static_cast<std::uint16_t>(mouseMessage));
        case kWmXButtonDown:
        case kWmXButtonUp:
            if (extraButton != 1 && extraButton != 2) {
                return std::nullopt;
            }
            return config::FindMouseEventRow(static_cast<std::uint16_t>(mouseMessage), extraButton);
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string MacroRow::ToJsonText() const {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(
        builder, config::MacroEventToJson(
                     event, delayIsNumber ? config::DelayForm::Integer : config::DelayForm::String));
}

Recorder::Recorder(CDeviceHook* hook, HookTarget target) : hook_(hook), target_(std::move(target)) {
}

RecordingStarted Recorder::Start(const RecordingStart& start, std::uint32_t nowMs) {
    RecordingStarted result;
    Stop();
    if (!KindOfMode(start.hookMode)) {
        return result;
    }
    delayMode_ = start.delayMode;
    lastEventTime_ = nowMs;
    if (delayMode_ == DelayMode::Constant) {
        const long long typed = std::max(0LL, config::LeadingInteger(start.constantDelayText));
        if (typed != static_cast<long long>(constantDelay_) ||
            std::to_string(typed) != start.constantDelayText) {
            constantDelay_ = static_cast<std::uint32_t>(std::min<long long>(typed, config::kMaxMacroDelay));
            result.constantDelayText = std::to_string(constantDelay_);
        }
    }
    for (KeyMemory& memory : keyMemory_) {
        memory = {};
    }
    std::fill(std::begin(mouseMemory_), std::end(mouseMemory_), 0U);
    if (hook_ != nullptr) {
        if (!hook_->Start(0, start.hookMode, target_, true, true)) {
            return result;
        }
        result.global = hook_->IsGlobal();
    }
    hookMode_ = start.hookMode;
    recording_ = true;
    result.hooksStarted = true;
    return result;
}

void Recorder::Stop() {
    if (hook_ != nullptr && recording_) {
        hook_->Stop();
    }
    recording_ = false;
    hookMode_ = HookMode::Idle;
}

RecordChange Recorder::HandleMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                     std::uint32_t nowMs, MacroRowList& list) {
    const auto meaning = RecordMessageOf(msg);
    if (!meaning) {
        return {};
    }
    const auto message = static_cast<unsigned>(wparam);
    if (meaning->keyboard) {
        return HandleKey(meaning->kind, message, UnpackKeyRecord(lparam), nowMs, list);
    }
    return HandleMouse(meaning->kind, message, UnpackMouseRecord(lparam), nowMs, list);
}

RecordChange Recorder::HandleKey(RecordKind kind, unsigned keyMessage, const KeyHookRecord& record,
                                 std::uint32_t nowMs, MacroRowList& list) {
    if (!recording_ || KindOfMode(hookMode_) != kind) {
        return {};
    }
    const bool press = IsKeyPress(keyMessage);
    const std::uint32_t extended = record.flags & kKeyFlagExtended;
    KeyMemory& memory = keyMemory_[IndexOf(kind)];
    const bool remembered = memory.set && memory.scanCode == record.scanCode && memory.extended == extended;
    if (press) {
        if (remembered) {
            return {};  // auto-repeat, or a second press whose release was lost
        }
        memory = {record.scanCode, extended, true};
    } else if (remembered) {
        memory = {};
    }
    const auto scanRow = config::FindByScanCode(record.scanCode, record.flags);
    if (!scanRow) {
        return {};
    }
    const config::KeyCodeRow& key = config::kKeyCodeTable[*scanRow];
    MacroRow row;
    row.keyboard = true;
    row.nameId = key.nameId;
    if (key.assignment.param2 != 0) {
        row.event.type = static_cast<int>(config::MacroEventType::Key);
        row.event.button = key.assignment.param2;
    } else {
        row.event.type = static_cast<int>(config::MacroEventType::Modifier);
        row.event.button = key.assignment.param1;
    }
    row.event.action = std::string(press ? config::kActionDown : config::kActionUp);
    if (kind == RecordKind::Replace) {
        return ReplaceRow(row, list);
    }
    return AddRow(kind, std::move(row), nowMs, list);
}

RecordChange Recorder::HandleMouse(RecordKind kind, unsigned mouseMessage, const MouseHookRecord& record,
                                   std::uint32_t nowMs, MacroRowList& list) {
    if (!recording_ || KindOfMode(hookMode_) != kind) {
        return {};
    }
    const auto tableRow = MouseRowOf(mouseMessage, record.data);
    if (!tableRow) {
        return {};
    }
    unsigned& last = mouseMemory_[IndexOf(kind)];
    if (last == mouseMessage) {
        return {};  // a second press without a release, or a second release
    }
    last = mouseMessage;
    if ((mouseMessage == kWmLButtonDown || mouseMessage == kWmLButtonUp) && stopButton_ &&
        stopButton_->Contains({record.x, record.y})) {
        return {};  // the click that ends the recording
    }
    const config::MouseEventRow& mouse = config::kMouseEventTable[*tableRow];
    MacroRow row;
    row.keyboard = false;
    row.nameId = mouse.nameId;
    row.event = config::MouseEventOf(mouse);
    if (kind == RecordKind::Replace) {
        return ReplaceRow(row, list);
    }
    return AddRow(kind, std::move(row), nowMs, list);
}

int Recorder::NextDelay(std::uint32_t nowMs) {
    switch (delayMode_) {
        case DelayMode::RealTime: {
            const std::uint32_t elapsed = nowMs - lastEventTime_;
            lastEventTime_ = nowMs;
            return config::ClampDelay(elapsed);
        }
        case DelayMode::Constant:
            return static_cast<int>(constantDelay_);
        case DelayMode::IgnoreTime:
            break;
    }
    return 0;
}

RecordChange Recorder::AddRow(RecordKind kind, MacroRow row, std::uint32_t nowMs, MacroRowList& list) {
    if (list.rows.size() >= config::kMaxMacroEvents) {
        return {};
    }
    const bool selectionValid = list.selected && *list.selected < list.rows.size();
    std::size_t position = list.rows.size();
    std::size_t select = 0;
    switch (kind) {
        case RecordKind::Append:
            select = position;
            break;
        case RecordKind::InsertBefore:
            if (!selectionValid) {
                return {};
            }
            position = *list.selected;
            select = position + 1;
            break;
        case RecordKind::InsertAfter:
            if (!selectionValid) {
                return {};
            }
            position = *list.selected + 1;
            select = position;
            break;
        case RecordKind::Replace:
            return {};
    }
    const int delay = NextDelay(nowMs);
    RecordChange change;
    change.kind = RecordChange::Kind::Added;
    change.index = position;
    change.select = select;
    if (position == 0) {
        row.event.delay = 0;
        row.delayIsNumber = true;
    } else {
        row.event.delay = delayMode_ == DelayMode::Constant ? static_cast<int>(constantDelay_) : 0;
        MacroRow& previous = list.rows[position - 1];
        previous.event.delay = delay;
        previous.delayIsNumber = false;
        change.delayRewritten = position - 1;
    }
    list.rows.insert(list.rows.begin() + static_cast<std::ptrdiff_t>(position), std::move(row));
    list.selected = select;
    return change;
}

RecordChange Recorder::ReplaceRow(const MacroRow& row, MacroRowList& list) {
    if (!list.selected || *list.selected >= list.rows.size()) {
        return {};
    }
    MacroRow& target = list.rows[*list.selected];
    target.event.type = row.event.type;
    target.event.button = row.event.button;
    target.nameId = row.nameId;
    target.keyboard = row.keyboard;
    RecordChange change;
    change.kind = RecordChange::Kind::Replaced;
    change.index = *list.selected;
    change.select = *list.selected;
    return change;
}

std::vector<config::MacroEvent> Recorder::EventsOf(const MacroRowList& list) {
    std::vector<config::MacroEvent> events;
    events.reserve(list.rows.size());
    for (const MacroRow& row : list.rows) {
        events.push_back(row.event);
    }
    return events;
}

MacroRowList Recorder::RowsOf(const std::vector<config::MacroEvent>& events) {
    MacroRowList list;
    for (const config::MacroEvent& event : events) {
        MacroRow row;
        row.event = event;
        if (event.type == static_cast<int>(config::MacroEventType::Key) ||
            event.type == static_cast<int>(config::MacroEventType::Modifier)) {
            row.keyboard = true;
            for (std::size_t i = 0; i < config::kScanCodeRowCount; ++i) {
                const config::KeyAssignment& a = config::kKeyCodeTable[i].assignment;
                const bool match = event.type == static_cast<int>(config::MacroEventType::Key)
                                       ? a.param2 == event.button
                                       : a.param2 == 0 && a.param1 == event.button;
                if (match) {
                    row.nameId = config::kKeyCodeTable[i].nameId;
                    break;
                }
            }
        } else {
            row.keyboard = false;
            for (const config::MouseEventRow& mouse : config::kMouseEventTable) {
                if ((mouse.action & 0x7F) == event.type && mouse.mask == event.button &&
                    ((mouse.action & 0x80) != 0) == event.IsDown()) {
                    row.nameId = mouse.nameId;
                    break;
                }
            }
        }
        list.rows.push_back(std::move(row));
    }
    return list;
}

}  // namespace norvane::input
