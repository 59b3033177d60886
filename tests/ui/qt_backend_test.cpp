#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "pages/picture_controls.h"
#include "pages/wnd_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/qt_fixture.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/messages.h"
#include "ui/qt/qt_host_widget.h"
#include "ui/qt/qt_native_child.h"
#include "ui/qt/qt_platform.h"
#include "ui/window.h"

namespace norvane::ui::qt {
namespace {

using test::QtWindow;

class QtBackendTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureApplication();
        app_ = qApp;
    }
    QtBackendTest() {
        SetCurrentPlatform(&platform_);
        pages::RegisterPictureControls(CControlFactory::Instance());
    }
    ~QtBackendTest() override { SetCurrentPlatform(nullptr); }

    // Processes Qt events until pred holds or two seconds pass.
    template <typename Pred>
    bool SpinUntil(Pred pred) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!pred() && std::chrono::steady_clock::now() < deadline) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return pred();
    }
    static void Press(QWidget* w, QPoint pt, QEvent::Type type = QEvent::MouseButtonPress) {
        QMouseEvent e(type, QPointF(pt), w->mapToGlobal(QPointF(pt)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void ClickAt(QWidget* w, QPoint pt) {
        Press(w, pt);
        Press(w, pt, QEvent::MouseButtonRelease);
    }
    static QPoint CenterOf(WindowImplBase& w, std::string_view name) {
        Point c = w.FindControl(name)->GetPos().Center();
        return {c.x, c.y};
    }

    static QApplication* app_;
    QtPlatform platform_;
    norvane::test::TempDir dir_;
};

QApplication* QtBackendTest::app_ = nullptr;

// Share of pixels in r whose luminance differs from the background by more than 60.
double InkShare(const QImage& image, QRect r, QColor background) {
    int ink = 0;
    int total = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            QColor c = image.pixelColor(x, y);
            ink += std::abs(c.lightness() - background.lightness()) > 60 ? 1 : 0;
            ++total;
        }
    }
    return total > 0 ? static_cast<double>(ink) / total : 0.0;
}

TEST_F(QtBackendTest, GalleryScreenshotsInBothLanguages) {
    const std::filesystem::path skin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";
    platform_.Resources().SetSkinFolder(skin);
    std::filesystem::create_directories(NORVANE_SHOTS_DIR);
    for (const char* lang : {"en", "cn"}) {
        ASSERT_TRUE(
            platform_.Resources().LoadLanguage(skin / "gallery" / (std::string("lang_") + lang + ".xml")));
        QtWindow w("gallery/gallery.xml");
        ASSERT_TRUE(w.Create(nullptr, ""));
        w.PaintManager().UpdateLayout();
        pages::FillPreviewData(*w.PaintManager().GetRoot());
        QImage shot = RenderWindow(w);
        ASSERT_EQ(shot.size(), QSize(1000, 640));
        auto file = std::filesystem::path(NORVANE_SHOTS_DIR) / (std::string("gallery_") + lang + ".png");
        ASSERT_TRUE(shot.save(QString::fromStdString(file.string())));

        EXPECT_EQ(shot.pixelColor(3, 120).rgba(), 0xFF121418U);  // window background
        Rect save = w.FindControl("key_butt_prosave")->GetPos();
        EXPECT_EQ(shot.pixelColor(save.left + 4, save.top + save.Height() / 2).rgba(), 0xFF00B8A9U);
        // A lit key shows its light colour, not the plain key colour.
        Rect key = w.FindControl("key_5")->GetPos();
        EXPECT_NE(shot.pixelColor(key.left + 5, key.bottom - 5).rgba(), 0xFF262A32U);
        // Text really is drawn: the title and a button caption have ink on them.
        Rect title = w.FindControl("app_title")->GetPos();
        EXPECT_GT(InkShare(shot, QRect(title.left, title.top, title.Width(), title.Height()),
                           QColor(0x1B, 0x1E, 0x24)),
                  0.03);
        Rect reset = w.FindControl("reset_btn")->GetPos();
        EXPECT_GT(
            InkShare(shot, QRect(reset.left + 8, reset.top + 6, reset.Width() - 16, reset.Height() - 12),
                     QColor(0x26, 0x2A, 0x32)),
            0.02);
    }
}

