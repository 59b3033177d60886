#pragma once

#include "ui/control_factory.h"
#include "ui/list.h"

#include <string_view>

namespace norvane::shell {

// A list row that frames itself in its list's hot colour while hovered; activation and
// the context menu notify as any container row does.
class CCloudShareListItemUI final : public ui::CListContainerElementUI {
public:
    static constexpr std::string_view kClassName = "CloudShareListItemUI";
    std::string_view GetClass() const override { return kClassName; }
    void PaintBorder(ui::IRenderer& r) override;
};

// Registers the row class with the control factory.
void RegisterCloudShareListItem(ui::CControlFactory& factory);

}  // namespace norvane::shell
