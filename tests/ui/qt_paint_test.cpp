// Images as the Qt renderer draws them: tiling with odd source rectangles, the fore images of
// buttons and sliders, the slider's thumb images per state, the shared paint cache, and menus
// drawn without being shown.
#include <QImage>
#include <QPainter>

#include "tests/ui/qt_fixture.h"
#include "ui/button.h"
#include "ui/menu.h"
#include "ui/qt/qt_renderer.h"
#include "ui/slider.h"

namespace norvane::ui::qt::test {
namespace {

class QtPaintTest : public QtTest {
protected:
    QtPaintTest() {
        for (const auto& [name, color] :
             {std::pair{"red.png", Qt::red}, std::pair{"green.png", Qt::green},
              std::pair{"blue.png", Qt::blue}, std::pair{"yellow.png", Qt::yellow}}) {
            QImage image(8, 8, QImage::Format_ARGB32);
            image.fill(color);
            image.save(QString::fromStdString((dir_ / name).string()));
        }
    }
    static QRgb At(const QImage& image, Point pt) { return image.pixel(pt.x, pt.y); }
};

TEST_F(QtPaintTest, TiledImagesWithASourceOutsideTheImageDrawNothingAndReturn) {
    struct Case {
        const char* image;
        bool drawn;
    };
    const Case cases[] = {
        {"file='red.png' source='20,20,30,30' xtiled='true'", false},
        {"file='red.png' source='0,20,8,30' ytiled='true'", false},
        {"file='red.png' source='8,0,16,8' xtiled='true' ytiled='true'", false},
        {"file='red.png' source='0,0,4,4' xtiled='true' ytiled='true'", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image);
        QImage target(40, 40, QImage::Format_ARGB32_Premultiplied);
        target.fill(Qt::black);
        {
            QPainter painter(&target);
            QtRenderer renderer(painter, platform_.Resources());
            EXPECT_EQ(renderer.DrawImage({0, 0, 40, 40}, c.image, nullptr), c.drawn);
        }
        EXPECT_EQ(target.pixel(35, 35), c.drawn ? qRgb(255, 0, 0) : qRgb(0, 0, 0));
    }
}

TEST_F(QtPaintTest, ButtonAndSliderDrawTheirForeAndStateThumbImages) {
    Layout("images.xml",
           R"(<Window size="200,120"><VerticalLayout name="root" bkcolor="#FF000000" inset="10,10,10,10">
  <Button name="btn" height="30" foreimage="file='red.png' dest='0,0,8,8'"/>
  <Control height="20"/>
  <Slider name="slider" height="20" width="160" value="50" foreimage="blue.png" thumbsize="10,10"
          thumbimage="red.png" thumbhotimage="green.png" thumbpushedimage="yellow.png"/>
  <Control name="space"/>
</VerticalLayout></Window>)");
    QtWindow w("images.xml");
    ASSERT_TRUE(w.Create(nullptr, "images"));
    QtHostWidget* host = ShowAndWait(w);
    auto* button = dynamic_cast<CButtonUI*>(w.FindControl("btn"));
    auto* slider = dynamic_cast<CSliderUI*>(w.FindControl("slider"));
    ASSERT_TRUE(button != nullptr && slider != nullptr);
    Rect b = button->GetPos();
    Rect thumb = slider->GetThumbRect();
    Point thumbCentre = thumb.Center();
    Point filled{slider->GetPos().left + 5, slider->GetPos().Center().y};

    QImage shot = RenderWindow(w);
    EXPECT_EQ(At(shot, {b.left + 3, b.top + 3}), qRgb(255, 0, 0));
    EXPECT_EQ(At(shot, filled), qRgb(0, 0, 255));
    EXPECT_EQ(At(shot, thumbCentre), qRgb(255, 0, 0));

    // Hot thumb while the mouse is over the slider, pushed thumb while it is pressed.
    QTest::mouseMove(host->windowHandle(), CenterOf(w, "space"));
    QTest::mouseMove(host->windowHandle(), QPoint(thumbCentre.x, thumbCentre.y));
    EXPECT_EQ(At(RenderWindow(w), thumbCentre), qRgb(0, 255, 0));
    QTest::mousePress(host->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(thumbCentre.x, thumbCentre.y));
    EXPECT_EQ(At(RenderWindow(w), slider->GetThumbRect().Center()), qRgb(255, 255, 0));
    QTest::mouseRelease(host->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(thumbCentre.x, thumbCentre.y));
    std::filesystem::create_directories(NORVANE_SHOTS_DIR);
    RenderWindow(w).save(QString::fromStdString(NORVANE_SHOTS_DIR "/fore_and_thumb_images.png"));

    // Images set by code; an empty fore image clears it.
    slider->SetThumbImage("blue.png");
    slider->SetThumbHotImage("");
    button->SetForeImage("");
    QTest::mouseMove(host->windowHandle(), CenterOf(w, "space"));
    shot = RenderWindow(w);
    EXPECT_EQ(At(shot, {b.left + 3, b.top + 3}), qRgb(0, 0, 0));
    EXPECT_EQ(At(shot, slider->GetThumbRect().Center()), qRgb(0, 0, 255));
}

TEST_F(QtPaintTest, TheSharedPaintCacheIsEmptiedWithItsPlatform) {
    {
        QtPlatform platform;
        platform.Resources().SetSkinFolder(dir_.Path());
        QImage target(8, 8, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&target);
        QtRenderer renderer(painter, platform.Resources());
        ASSERT_TRUE(renderer.DrawImage({0, 0, 8, 8}, "red.png", nullptr));
        renderer.DrawText({0, 0, 8, 8}, "x", FontSpec{}, 0xFFFFFFFFU, kAlignLeft);
        EXPECT_FALSE(SharedPaintCache().IsEmpty());
    }
    // Pixmaps and fonts must not outlive the application that made them.
    EXPECT_TRUE(SharedPaintCache().IsEmpty());
}

TEST_F(QtPaintTest, AMenuIsDrawnWithEverySubMenuOpenBesideIt) {
    const std::vector<MenuItem> flat = ParseMenu(
        R"(<Menu><MenuElement name="a" text="Settings"/><MenuSeparator/><MenuElement name="b" text="Exit"/></Menu>)",
        platform_.Resources());
    const std::vector<MenuItem> nested = ParseMenu(R"(<Menu><MenuElement name="a" text="Settings"/>
        <MenuElement name="p" text="Insert"><MenuElement name="c" text="Click"/><MenuElement name="d" text="Press"/>
        </MenuElement><MenuElement name="q" text="Record"><MenuElement name="e" text="Now"/></MenuElement></Menu>)",
                                                   platform_.Resources());
    ASSERT_EQ(flat.size(), 3U);
    ASSERT_EQ(nested.size(), 3U);
    QImage one = RenderMenu(flat);
    QImage three = RenderMenu(nested);
    ASSERT_FALSE(one.isNull());
    EXPECT_GT(one.height(), 40);
    // Two sub-menus stacked right of the top level: wider, and drawn (menu colour) right and low.
    EXPECT_GT(three.width(), one.width() + 40);
    const QRgb menu = 0xFF1B1E24U;
    EXPECT_EQ(one.pixel(one.width() / 2, 2), menu);
    int topRight = 1;  // the top-level menu's right border
    while (topRight < three.width() && three.pixel(topRight, 2) == menu) {
        ++topRight;
    }
    int subMenuRows = 0;
    for (int y = 0; y < three.height(); ++y) {
        subMenuRows += three.pixel(std::min(three.width() - 1, topRight + 12), y) == menu ? 1 : 0;
    }
    EXPECT_GT(subMenuRows, one.height()) << "both sub-menus drawn";
}

}  // namespace
}  // namespace norvane::ui::qt::test