constexpr const char* kSmall =
    R"(<Window size="320,200"><VerticalLayout name="root" bkcolor="#FF121418" inset="8,8,8,8" childpadding="8">
  <Button name="btn" text="Go" height="28"/>
  <Edit name="edit" height="28" numberonly="true" maxchar="3"/>
  <Combo name="combo" height="28"><ListLabelElement text="a"/><ListLabelElement text="b"/><ListLabelElement text="c"/></Combo>
</VerticalLayout></Window>)";

TEST_F(QtBackendTest, HostWidgetTranslatesMouseKeyboardAndPopups) {
    platform_.Resources().SetSkinFolder(dir_.Path());
    std::ofstream(dir_ / "small.xml") << kSmall;
    QtWindow w("small.xml");
    ASSERT_TRUE(w.Create(nullptr, "small"));
    auto* host = dynamic_cast<QtHostWidget*>(w.Host());
    ASSERT_NE(host, nullptr);
    w.ShowWindow(true);
    ASSERT_TRUE(SpinUntil([&] { return host->isVisible(); }));
    w.PaintManager().UpdateLayout();

    ClickAt(host, CenterOf(w, "btn"));
    EXPECT_TRUE(w.Saw("click:btn"));

    // The native entry covers the focused edit and keeps its limits.
    ClickAt(host, CenterOf(w, "edit"));
    auto* line = host->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(line->maxLength(), 3);
    Rect er = w.FindControl("edit")->GetPos();
    EXPECT_TRUE(QRect(er.left, er.top, er.Width(), er.Height()).contains(line->geometry()));
    for (QChar ch : QStringLiteral("4x567")) {
        QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(line, &e);
    }
    EXPECT_EQ(w.FindControl("edit")->GetText(), "456");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(line, &enter);
    EXPECT_TRUE(w.Saw("return:edit"));
    EXPECT_TRUE(w.Saw("textchanged:edit"));

    // The combo opens a pop-up list; releasing on its second row selects "b".
    ClickAt(host, CenterOf(w, "combo"));
    EXPECT_FALSE(line->isVisible());
    EXPECT_TRUE(w.Saw("killfocus:edit"));
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    std::filesystem::create_directories(NORVANE_SHOTS_DIR);
    EXPECT_TRUE(popup->grab().save(QString::fromStdString(NORVANE_SHOTS_DIR "/combo_popup.png")));
    EXPECT_TRUE(host->grab().save(QString::fromStdString(NORVANE_SHOTS_DIR "/host_widget.png")));
    Press(popup, QPoint(20, 1 + 30 + 15), QEvent::MouseButtonRelease);
    EXPECT_EQ(w.lastIndex, 1);
    EXPECT_EQ(dynamic_cast<CComboUI*>(w.FindControl("combo"))->GetText(), "b");
    EXPECT_TRUE(SpinUntil([] { return QApplication::activePopupWidget() == nullptr; }));
    w.Close(0);
}

TEST_F(QtBackendTest, TimersPostsFromThreadsAndModalRunsUseTheQtLoop) {
    platform_.Resources().SetSkinFolder(dir_.Path());
    std::ofstream(dir_ / "small.xml") << kSmall;
    QtWindow w("small.xml");
    ASSERT_TRUE(w.Create(nullptr, "small"));
    w.FindControl("btn")->SetTimer(3, 15);
    EXPECT_TRUE(SpinUntil([&] { return w.Saw("timer:btn"); }));
    w.FindControl("btn")->KillTimer(3);

    std::thread poster([&w] {
        for (int i = 0; i < 50; ++i) {
            w.PostMessage(kWmUser + 5, i);
        }
    });
    poster.join();
    ASSERT_TRUE(SpinUntil([&] { return w.Params(kWmUser + 5).size() == 50; }));
    const std::vector<std::intptr_t> posted = w.Params(kWmUser + 5);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(posted[static_cast<std::size_t>(i)], i);
    }

    QTimer::singleShot(20, [&w] { w.Close(5); });
    EXPECT_EQ(w.ShowModal(), 5);
    EXPECT_FALSE(w.IsWindowVisible());
}

