#include "pages/macro/macro_rows.h"

#include "config/key_code_tables.h"
#include "ui/edit.h"
#include "ui/label.h"
#include "ui/list.h"
#include "ui/paint_manager.h"

#include <json/reader.h>
#include <json/writer.h>

#include <algorithm>
#include <sstream>

namespace norvane::pages {
namespace {

constexpr unsigned kDelayFieldColour = 0x00444444;
constexpr int kDelayFieldHeight = 25;
constexpr int kDelayFieldChars = 6;

void ApplyStyle(ui::CControlUI& control, ui::CPaintManagerUI* manager, std::string_view style) {
    if (manager == nullptr) {
        return;
    }
    if (const std::string* list = manager->GetStyle(style); list != nullptr) {
        control.ApplyAttributeList(*list);
    }
}

std::string EventText(const config::MacroEvent& event) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, config::MacroEventToJson(event, config::DelayForm::String));
}

std::optional<config::MacroEvent> ParseEventText(const std::string& text) {
    Json::CharReaderBuilder builder;
    Json::Value value;
    std::string errors;
    std::istringstream in(text);
    if (text.empty() || !Json::parseFromStream(builder, in, &value, &errors)) {
        return std::nullopt;
    }
    return config::ReadMacroEvent(value);
}

}  // namespace

bool IsMoveEvent(const config::MacroEvent& event) {
    return event.type == static_cast<int>(config::MacroEventType::HorizontalMove) ||
           event.type == static_cast<int>(config::MacroEventType::VerticalMove);
}

std::string_view EventNameId(const config::MacroEvent& event) {
    using config::MacroEventType;
    if (event.type == static_cast<int>(MacroEventType::Key) ||
        event.type == static_cast<int>(MacroEventType::Modifier)) {
        const bool modifier = event.type == static_cast<int>(MacroEventType::Modifier);
        for (const config::KeyCodeRow& row : config::kKeyCodeTable) {
            const bool match = modifier
                                   ? (row.assignment.param2 == 0 && row.assignment.param1 == event.button)
                                   : row.assignment.param2 == event.button;
            if (match && event.button != 0 &&
                row.assignment.type == config::Code(config::FunctionType::KeyboardKey)) {
                return row.nameId;
            }
        }
        return {};
    }
    for (const config::MouseEventRow& row : config::kMouseEventTable) {
        const int type = row.action & 0x7F;
        const bool down = (row.action & 0x80) != 0;
        if (type != event.type || down != event.IsDown()) {
            continue;
        }
        if (IsMoveEvent(event) || row.mask == event.button) {
            return row.nameId;
        }
    }
    return {};
}

std::unique_ptr<ui::CListContainerElementUI> MakeMacroRow(const config::MacroEvent& event,
                                                          ui::CPaintManagerUI* manager) {
    auto row = std::make_unique<ui::CListContainerElementUI>();
    row->SetName(std::string(kMacroRowName));
    row->SetFixedHeight(kMacroRowHeight);
    auto name = std::make_unique<ui::CLabelUI>();
    auto action = std::make_unique<ui::CLabelUI>();
    auto delay = std::make_unique<ui::CEditUI>();
    ApplyStyle(*name, manager,
               event.type == static_cast<int>(config::MacroEventType::Key) ||
                       event.type == static_cast<int>(config::MacroEventType::Modifier)
                   ? "macro_label_keyboard_style"
                   : "macro_label_mouse_style");
    name->SetTextPadding({3, 0, 0, 0});
    delay->SetName(std::string(kMacroDelayName));
    ApplyStyle(*delay, manager, "macro_label_text_style");
    delay->SetBkColor(kDelayFieldColour);
    delay->SetFixedHeight(kDelayFieldHeight);
    delay->SetMaxChar(kDelayFieldChars);
    delay->SetDigitsOnly(true);
    delay->SetNumberLimits(0, config::kMaxMacroDelay);
    row->Add(std::move(name));
    row->Add(std::move(action));
    row->Add(std::move(delay));
    ShowEventOnRow(*row, event, manager);
    return row;
}

ui::CEditUI* DelayFieldOf(ui::CControlUI& row) {
    auto* container = dynamic_cast<ui::CContainerUI*>(&row);
    return container != nullptr ? dynamic_cast<ui::CEditUI*>(container->GetItemAt(2)) : nullptr;
}

void ShowEventOnRow(ui::CControlUI& row, const config::MacroEvent& event, ui::CPaintManagerUI* manager) {
    auto* container = dynamic_cast<ui::CContainerUI*>(&row);
    if (container == nullptr || container->GetCount() < 3) {
        return;
    }
    if (manager == nullptr) {
        manager = row.GetManager();
    }
    if (ui::CControlUI* name = container->GetItemAt(0)) {
        name->SetTextId(std::string(EventNameId(event)));
    }
    if (ui::CControlUI* action = container->GetItemAt(1)) {
        ApplyStyle(*action, manager, event.IsDown() ? "macro_label_down_style" : "macro_label_up_style");
        if (IsMoveEvent(event)) {
            action->SetTextId({});
            action->SetText(std::to_string(event.button));
        } else {
            action->SetTextId(event.IsDown() ? "macro_press_text" : "macro_release_text");
        }
    }
    if (ui::CEditUI* delay = DelayFieldOf(row)) {
        delay->SetText(std::to_string(event.delay));
    }
    row.SetUserData(EventText(event));
}

std::optional<config::MacroEvent> EventOfRow(const ui::CControlUI* row) {
    if (row == nullptr || row->GetName() != kMacroRowName) {
        return std::nullopt;
    }
    std::optional<config::MacroEvent> event = ParseEventText(row->GetUserData());
    if (event) {
        if (ui::CEditUI* delay = DelayFieldOf(const_cast<ui::CControlUI&>(*row))) {
            event->delay = config::ParseDelay(delay->GetText());
        }
    }
    return event;
}

std::optional<int> MoveTarget(RowMove move, int index, int count) {
    if (index < 0 || index >= count) {
        return std::nullopt;
    }
    const int last = count - 1;
    int target = index;
    switch (move) {
        case RowMove::Up:
            target = index - 1;
            break;
        case RowMove::Down:
            target = index + 1;
            break;
        case RowMove::Top:
            target = 0;
            break;
        case RowMove::Bottom:
            target = last;
            break;
    }
    if (target < 0 || target > last || target == index) {
        return std::nullopt;
    }
    return target;
}

}  // namespace norvane::pages
