#include "config/macro_event.h"

#include "config/json_access.h"
#include "config/strings.h"

namespace norvane::config {

int ClampDelay(long long delay) {
    if (delay < 0) {
        return 0;
    }
    return delay > kMaxMacroDelay - 1 ? kMaxMacroDelay : static_cast<int>(delay);
}

int ParseDelay(std::string_view text) {
    return ClampDelay(LeadingInteger(text));
}

std::optional<MacroEvent> ReadMacroEvent(const Json::Value& element) {
    if (!element.isObject()) {
        return std::nullopt;
    }
    MacroEvent event;
    event.type = static_cast<int>(json::IntegerOf(element, "Type") & 0xFFFF);
    event.button = static_cast<int>(json::IntegerOf(element, "Button") & 0xFFFF);
    event.action = json::StringOf(element, "Action");
    if (const Json::Value* delay = json::Member(element, "Delay")) {
        event.delay = delay->isString() ? ParseDelay(delay->asString())
                                        : ClampDelay(json::AsInteger(*delay).value_or(0));
    }
    return event;
}

Json::Value MacroEventToJson(const MacroEvent& event, DelayForm form) {
    Json::Value o(Json::objectValue);
    o["Type"] = event.type;
    o["Button"] = event.button;
    o["Action"] = event.action;
    const int delay = ClampDelay(event.delay);
    o["Delay"] = form == DelayForm::String ? Json::Value(std::to_string(delay)) : Json::Value(delay);
    return o;
}

std::vector<MacroEvent> ReadMacroEvents(const Json::Value& document) {
    std::vector<MacroEvent> events;
    const Json::Value* list = json::Member(document, "Events");
    if (list == nullptr || !list->isArray()) {
        return events;
    }
    for (const Json::Value& element : *list) {
        if (events.size() >= kMaxMacroEvents) {
            break;
        }
        if (std::optional<MacroEvent> event = ReadMacroEvent(element)) {
            events.push_back(std::move(*event));
        }
    }
    return events;
}

PackedMacroEvent PackMacroEvent(const MacroEvent& event) {
    const int delay = ClampDelay(event.delay);
    PackedMacroEvent packed;
    packed.bytes[0] = static_cast<std::uint8_t>(delay & 0xFF);
    packed.bytes[1] = static_cast<std::uint8_t>(delay >> 8);
    packed.bytes[2] = static_cast<std::uint8_t>((event.type & 0x7F) | (event.IsDown() ? 0x80 : 0));
    packed.bytes[3] = static_cast<std::uint8_t>(event.button & 0xFF);
    return packed;
}

std::vector<PackedMacroEvent> PackMacroEvents(const std::vector<MacroEvent>& events) {
    std::vector<PackedMacroEvent> packed;
    packed.reserve(events.size());
    for (const MacroEvent& event : events) {
        packed.push_back(PackMacroEvent(event));
    }
    return packed;
}

std::optional<std::size_t> FindMouseEventRow(std::uint16_t source, int extraButton) {
    for (std::size_t i = 0; i + 1 < kMouseEventTable.size(); ++i) {
        if (kMouseEventTable[i].source != source) {
            continue;
        }
        if (source == 0x020B || source == 0x020C) {
            const bool second = extraButton == 2;
            return second ? i : i + 2;
        }
        return i;
    }
    return std::nullopt;
}

MacroEvent MouseEventOf(const MouseEventRow& row) {
    MacroEvent event;
    event.type = row.action & 0x7F;
    event.button = row.mask;
    event.action = std::string((row.action & 0x80) != 0 ? kActionDown : kActionUp);
    return event;
}

}  // namespace norvane::config