TEST_F(QtBackendTest, CarriedWidgetSitsOverItsControlAndGoesWithItsCarrierOrHost) {
    platform_.Resources().SetSkinFolder(dir_.Path());
    std::ofstream(dir_ / "wnd.xml")
        << R"(<Window size="300,200"><VerticalLayout name="root" inset="10,20,10,10">
        <Container name="holder"><Wnd name="wnd"/></Container></VerticalLayout></Window>)";
    auto w = std::make_unique<QtWindow>("wnd.xml");
    ASSERT_TRUE(w->Create(nullptr, "wnd"));
    auto* host = dynamic_cast<QtHostWidget*>(w->Host());
    ASSERT_NE(host, nullptr);
    w->PaintManager().UpdateLayout();
    auto* wnd = dynamic_cast<pages::CWndUI*>(w->FindControl("wnd"));
    ASSERT_NE(wnd, nullptr);

    auto label = std::make_unique<QLabel>(QStringLiteral("native"));
    QLabel* raw = label.get();
    QPointer<QLabel> shown(raw);
    auto child = std::make_unique<QtNativeChild>(std::move(label), host);
    wnd->Attach(child.get());
    EXPECT_EQ(raw->parentWidget(), host);
    EXPECT_EQ(raw->geometry(), QRect(10, 20, 280, 170));
    w->FindControl("holder")->SetVisible(false);
    EXPECT_TRUE(raw->isHidden());
    w->FindControl("holder")->SetVisible(true);
    EXPECT_FALSE(raw->isHidden());
    // The carrier goes first: the widget goes with it.
    wnd->Detach();
    child.reset();
    EXPECT_TRUE(shown.isNull());

    // The window goes first: its host takes the widget along and the carrier is left empty.
    child = std::make_unique<QtNativeChild>(std::make_unique<QLabel>(QStringLiteral("again")), host);
    wnd->Attach(child.get());
    QPointer<QWidget> again(child->Widget());
    ASSERT_FALSE(again.isNull());
    w.reset();
    EXPECT_TRUE(again.isNull());
    EXPECT_EQ(child->Widget(), nullptr);
    child.reset();
}

TEST_F(QtBackendTest, PrivateFontsLoadFromAFolderAndBadFilesAreSkipped) {
    // Any font file the machine has stands in for the program's own.
    std::filesystem::path font;
    for (const char* candidate : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                  "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"}) {
        if (std::filesystem::exists(candidate)) {
            font = candidate;
            break;
        }
    }
    if (font.empty()) {
        GTEST_SKIP() << "no font file on this machine";
    }
    std::filesystem::create_directories(dir_ / "Font");
    std::filesystem::copy_file(font, dir_ / "Font" / "Korvalis-Regular.ttf");
    std::ofstream(dir_ / "Font" / "broken.otf") << "not a font";
    std::ofstream(dir_ / "Font" / "notes.txt") << "ignored";
    EXPECT_EQ(platform_.AddPrivateFonts(dir_ / "Font"), 1);
    EXPECT_FALSE(platform_.AddPrivateFont(dir_ / "Font" / "broken.otf"));
    EXPECT_EQ(platform_.AddPrivateFonts(dir_ / "missing"), 0);
}

TEST_F(QtBackendTest, FileDialogFiltersReadAsQtFilters) {
    EXPECT_EQ(ToQtFilter("Profile Files(*.json)|*.json|"), QStringLiteral("Profile Files (*.json)"));
    EXPECT_EQ(ToQtFilter("(*.png) | *.png |(*.*)|*.*||"), QStringLiteral("*.png (*.png);;*.* (*.*)"));
    EXPECT_EQ(ToQtFilter(""), QString());
}

}  // namespace
}  // namespace norvane::ui::qt

// fontconfig keeps its caches until exit; those are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
