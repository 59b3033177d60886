#include "shell/windows/cloud_share_list_item.h"

#include "ui/render.h"

#include <string>

namespace norvane::shell {

void CCloudShareListItemUI::PaintBorder(ui::IRenderer& r) {
    ui::CListContainerElementUI::PaintBorder(r);
    const ui::IListOwnerUI* owner = GetOwner();
    if (!IsHot() || !IsEnabled() || owner == nullptr) {
        return;
    }
    r.DrawRect(GetPos(), 0, 1, owner->GetListInfo().hotBkColor);
}

void RegisterCloudShareListItem(ui::CControlFactory& factory) {
    factory.Register<CCloudShareListItemUI>(std::string(CCloudShareListItemUI::kClassName));
}

}  // namespace norvane::shell
