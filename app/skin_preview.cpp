// norvane-skin-preview LAYOUT [--lang FILE] [--out PNG] [--skin DIR] [--dpi N] [--demo]
//                      [--select NAME=INDEX ...]
// Builds a skin layout and saves a screenshot of it (offscreen), or shows it in a window
// when no --out is given. The tool for authoring skins. The program's own page and panel
// classes are not linked in: device pages build on a plain layout and panels show as labelled
// boxes (preview_stand_ins.h).
#include <QApplication>
#include <QImage>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/preview_stand_ins.h"
#include "pages/picture_controls.h"
#include "platform/paths.h"
#include "ui/qt/qt_platform.h"
#include "ui/window.h"

namespace {

class PreviewWindow : public norvane::ui::WindowImplBase {
public:
    explicit PreviewWindow(std::string layout) : layout_(std::move(layout)) {}
    std::string GetSkinFile() const override { return layout_; }
    std::string_view GetWindowClassName() const override { return "SkinPreview"; }
    std::unique_ptr<norvane::ui::CControlUI> CreateControl(std::string_view tag) override {
        return norvane::app::MakePreviewStandIn(tag);
    }

private:
    std::string layout_;
};

struct Options {
    std::filesystem::path layout;
    std::filesystem::path lang;
    std::filesystem::path out;
    std::filesystem::path skin;
    std::vector<std::string> selections;  // NAME=INDEX: tab layouts to switch
    int dpi = 96;
    bool demo = false;
};

int Usage() {
    std::fputs(
        "usage: norvane-skin-preview LAYOUT [--lang FILE] [--out PNG] [--skin DIR] [--dpi N] [--demo]\n"
        "                            [--select NAME=INDEX ...]\n",
        stderr);
    return 2;
}

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto next = [&](std::filesystem::path& to) {
            if (i + 1 >= argc) {
                return false;
            }
            to = argv[++i];
            return true;
        };
        if (arg == "--lang") {
            if (!next(o.lang)) {
                return false;
            }
        } else if (arg == "--out") {
            if (!next(o.out)) {
                return false;
            }
        } else if (arg == "--skin") {
            if (!next(o.skin)) {
                return false;
            }
        } else if (arg == "--dpi") {
            if (i + 1 >= argc) {
                return false;
            }
            o.dpi = std::atoi(argv[++i]);
        } else if (arg == "--select") {
            if (i + 1 >= argc) {
                return false;
            }
            o.selections.emplace_back(argv[++i]);
        } else if (arg == "--demo") {
            o.demo = true;
        } else if (!arg.empty() && arg[0] != '-' && o.layout.empty()) {
            o.layout = arg;
        } else {
            return false;
        }
    }
    return !o.layout.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        return Usage();
    }
    if (!o.out.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    norvane::ui::qt::QtPlatform platform;
    norvane::ui::SetCurrentPlatform(&platform);
    norvane::pages::RegisterPictureControls(norvane::ui::CControlFactory::Instance());

    std::error_code ec;
    std::filesystem::path layout = std::filesystem::absolute(o.layout, ec);
    std::filesystem::path skin = o.skin.empty() ? norvane::platform::ProgramSubfolder("skin") : o.skin;
    // A layout outside the program's skin folder brings its own folder as the skin root.
    auto rel = std::filesystem::relative(layout, std::filesystem::weakly_canonical(skin, ec), ec);
    if (o.skin.empty() && (rel.empty() || rel.native().starts_with(".."))) {
        skin = layout.parent_path();
    }
    platform.Resources().SetSkinFolder(skin);
    platform.AddPrivateFonts(norvane::platform::ProgramSubfolder("Font"));
    if (!o.lang.empty() && !platform.Resources().LoadLanguage(o.lang)) {
        std::fprintf(stderr, "cannot read language file %s\n", o.lang.string().c_str());
        return 1;
    }
    PreviewWindow window(layout.string());
    if (!window.Create(nullptr, "")) {
        std::fprintf(stderr, "cannot build layout %s\n", layout.string().c_str());
        return 1;
    }
    window.SetDPI(o.dpi);
    for (const std::string& selection : o.selections) {
        if (!norvane::app::SelectTab(window.PaintManager(), selection)) {
            static_cast<void>(
                std::fprintf(stderr, "cannot select %s (want TABLAYOUT=INDEX)\n", selection.c_str()));
            return 1;
        }
    }
    window.PaintManager().UpdateLayout();
    if (o.demo && window.PaintManager().GetRoot() != nullptr) {
        norvane::pages::FillPreviewData(*window.PaintManager().GetRoot());
    }
    int controls = 0;
    if (auto* root = window.PaintManager().GetRoot()) {
        root->ForEach([&controls](norvane::ui::CControlUI&) { ++controls; });
    }
    if (!o.out.empty()) {
        QImage image = norvane::ui::qt::RenderWindow(window);
        if (!image.save(QString::fromStdString(o.out.string()))) {
            std::fprintf(stderr, "cannot write %s\n", o.out.string().c_str());
            return 1;
        }
        std::printf("%s: %dx%d, %d controls\n", o.out.string().c_str(), image.width(), image.height(),
                    controls);
        return 0;
    }
    window.CenterWindow();
    window.ShowWindow(true);
    return QApplication::exec();
}
