#include "pages/select_panel.h"

#include "pages/device_key_button.h"

namespace norvane::pages {

void CSelectPanelUI::DoEvent(ui::TEventUI& event) {
    CVerticalLayoutUI::DoEvent(event);
    switch (event.type) {
        case ui::EventType::ButtonDown:
            if (IsEnabled()) {
                pressing_ = 1;
                press_ = event.pt;
            }
            break;
        case ui::EventType::MouseMove:
            if (pressing_ != 0) {
                dragging_ = 1;
            }
            if (dragging_ != 0) {
                current_ = event.pt;
                selection_ = {std::min(press_.x, current_.x), std::min(press_.y, current_.y),
                              std::max(press_.x, current_.x), std::max(press_.y, current_.y)};
                NeedUpdate();
            }
            break;
        case ui::EventType::ButtonUp: {
            pressing_ = 0;
            if (dragging_ == 0) {
                break;
            }
            dragging_ = 0;
            press_ = current_;
            for (int i = 0; i < GetCount(); ++i) {
                CControlUI* child = GetItemAt(i);
                auto* key = dynamic_cast<CDeviceKeyButtonUI*>(child);
                if (key != nullptr && child->GetClass() == "DeviceKeyButton") {
                    key->SetSelect(child->GetPos().Intersects(selection_) ? 1 : 0);
                }
            }
            NeedUpdate();
            Notify(kSelectEnd);
            break;
        }
        case ui::EventType::CaptureLost:
            // The drag is dropped: nothing is selected.
            pressing_ = 0;
            dragging_ = 0;
            break;
        default:
            break;
    }
}

}  // namespace norvane::pages
