// The floor for bench/process: an empty 1000 x 640 Qt Widgets window and nothing else.
//   --report-shown   print "shown <monotonic seconds>" on stderr when first exposed
//   --hide-when-shown  hide the window right after it was first shown (the idle figure)
//   --animate        repaint the window at 30 Hz (the animating figure's floor)
#include "app/shown_report.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string_view>

int main(int argc, char** argv) {
    bool report = false;
    bool hide = false;
    bool animate = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        report = report || arg == "--report-shown";
        hide = hide || arg == "--hide-when-shown";
        animate = animate || arg == "--animate";
    }
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1000, 640);
    std::unique_ptr<norvane::app::ShownReport> shown;
    if (report) {
        shown = std::make_unique<norvane::app::ShownReport>([&] {
            if (hide) {
                window.hide();
            }
        });
        app.installEventFilter(shown.get());
    }
    QTimer frames;
    if (animate) {
        QObject::connect(&frames, &QTimer::timeout, &window, [&] { window.update(); });
        frames.start(33);
    }
    window.show();
    return QApplication::exec();
}
