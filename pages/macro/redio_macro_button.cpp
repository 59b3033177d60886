#include "pages/macro/redio_macro_button.h"

namespace norvane::pages {

void CRedioMacroButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "redioimage") {
        SetRedioImage(std::string(value));
        return;
    }
    ui::CButtonUI::SetAttribute(name, value);
}

}  // namespace norvane::pages
