#include "tests/ui/ui_fixture.h"
#include "ui/container.h"

namespace norvane::ui::test {
namespace {

class TimerTest : public UiFixture {
protected:
    void SetUp() override {
        w = Open(R"(<VerticalLayout name="root"><Button name="a"/><Button name="b"/></VerticalLayout>)");
        ASSERT_TRUE(w);
        a = w->FindControl("a");
        b = w->FindControl("b");
    }
    // "sender/id@time" for every timer notification, with the virtual time it arrived at.
    struct Stamp : INotifyUI {
        explicit Stamp(headless::HeadlessPlatform& p) : platform(p) {}
        void Notify(TNotifyUI& msg) override {
            if (msg.type == "timer") {
                log.push_back(msg.sender->GetName() + "/" + std::to_string(msg.wparam) + "@" +
                              std::to_string(platform.Now()));
                if (onTimer) {
                    onTimer(msg);
                }
            }
        }
        headless::HeadlessPlatform& platform;
        std::vector<std::string> log;
        std::function<void(TNotifyUI&)> onTimer;
    };
    std::unique_ptr<RecordingWindow> w;
    CControlUI* a = nullptr;
    CControlUI* b = nullptr;
};

TEST_F(TimerTest, TimersFireAtTheirPeriodsInTimeOrder) {
    Stamp stamp(platform);
    w->PaintManager().AddNotifier(&stamp);
    ASSERT_TRUE(a->SetTimer(1, 100));
    ASSERT_TRUE(b->SetTimer(7, 250));
    platform.Advance(99);
    EXPECT_TRUE(stamp.log.empty());
    platform.Advance(451);  // to 550: one notification per expiry, none merged
    EXPECT_EQ(stamp.log, (std::vector<std::string>{"a/1@100", "a/1@200", "b/7@250", "a/1@300", "a/1@400",
                                                   "b/7@500", "a/1@500"}));
    w->PaintManager().RemoveNotifier(&stamp);
}

TEST_F(TimerTest, KilledTimersAndTimersOfRemovedControlsStayQuiet) {
    Stamp stamp(platform);
    w->PaintManager().AddNotifier(&stamp);
    a->SetTimer(1, 100);
    a->SetTimer(2, 100);
    b->SetTimer(3, 100);
    platform.Advance(100);
    a->KillTimer(1);
    Ctl<CContainerUI>(*w, "root").Remove(b);
    platform.Advance(300);
    EXPECT_EQ(stamp.log,
              (std::vector<std::string>{"a/1@100", "a/2@100", "b/3@100", "a/2@200", "a/2@300", "a/2@400"}));
    EXPECT_FALSE(w->PaintManager().HasTimer(a, 1));
    EXPECT_FALSE(a->SetTimer(9, 0));
    w->PaintManager().RemoveNotifier(&stamp);
}

TEST_F(TimerTest, OneShotPatternKillsAndRearmsInsideTheHandler) {
    Stamp stamp(platform);
    int runs = 0;
    stamp.onTimer = [&](TNotifyUI& msg) {
        msg.sender->KillTimer(static_cast<int>(msg.wparam));
        if (++runs < 3) {
            msg.sender->SetTimer(static_cast<int>(msg.wparam), 40);
        }
    };
    w->PaintManager().AddNotifier(&stamp);
    a->SetTimer(5, 10);
    platform.Advance(1000);
    EXPECT_EQ(stamp.log, (std::vector<std::string>{"a/5@10", "a/5@50", "a/5@90"}));
    w->PaintManager().RemoveNotifier(&stamp);
}

TEST_F(TimerTest, ResettingATimerRestartsItsPeriod) {
    Stamp stamp(platform);
    w->PaintManager().AddNotifier(&stamp);
    a->SetTimer(1, 100);
    platform.Advance(80);
    a->SetTimer(1, 100);
    platform.Advance(150);
    EXPECT_EQ(stamp.log, std::vector<std::string>{"a/1@180"});
    w->PaintManager().RemoveNotifier(&stamp);
}

}  // namespace
}  // namespace norvane::ui::test
