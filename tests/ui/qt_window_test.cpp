// What the Qt host reports to its window (activation, hover, screen changes), inactive
// showing, self-destroying windows, the process-wide scale and window ownership.
#include <QImage>
#include <QScreen>
#include <memory>

#include "tests/ui/qt_fixture.h"
#include "ui/messages.h"

namespace norvane::ui::qt::test {
namespace {

constexpr const char* kPanel =
    R"(<Window size="300,200"><VerticalLayout name="root" bkcolor="#FF1B1E24" inset="10,10,10,10" childpadding="10">
  <Slider name="slider" height="20" min="0" max="100" value="0"/>
  <Button name="btn" text="Go" height="28"/>
  <Control name="space"/>
</VerticalLayout></Window>)";

// Closes and destroys itself (through its holder) when it stops being the active window.
class SelfClosingWindow : public QtWindow {
public:
    SelfClosingWindow(std::unique_ptr<SelfClosingWindow>& holder, bool& hiddenFirst)
        : QtWindow("panel.xml"), holder_(holder), hiddenFirst_(hiddenFirst) {}
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override {
        if (msg == kWmActivate && wparam == 0) {
            DestroyWindow();
            // Still alive while its own handler runs.
            EXPECT_FALSE(IsWindowVisible());
        }
        return QtWindow::HandleCustomMessage(msg, wparam, lparam, handled);
    }

protected:
    void OnFinalMessage() override {
        hiddenFirst_ = !IsWindowVisible();
        holder_.reset();
    }

private:
    std::unique_ptr<SelfClosingWindow>& holder_;
    bool& hiddenFirst_;
};

class QtWindowTest : public QtTest {
protected:
    QtWindowTest() { Layout("panel.xml", kPanel); }
    static bool Heard(const QtWindow& w, unsigned msg, std::intptr_t wparam) {
        auto params = w.Params(msg);
        return std::find(params.begin(), params.end(), wparam) != params.end();
    }
};

TEST_F(QtWindowTest, ActivationAndMouseHoverReachTheWindow) {
    QtWindow a("panel.xml");
    QtWindow b("panel.xml");
    ASSERT_TRUE(a.Create(nullptr, "a"));
    ASSERT_TRUE(b.Create(nullptr, "b"));
    QtHostWidget* hostA = ShowAndWait(a);
    ASSERT_TRUE(QTest::qWaitForWindowActive(hostA));
    EXPECT_TRUE(Heard(a, kWmActivate, 1));

    QtHostWidget* hostB = ShowAndWait(b);
    ASSERT_TRUE(QTest::qWaitForWindowActive(hostB));
    EXPECT_TRUE(Heard(b, kWmActivate, 1));
    EXPECT_TRUE(SpinUntil([&] { return Heard(a, kWmActivate, 0); }));
    EXPECT_EQ(a.Params(kWmActivate).back(), 0);

    QTest::mouseMove(hostA->windowHandle(), CenterOf(a, "btn"));
    EXPECT_TRUE(SpinUntil([&] { return !a.Params(kWmMouseHover).empty(); }));
    EXPECT_TRUE(a.Params(kWmMouseLeave).empty());
    QTest::mouseMove(hostB->windowHandle(), CenterOf(b, "btn"));
    EXPECT_TRUE(SpinUntil([&] { return !b.Params(kWmMouseHover).empty(); }));
    // The offscreen platform does not report the mouse leaving a window: deliver the leave
    // event Qt gives a widget then.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(hostA, &leave);
    EXPECT_EQ(a.Params(kWmMouseLeave).size(), 1U);
}

TEST_F(QtWindowTest, AWindowShownWithoutActivationLeavesTheActiveWindowAlone) {
    if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
        GTEST_SKIP() << "the offscreen platform activates every window it shows (the test "
                        "QtOnX11.ShowWithoutActivation runs this on X11)";
    }
    QtWindow a("panel.xml");
    QtWindow frame("panel.xml");
    ASSERT_TRUE(a.Create(nullptr, "a"));
    ASSERT_TRUE(frame.Create(&a, "frame"));
    QtHostWidget* hostA = ShowAndWait(a);
    ASSERT_TRUE(QTest::qWaitForWindowActive(hostA));

