// The main window's colour palette and music lighting windows.
#include "config/strings.h"
#include "devices/mouse/mouse_device.h"
#include "pages/palette/color_select_wnd.h"
#include "platform/diag.h"
#include "platform/paths.h"
#include "shell/main_wnd/main_wnd.h"

namespace norvane::shell {

void CMainWnd::OpenDpiPalette(const ui::CControlUI& swatch) {
    if (paletteWnd_ != nullptr) {
        return;
    }
    auto* mouse = dynamic_cast<devices::CTarnexMouseDevice*>(CurrentDevice());
    const std::optional<config::IndexedName> indexed = config::SplitIndexedName(swatch.GetName());
    if (mouse == nullptr || !indexed || indexed->number < 0 ||
        indexed->number >= devices::CTarnexMouseDevice::kStageCount) {
        return;
    }
    const int stage = static_cast<int>(indexed->number);
    // The swatch shows the stage's colour.
    const ui::Color start = swatch.GetBkColor();

    pages::CColorSelectWnd window(platform::UserDataFolder() / pages::CColorSelectWnd::kFileName,
                                  options_.defaultData / pages::CColorSelectWnd::kFileName);
    if (!window.Create(this, "PalletDialog", {800, 572})) {
        platform::diag::Trace("palette window: the layout cannot be built");
        return;
    }
    paletteWnd_ = &window;
    window.SetScale(pm_.GetDPI());
    window.SetColor(start);
    window.EnableSevenColor(false);
    window.CenterWindow();
    const int result = window.ShowModal();
    paletteWnd_ = nullptr;
    if (result != pages::CColorSelectWnd::kConfirmed) {
        return;
    }
    std::vector<config::DpiStage> stages = mouse->GetDpiStages();
    if (static_cast<int>(stages.size()) < stage + 1) {
        stages.resize(static_cast<std::size_t>(stage) + 1);
        mouse->SetDpiStages(std::move(stages));
    }
    // Shows the swatch, saves the profile and writes the settings.
    mouse->SetStageColour(stage, window.GetColor() & 0x00FFFFFFU);
}

void CMainWnd::OpenMusicWindow() {
    music_.OpenWindow(*this);
}

}  // namespace norvane::shell
