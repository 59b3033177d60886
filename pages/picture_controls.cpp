#include "pages/picture_controls.h"

#include "pages/audio_record.h"
#include "pages/chart_view.h"
#include "pages/circle_progress.h"
#include "pages/device_key_button.h"
#include "pages/hand_img_button.h"
#include "pages/hand_img_select_button.h"
#include "pages/magic_control.h"
#include "pages/select_panel.h"
#include "pages/wnd_ui.h"

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
}

}  // namespace norvane::pages