    frame.ShowWindow(true, false);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.Widget()));
    QTest::qWait(50);
    EXPECT_TRUE(frame.IsWindowVisible());
    EXPECT_EQ(QApplication::activeWindow(), hostA);
    EXPECT_FALSE(Heard(a, kWmActivate, 0));
    EXPECT_FALSE(Heard(frame, kWmActivate, 1));
}

TEST_F(QtWindowTest, AWindowDestroysItselfWhenItStopsBeingActive) {
    QtWindow a("panel.xml");
    ASSERT_TRUE(a.Create(nullptr, "a"));
    QtHostWidget* hostA = ShowAndWait(a);
    ASSERT_TRUE(QTest::qWaitForWindowActive(hostA));

    bool hiddenFirst = false;
    std::unique_ptr<SelfClosingWindow> frame;
    frame = std::make_unique<SelfClosingWindow>(frame, hiddenFirst);
    ASSERT_TRUE(frame->Create(&a, "frame"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(ShowAndWait(*frame)));

    hostA->activateWindow();
    EXPECT_TRUE(SpinUntil([&] { return frame == nullptr; }));
    EXPECT_TRUE(hiddenFirst);
    EXPECT_TRUE(QTest::qWaitForWindowActive(hostA));
}

TEST_F(QtWindowTest, LosingActivationMidDragEndsTheDrag) {
    QtWindow a("panel.xml");
    QtWindow b("panel.xml");
    ASSERT_TRUE(a.Create(nullptr, "a"));
    ASSERT_TRUE(b.Create(nullptr, "b"));
    QtHostWidget* hostA = ShowAndWait(a);
    ASSERT_TRUE(QTest::qWaitForWindowActive(hostA));
    Rect slider = a.FindControl("slider")->GetPos();
    QPoint start(slider.left + 20, slider.Center().y);
    QTest::mousePress(hostA->windowHandle(), Qt::LeftButton, Qt::NoModifier, start);
    ASSERT_TRUE(a.Saw("movevaluechanged:slider"));

    // Another window takes over before the release comes.
    ASSERT_TRUE(QTest::qWaitForWindowActive(ShowAndWait(b)));
    b.Close();
    hostA->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(hostA));
    a.log.clear();
    // Plain hovering along the slider moves nothing.
    for (int x = slider.left + 30; x < slider.right; x += 40) {
        QTest::mouseMove(hostA->windowHandle(), QPoint(x, slider.Center().y));
    }
    EXPECT_FALSE(a.Saw("movevaluechanged:slider"));
    QTest::mouseRelease(hostA->windowHandle(), Qt::LeftButton, Qt::NoModifier, start);
}

TEST_F(QtWindowTest, ScreenScaleAndSizeChangesReachTheWindow) {
    QtWindow w("panel.xml");
    ASSERT_TRUE(w.Create(nullptr, "w"));
    QtHostWidget* host = ShowAndWait(w);
    QScreen* screen = host->screen();
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(QtHostWidget::DpiOf(screen), 96);
    Rect suggested;
    w.onMessage = [&](unsigned msg, std::intptr_t, std::intptr_t lparam) {
        if (msg == kWmDpiChanged) {
            suggested = *reinterpret_cast<const Rect*>(lparam);
        }
    };
    // What the platform reports when the screen's scale or size changes.
    emit screen->logicalDotsPerInchChanged(144.0);
    EXPECT_EQ(w.Params(kWmDpiChanged), std::vector<std::intptr_t>{144 | (144 << 16)});
    EXPECT_EQ(suggested.Width(), 450);
    EXPECT_EQ(suggested.Height(), 300);
    emit screen->logicalDotsPerInchChanged(144.0);  // no change, no message
    EXPECT_EQ(w.Params(kWmDpiChanged).size(), 1U);
    emit screen->logicalDotsPerInchChanged(96.0);

    emit screen->geometryChanged(QRect(0, 0, 2560, 1440));
    ASSERT_EQ(w.Params(kWmDisplayChange).size(), 1U);
    EXPECT_EQ(w.messages.back().lparam, 2560 | (1440 << 16));
}

