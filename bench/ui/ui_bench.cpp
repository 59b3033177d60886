// Layout and paint of a device page with 170 key buttons whose light colours all change every
// frame, painted with the Qt backend offscreen; plus the memory that window takes.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <fstream>
#include <memory>
#include <string>

#include "pages/device_key_button.h"
#include "pages/picture_controls.h"
#include "ui/qt/qt_host_widget.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/qt_renderer.h"
#include "ui/window.h"

namespace {

using norvane::pages::CDeviceKeyButtonUI;
namespace ui = norvane::ui;

constexpr int kKeys = 170;

QApplication& App() {
    static int argc = 1;
    static char name[] = "norvane_ui_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ui::qt::QtPlatform::MakeProcessDpiAware();
    static QApplication app(argc, argv);
    return app;
}

// A 1000 x 640 page: title, a picture panel of 170 captioned keys (10 rows of 17), side panel.
std::string PageLayout() {
    std::string keys;
    for (int i = 0; i < kKeys; ++i) {
        int x = 8 + (i % 17) * 38;
        int y = 8 + (i / 17) * 38;
        keys += "<DeviceKeyButton name=\"key_" + std::to_string(i) + "\" float=\"true\" pos=\"" +
                std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(x + 34) + "," +
                std::to_string(y + 34) + "\" text=\"K" + std::to_string(i) +
                "\" bkcolor=\"#FF262A32\" borderround=\"4\" bordersize=\"1\" bordercolor=\"#FF2E333C\" "
                "font=\"1\"/>";
    }
    return R"(<Window size="1000,640"><Font id="0" name="Korvalis" size="12" default="true"/>
      <Font id="1" name="Korvalis" size="11"/>
      <VerticalLayout name="root" bkcolor="#FF121418">
        <HorizontalLayout height="40" bkcolor="#FF1B1E24" inset="16,0,16,0"><Label text="NORVANE" width="200"/></HorizontalLayout>
        <HorizontalLayout inset="16,16,16,16" childpadding="16">
          <SelectPanel name="device_key_light" width="660" bkcolor="#FF1B1E24" borderround="8">)" +
           keys + R"(</SelectPanel>
          <VerticalLayout bkcolor="#FF1B1E24" borderround="8" inset="16,16,16,16" childpadding="8">
            <Label text="Brightness" height="20"/><Slider min="0" max="100" value="70" height="20" bkcolor="#FF30353F" forecolor="#FF00B8A9"/>
            <Button text="Save" height="28" bkcolor="#FF00B8A9"/>
          </VerticalLayout>
        </HorizontalLayout>
      </VerticalLayout></Window>)";
}

class PageWindow : public ui::WindowImplBase {
public:
    explicit PageWindow(std::string file) : file_(std::move(file)) {}
    std::string GetSkinFile() const override { return file_; }
    std::string_view GetWindowClassName() const override { return "BenchPage"; }

private:
    std::string file_;
};

struct Fixture {
    Fixture() {
        App();
        ui::SetCurrentPlatform(&platform);
        norvane::pages::RegisterPictureControls(ui::CControlFactory::Instance());
        folder = std::filesystem::temp_directory_path() / ("norvane-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "page.xml") << PageLayout();
        platform.Resources().SetSkinFolder(folder);
    }
    ~Fixture() {
        ui::SetCurrentPlatform(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    ui::qt::QtPlatform platform;
    std::filesystem::path folder;
};

// Bytes handed out by the heap right now.
double HeapBytes() {
    return static_cast<double>(mallinfo2().uordblks);
}

std::vector<CDeviceKeyButtonUI*> Keys(PageWindow& w) {
    std::vector<CDeviceKeyButtonUI*> keys;
    for (int i = 0; i < kKeys; ++i) {
        keys.push_back(dynamic_cast<CDeviceKeyButtonUI*>(w.FindControl("key_" + std::to_string(i))));
    }
    return keys;
}

void BM_LayoutAndPaint170Keys(benchmark::State& state) {
    Fixture f;
    PageWindow w("page.xml");
    if (!w.Create(nullptr, "bench")) {
        state.SkipWithError("layout not built");
        return;
    }
    auto keys = Keys(w);
    QImage frame(1000, 640, QImage::Format_ARGB32_Premultiplied);
    auto& pm = w.PaintManager();
    std::uint32_t tick = 0;
    for (auto _ : state) {
        ++tick;
        for (int i = 0; i < kKeys; ++i) {
            std::uint32_t c = (tick * 7 + static_cast<std::uint32_t>(i) * 13) & 0xFFU;
            keys[static_cast<std::size_t>(i)]->SetLightOverlay(
                c | ((255 - c) << 8U) | ((c * 3 & 0xFFU) << 16U), 200, true);
        }
        pm.NeedUpdate();
        pm.UpdateLayout();
        QPainter painter(&frame);
        ui::qt::QtRenderer renderer(painter, pm.Resources());
        pm.Paint(renderer, {0, 0, 1000, 640});
        painter.end();
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["keys"] = kKeys;
}
BENCHMARK(BM_LayoutAndPaint170Keys)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same frames through the window's host widget on the offscreen platform: the lights change,
// the widget repaints its invalidated area at once (Qt's backing store included).
void BM_HostWidgetRepaint170Keys(benchmark::State& state) {
    Fixture f;
    PageWindow w("page.xml");
    if (!w.Create(nullptr, "bench")) {
        state.SkipWithError("layout not built");
        return;
    }
    auto* host = dynamic_cast<QWidget*>(w.Host());
    if (host == nullptr) {
        state.SkipWithError("no host widget");
        return;
    }
    w.ShowWindow(true);
    QApplication::processEvents();
    auto keys = Keys(w);
    std::uint32_t tick = 0;
    for (auto _ : state) {
        ++tick;
        for (int i = 0; i < kKeys; ++i) {
            std::uint32_t c = (tick * 5 + static_cast<std::uint32_t>(i) * 11) & 0xFFU;
            keys[static_cast<std::size_t>(i)]->SetLightOverlay(c | ((255 - c) << 8U), 200, true);
        }
        host->repaint();
    }
    w.Close(0);
}
BENCHMARK(BM_HostWidgetRepaint170Keys)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Layout alone (no painting), to separate the model's share of a frame.
void BM_LayoutOnly170Keys(benchmark::State& state) {
    Fixture f;
    PageWindow w("page.xml");
    if (!w.Create(nullptr, "bench")) {
        state.SkipWithError("layout not built");
        return;
    }
    auto& pm = w.PaintManager();
    for (auto _ : state) {
        pm.NeedUpdate();
        pm.UpdateLayout();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LayoutOnly170Keys)->Unit(benchmark::kMicrosecond);

// Heap memory a window with 170 key buttons takes, with its native widget (average over
// several windows).
void BM_WindowMemory170Keys(benchmark::State& state) {
    Fixture f;
    constexpr int kWindows = 20;
    for (auto _ : state) {
        state.PauseTiming();
        // Warm caches (fonts, factory) so they are not counted.
        {
            PageWindow warm("page.xml");
            warm.Create(nullptr, "warm");
        }
        double before = HeapBytes();
        std::vector<std::unique_ptr<PageWindow>> windows;
        for (int i = 0; i < kWindows; ++i) {
            windows.push_back(std::make_unique<PageWindow>("page.xml"));
            windows.back()->Create(nullptr, "bench");
            windows.back()->PaintManager().UpdateLayout();
        }
        double after = HeapBytes();
        state.counters["KiB_per_window"] = (after - before) / 1024.0 / kWindows;
        windows.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowMemory170Keys)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
