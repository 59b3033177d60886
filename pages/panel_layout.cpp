#include "pages/panel_layout.h"

#include "platform/diag.h"
#include "ui/container.h"
#include "ui/dialog_builder.h"

#include <string>

namespace norvane::pages {

bool LoadPanelLayout(ui::CContainerUI& panel, std::string_view file) {
    if (panel.GetCount() > 0 || panel.GetManager() == nullptr) {
        return false;
    }
    ui::CDialogBuilder builder;
    auto root = builder.Create(file, panel.GetManager());
    if (!root) {
        platform::diag::Trace("panel layout not built: " + std::string(file));
        return false;
    }
    return panel.Add(std::move(root)) != nullptr;
}

}  // namespace norvane::pages
