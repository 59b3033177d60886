#include "app/ui_script.h"

#include "devices/usb_device.h"
#include "shell/main_wnd/main_wnd.h"
#include "ui/combo.h"
#include "ui/control.h"
#include "ui/list.h"
#include "ui/option.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace norvane::app {
namespace {

bool IsName(std::string_view text) {
    return !text.empty() && text.size() <= 128 && std::ranges::all_of(text, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '.' || c == '-';
    });
}

std::vector<std::string> Words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

// The row of a list or combo whose user data is data; -1 when none.
int RowWithData(ui::CControlUI& control, std::string_view data) {
    auto* container = dynamic_cast<ui::CContainerUI*>(&control);
    if (container == nullptr) {
        return -1;
    }
    for (int i = 0; i < container->GetCount(); ++i) {
        if (const ui::CControlUI* item = container->GetItemAt(i);
            item != nullptr && item->GetUserData() == data) {
            return i;
        }
    }
    return -1;
}

}  // namespace

std::optional<UiStep> ParseUiStep(std::string_view text) {
    const std::vector<std::string> words = Words(text);
    if (words.empty() || !std::ranges::all_of(words, IsName)) {
        return std::nullopt;
    }
    const std::string& verb = words[0];
    if (verb == "menu" && words.size() == 2) {
        return UiStep{UiStep::Kind::kMenu, words[1], {}};
    }
    if (words.size() != 3) {
        return std::nullopt;
    }
    if (verb == "notify") {
        return UiStep{UiStep::Kind::kNotify, words[1], words[2]};
    }
    if (verb == "selectdata") {
        return UiStep{UiStep::Kind::kSelectData, words[1], words[2]};
    }
    if (verb == "select") {
        int row = -1;
        const auto [end, error] = std::from_chars(words[2].data(), words[2].data() + words[2].size(), row);
        if (error != std::errc() || end != words[2].data() + words[2].size() || row < 0) {
            return std::nullopt;
        }
        return UiStep{UiStep::Kind::kSelect, words[1], words[2]};
    }
    return std::nullopt;
}

std::optional<std::string> RunUiStep(shell::CMainWnd& window, const UiStep& step) {
    if (step.kind == UiStep::Kind::kMenu) {
        window.HandleMenuCommand(step.control);
        return std::nullopt;
    }
    // Every page holds the same names: the current device's page first.
    ui::CControlUI* control = nullptr;
    if (devices::CTarnexUSBDevice* page = window.CurrentDevice(); page != nullptr) {
        control = page->FindSubControl(step.control);
    }
    if (control == nullptr) {
        control = window.FindControl(step.control);
    }
    if (control == nullptr) {
        return "no control " + step.control;
    }
    if (step.kind == UiStep::Kind::kNotify) {
        // An option takes the choice before it reports it, as a click would.
        if (auto* option = dynamic_cast<ui::COptionUI*>(control);
            option != nullptr && step.value == "selectchanged") {
            option->Selected(true, false);
        }
        window.PaintManager().SendNotify(control, step.value);
        return std::nullopt;
    }
    auto* owner = dynamic_cast<ui::IListOwnerUI*>(control);
    if (owner == nullptr) {
        return step.control + " is no list";
    }
    const int row =
        step.kind == UiStep::Kind::kSelect ? std::stoi(step.value) : RowWithData(*control, step.value);
    if (row < 0 || !owner->SelectItem(row, false)) {
        return "no row " + step.value + " in " + step.control;
    }
    window.PaintManager().SendNotify(control, "itemselect");
    return std::nullopt;
}

}  // namespace norvane::app
