#include "pages/colour_edit.h"

#include "config/strings.h"
#include "ui/control.h"

#include <algorithm>
#include <string>

namespace norvane::pages {

std::uint8_t TakeColourComponent(ui::CControlUI& edit) {
    const auto value =
        static_cast<std::uint8_t>(std::clamp(config::LeadingInteger(edit.GetText()), 0LL, 255LL));
    edit.SetText(std::to_string(value));
    return value;
}

}  // namespace norvane::pages
