#include "shell/main_wnd/layout_tags.h"

#include "ui/attributes.h"
#include "ui/control.h"
#include "ui/control_factory.h"
#include "ui/dialog_builder.h"

#include <algorithm>

namespace norvane::shell {

const LayoutTagRow* FindLayoutTag(std::string_view tag) {
    const auto* row = std::ranges::find_if(
        kLayoutTags, [tag](const LayoutTagRow& r) { return ui::EqualsNoCase(r.tag, tag); });
    return row == kLayoutTags.end() ? nullptr : row;
}

std::unique_ptr<ui::CControlUI> CreateLayoutTag(std::string_view tag, ui::CPaintManagerUI& manager) {
    const LayoutTagRow* row = FindLayoutTag(tag);
    if (row == nullptr) {
        return nullptr;
    }
    if (!row->className.empty()) {
        return ui::CControlFactory::Instance().Create(row->className);
    }
    ui::CDialogBuilder builder;
    return builder.Create(row->subLayout, &manager, nullptr);
}

}  // namespace norvane::shell