TEST_F(QtWindowTest, MovingToAScreenOfAnotherScaleReportsItsDpi) {
    QScreen* wide = WideScreen();
    ASSERT_NE(wide, nullptr) << "the tests' second screen";
    QtWindow w("panel.xml");
    ASSERT_TRUE(w.Create(nullptr, "w"));
    QtHostWidget* host = ShowAndWait(w);
    ASSERT_EQ(QtHostWidget::DpiOf(host->screen()), 96);
    w.MoveWindow({wide->geometry().left() + 100, 100});
    EXPECT_TRUE(SpinUntil([&] { return !w.Params(kWmDpiChanged).empty(); }));
    EXPECT_EQ(w.Params(kWmDpiChanged), std::vector<std::intptr_t>{144 | (144 << 16)});
    w.MoveWindow({100, 100});
    EXPECT_TRUE(SpinUntil([&] { return w.Params(kWmDpiChanged).size() == 2; }));
    EXPECT_EQ(w.Params(kWmDpiChanged).back(), 96 | (96 << 16));
}

TEST_F(QtWindowTest, OnAHighDpiScreenOnlyTheToolkitScales) {
    QScreen* wide = WideScreen();
    ASSERT_NE(wide, nullptr) << "the tests' second screen";
    struct Restore {
        ~Restore() { WindowImplBase::SetAllDPI(96); }
    } restore;
    WindowImplBase::SetAllDPI(QtHostWidget::DpiOf(wide));
    QtWindow w("panel.xml");
    ASSERT_TRUE(w.Create(nullptr, "w"));
    w.MoveWindow({wide->geometry().left() + 100, 100});
    QtHostWidget* host = ShowAndWait(w);
    ASSERT_EQ(host->screen(), wide);
    // Qt does not scale on top: one toolkit pixel is one device pixel.
    EXPECT_EQ(host->devicePixelRatio(), 1.0);
    EXPECT_EQ(host->size(), QSize(450, 300));
    EXPECT_EQ(host->grab().toImage().size(), QSize(450, 300));
}

TEST_F(QtWindowTest, TheScaleForAllWindowsAppliesToLiveAndLaterWindows) {
    struct Restore {
        ~Restore() { WindowImplBase::SetAllDPI(96); }
    } restore;
    QtWindow a("panel.xml");
    ASSERT_TRUE(a.Create(nullptr, "a"));
    QtHostWidget* hostA = a.Widget();
    ASSERT_NE(hostA, nullptr);
    ASSERT_EQ(hostA->size(), QSize(300, 200));
    WindowImplBase::SetAllDPI(144);
    EXPECT_EQ(hostA->size(), QSize(450, 300));
    EXPECT_EQ(a.PaintManager().GetDPI(), 144);

    QtWindow later("panel.xml");
    ASSERT_TRUE(later.Create(&a, "later"));
    QtHostWidget* hostLater = later.Widget();
    ASSERT_NE(hostLater, nullptr);
    EXPECT_EQ(later.PaintManager().GetDPI(), 144);
    EXPECT_EQ(hostLater->size(), QSize(450, 300));
}

TEST_F(QtWindowTest, AnOwnerMayGoBeforeItsChildWindow) {
    auto owner = std::make_unique<QtWindow>("panel.xml");
    auto child = std::make_unique<QtWindow>("panel.xml");
    ASSERT_TRUE(owner->Create(nullptr, "owner"));
    ASSERT_TRUE(child->Create(owner.get(), "child"));
    QtHostWidget* ownerHost = ShowAndWait(*owner);
    QtHostWidget* childHost = ShowAndWait(*child);
    ASSERT_TRUE(ownerHost != nullptr && childHost != nullptr);
    EXPECT_EQ(childHost->windowHandle()->transientParent(), ownerHost->windowHandle());

    owner.reset();
    child->ShowWindow(false);
    child->ShowWindow(true);
    EXPECT_TRUE(child->IsWindowVisible());
    child->FindControl("btn")->SetText("still here");
    QApplication::processEvents();
    child.reset();
}

}  // namespace
}  // namespace norvane::ui::qt::test
