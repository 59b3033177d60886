#include "pages/picture_controls.h"

#include <cmath>
#include <vector>

#include "pages/audio_record.h"
#include "pages/chart_view.h"
#include "pages/circle_progress.h"
#include "pages/device_key_button.h"
#include "pages/hand_img_button.h"
#include "pages/hand_img_select_button.h"
#include "pages/macro/combo_edit_element.h"
#include "pages/macro/macro_control.h"
#include "pages/macro/redio_macro_button.h"
#include "pages/key_set/key_set_control.h"
#include "pages/light/light_control.h"
#include "pages/magic_control.h"
#include "pages/select_panel.h"
#include "pages/shoot/shoot_chart.h"
#include "pages/shoot/shoot_control.h"
#include "pages/wnd_ui.h"
#include "ui/color_palette.h"

namespace norvane::pages {

void RegisterPictureControls(ui::CControlFactory& factory) {
    factory.Register<CCircleProgressUI>("CCircleProgressUI");
    factory.Register<CChartViewUI>("CChartViewUI");
    factory.Register<CWndUI>("CWndUI");
    factory.Register<CSelectPanelUI>("CSelectPanelUI");
    factory.Register<CDeviceKeyButtonUI>("CDeviceKeyButtonUI");
    factory.Register<CHandImgButtonUI>("CHandImgButtonUI");
    factory.Register<CHandImgSelectButtonUI>("CHandImgSelectButtonUI");
    factory.Register<CAudioRecordUI>("CAudioRecordUI");
    factory.Register<CMagicControlUI>("CMagicControlUI");
    factory.Register<CMacroControlUI>("CMacroControlUI");
    factory.Register<CComboEditContainerElementUI>("CComboEditContainerElementUI");
    factory.Register<CRedioMacroButtonUI>("CRedioMacroButtonUI");
    factory.Register<CKeySetControlUI>("CKeySetControlUI");
    factory.Register<CShootControlUI>("CShootControlUI");
    factory.Register<CShootChartUI>("CShootChartUI");
    factory.Register<CLightControlUI>("CLightControlUI");
}

}  // namespace norvane::pages

namespace norvane::pages {

void FillPreviewData(ui::CControlUI& root) {
    // A picture with "light_" buttons lights only those and marks its "key_" buttons; a
    // picture without lights lights and marks its key buttons.
    bool hasLights = false;
    root.ForEach([&](ui::CControlUI& c) {
        if (dynamic_cast<CDeviceKeyButtonUI*>(&c) != nullptr && c.GetName().starts_with("light_")) {
            hasLights = true;
        }
    });
    int left = 1 << 30;
    int right = -(1 << 30);
    root.ForEach([&](ui::CControlUI& c) {
        if (dynamic_cast<CDeviceKeyButtonUI*>(&c) != nullptr) {
            left = std::min(left, c.GetPos().left);
            right = std::max(right, c.GetPos().right);
        }
    });
    int span = std::max(1, right - left);
    int index = 0;
    root.ForEach([&](ui::CControlUI& c) {
        auto* key = dynamic_cast<CDeviceKeyButtonUI*>(&c);
        if (key == nullptr) {
            return;
        }
        bool isLight = c.GetName().starts_with("light_");
        if (!hasLights || isLight) {
            int hue = (c.GetPos().Center().x - left) * 300 / span;
            ui::Color argb = ui::CColorPaletteUI::HsvToArgb(hue, 230, 255);
            std::uint32_t red = (argb >> 16U) & 0xFFU;
            std::uint32_t green = (argb >> 8U) & 0xFFU;
            std::uint32_t blue = argb & 0xFFU;
            key->SetLightOverlay(red | (blue << 8U) | (green << 16U), 150, true);
        }
        if (!isLight) {
            key->SetKeySetHidden(index % 5 == 3 ? 0 : 1);
            ++index;
        }
    });
    root.ForEach([](ui::CControlUI& c) {
        if (auto* bars = dynamic_cast<CAudioRecordUI*>(&c)) {
            std::vector<std::int32_t> levels(CAudioRecordUI::kSampleCount);
            for (std::size_t i = 0; i < levels.size(); ++i) {
                double t = static_cast<double>(i);
                double v = 0.55 + 0.25 * std::sin(t / 9.0) + 0.15 * std::sin(t / 2.3) * std::cos(t / 17.0);
                levels[i] = static_cast<std::int32_t>(std::clamp(v, 0.05, 1.0) * CAudioRecordUI::kFullScale);
            }
            bars->SetSamples(levels);
        } else if (auto* chart = dynamic_cast<CChartViewUI*>(&c);
                   chart != nullptr && chart->Items().empty()) {
            chart->AddItem("WASD", 46);
            chart->AddItem("Space", 21);
            chart->AddItem("Mouse", 18);
            chart->AddItem("Other", 15);
        }
    });
}

}  // namespace norvane::pages
