// The macro panel with a macro of 4000 steps (the most a macro holds): opening it, which builds
// one row per step, and laying out and painting the panel with the Qt backend offscreen.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/macro_library.h"
#include "pages/macro/macro_control.h"
#include "pages/picture_controls.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/qt_renderer.h"
#include "ui/window.h"

namespace {

namespace ui = norvane::ui;
using norvane::config::MacroEvent;
using norvane::pages::CMacroControlUI;

QApplication& App() {
    static int argc = 1;
    static char name[] = "norvane_macro_list_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication app(argc, argv);
    return app;
}

class PanelWindow : public ui::WindowImplBase {
public:
    std::string GetSkinFile() const override { return "bench_panel.xml"; }
    std::string_view GetWindowClassName() const override { return "BenchMacroPanel"; }
};

struct Fixture {
    Fixture() {
        App();
        ui::SetCurrentPlatform(&platform);
        norvane::pages::RegisterPictureControls(ui::CControlFactory::Instance());
        folder =
            std::filesystem::temp_directory_path() / ("norvane-macro-bench-" + std::to_string(::getpid()));
        const std::filesystem::path skin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources/skin";
        std::filesystem::create_directories(folder / "skin/XML/CustomControlXML");
        std::filesystem::copy_file(skin / "XML/CustomControlXML/MacroControl.xml",
                                   folder / "skin/XML/CustomControlXML/MacroControl.xml");
        std::ofstream(folder / "skin/bench_panel.xml")
            << R"(<Window size="1000,560"><MacroControl name="MacroControlItem"/></Window>)";
        platform.Resources().SetSkinFolder(folder / "skin");
        platform.Resources().LoadLanguage(skin / "lan_en.xml");
        std::filesystem::create_directories(folder / "data");
        norvane::config::MacroLibrary library(folder / "data");
        library.Load();
        library.NewMacro();
        std::vector<MacroEvent> events;
        for (std::size_t i = 0; i < norvane::config::kMaxMacroEvents; ++i) {
            events.push_back(
                {10, 4 + static_cast<int>(i % 26), i % 2 == 0 ? "down" : "up", static_cast<int>(i % 500)});
        }
        library.Save(0, events);
    }
    ~Fixture() {
        ui::SetCurrentPlatform(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    ui::qt::QtPlatform platform;
    std::filesystem::path folder;
};

CMacroControlUI* OpenPanel(Fixture& f, PanelWindow& w) {
    if (!w.Create(nullptr, "bench")) {
        return nullptr;
    }
    auto* panel = dynamic_cast<CMacroControlUI*>(w.FindControl("MacroControlItem"));
    if (panel != nullptr) {
        panel->SetMacroFolder(f.folder / "data");
        panel->LoadLibrary();
    }
    return panel;
}

void BM_OpenMacro4000Steps(benchmark::State& state) {
    Fixture f;
    PanelWindow w;
    CMacroControlUI* panel = OpenPanel(f, w);
    if (panel == nullptr) {
        state.SkipWithError("panel not built");
        return;
    }
    for (auto _ : state) {
        panel->OpenMacro(0);
        benchmark::DoNotOptimize(panel->OpenIndex());
    }
    state.counters["rows"] = static_cast<double>(panel->Events().size());
}
BENCHMARK(BM_OpenMacro4000Steps)->Unit(benchmark::kMillisecond);

void BM_LayoutAndPaintMacroList4000Steps(benchmark::State& state) {
    Fixture f;
    PanelWindow w;
    CMacroControlUI* panel = OpenPanel(f, w);
    if (panel == nullptr) {
        state.SkipWithError("panel not built");
        return;
    }
    panel->OpenMacro(0);
    QImage frame(1000, 560, QImage::Format_ARGB32_Premultiplied);
    auto& pm = w.PaintManager();
    for (auto _ : state) {
        pm.NeedUpdate();
        pm.UpdateLayout();
        QPainter painter(&frame);
        ui::qt::QtRenderer renderer(painter, pm.Resources());
        pm.Paint(renderer, {0, 0, 1000, 560});
        painter.end();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_LayoutAndPaintMacroList4000Steps)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
