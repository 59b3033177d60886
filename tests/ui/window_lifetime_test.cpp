// A window that destroys itself from its own handler, on the headless backend.
#include "tests/ui/ui_fixture.h"

namespace norvane::ui::test {
namespace {

// Destroys itself (through whoever holds it) when its button is clicked.
class ClosingWindow : public RecordingWindow {
public:
    ClosingWindow(std::unique_ptr<ClosingWindow>& holder, bool& closedAtFinal)
        : RecordingWindow("window.xml"), holder_(holder), closedAtFinal_(closedAtFinal) {}
    void Notify(TNotifyUI& msg) override {
        RecordingWindow::Notify(msg);
        if (msg.type == "click") {
            DestroyWindow();
            handlerReturned = true;  // still alive here
        }
    }
    bool handlerReturned = false;

protected:
    void OnFinalMessage() override {
        closedAtFinal_ = IsClosed() && !IsWindowVisible();
        holder_.reset();
    }

private:
    std::unique_ptr<ClosingWindow>& holder_;
    bool& closedAtFinal_;
};

using WindowLifetimeTest = UiFixture;

TEST_F(WindowLifetimeTest, AWindowDestroysItselfOnceItsHandlerHasReturned) {
    WriteSkin(
        "window.xml",
        R"(<Window size="200,100"><VerticalLayout><Button name="ok" height="30"/></VerticalLayout></Window>)");
    bool closedAtFinal = false;
    std::unique_ptr<ClosingWindow> window;
    window = std::make_unique<ClosingWindow>(window, closedAtFinal);
    ASSERT_TRUE(window->Create(nullptr, "closing"));
    window->ShowWindow(true, false);
    EXPECT_TRUE(window->IsWindowVisible());
    window->PaintManager().UpdateLayout();

    ASSERT_TRUE(headless::ClickControl(window->PaintManager(), "ok"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->handlerReturned);
    platform.Pump();
    EXPECT_EQ(window, nullptr);
    EXPECT_TRUE(closedAtFinal);
    platform.Pump();  // nothing left to run
}

TEST_F(WindowLifetimeTest, ATaskForLaterIsDroppedWithItsWindow) {
    WriteSkin("window.xml", R"(<Window size="200,100"><VerticalLayout/></Window>)");
    bool ran = false;
    {
        RecordingWindow window("window.xml");
        ASSERT_TRUE(window.Create(nullptr, "gone"));
        window.Host()->RunLater([&ran] { ran = true; });
    }
    platform.Pump();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace norvane::ui::test
