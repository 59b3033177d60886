#include <atomic>
#include <chrono>
#include <thread>

#include "tests/ui/ui_fixture.h"
#include "ui/messages.h"

namespace norvane::ui::test {
namespace {

constexpr unsigned kValue = kWmUser + 10;
constexpr unsigned kDouble = kWmUser + 11;
constexpr unsigned kFinish = kWmUser + 12;

// Records what it handles and on which thread.
class MessageWindow : public RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override {
        handled = true;
        if (!IsUiThread()) {
            offThread = true;
        }
        switch (msg) {
            case kValue:
                values.push_back({static_cast<int>(wparam), static_cast<int>(lparam)});
                return 0;
            case kDouble:
                return wparam * 2;
            case kFinish:
                Close(static_cast<int>(wparam));
                return 0;
            default:
                handled = false;
                return 0;
        }
    }
    std::vector<std::pair<int, int>> values;  // (sender thread, sequence)
    bool offThread = false;
};

class MessageTest : public UiFixture {
protected:
    std::unique_ptr<MessageWindow> Make() {
        WriteSkin("m.xml", R"(<Window size="100,100"><VerticalLayout name="root"/></Window>)");
        auto w = std::make_unique<MessageWindow>("m.xml");
        EXPECT_TRUE(w->Create(nullptr, "m"));
        return w;
    }
    // Runs the UI side until pred holds or a real-time limit passes.
    template <typename Pred>
    bool PumpUntil(Pred pred) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!pred()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            platform.WaitForMessages(20);
            platform.Pump();
        }
        return true;
    }
};

TEST_F(MessageTest, PostsFromOtherThreadsArriveInOrderOnTheUiThread) {
    auto w = Make();
    constexpr int kThreads = 3;
    constexpr int kEach = 200;
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([&w, t] {
            for (int i = 0; i < kEach; ++i) {
                w->PostMessage(kValue, t, i);
            }
        });
    }
    bool done = PumpUntil([&] { return w->values.size() == kThreads * kEach; });
    for (auto& s : senders) {
        s.join();
    }
    platform.Pump();
    ASSERT_TRUE(done);
    EXPECT_FALSE(w->offThread);
    std::vector<int> next(kThreads, 0);
    for (auto [t, seq] : w->values) {
        EXPECT_EQ(seq, next[static_cast<std::size_t>(t)]) << "thread " << t;
        next[static_cast<std::size_t>(t)] = seq + 1;
    }
}

TEST_F(MessageTest, SendWaitsForTheUiThreadAndReturnsItsResult) {
    auto w = Make();
    std::atomic<std::intptr_t> answer{-1};
    std::atomic<bool> returned{false};
    std::thread sender([&] {
        w->PostMessage(kValue, 9, 1);  // queued before the send: handled first
        answer = w->SendMessage(kDouble, 21);
        returned = true;
    });
    // Nothing is dispatched yet, so the sender must still be waiting.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned.load());
    ASSERT_TRUE(PumpUntil([&] { return returned.load(); }));
    sender.join();
    EXPECT_EQ(answer.load(), 42);
    EXPECT_EQ(w->values, (std::vector<std::pair<int, int>>{{9, 1}}));
    EXPECT_FALSE(w->offThread);
    // From the UI thread a send runs at once.
    EXPECT_EQ(w->SendMessage(kDouble, 5), 10);
}

TEST_F(MessageTest, SendPendingWhenTheWindowIsDestroyedAnswersZeroInsteadOfHanging) {
    auto w = Make();
    MessageWindow* raw = w.get();
    std::atomic<std::intptr_t> answer{-1};
    std::thread sender([raw, &answer] { answer = raw->SendMessage(kDouble, 4); });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!raw->HasPendingMessages() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(raw->HasPendingMessages());
    w.reset();  // never dispatched
    sender.join();
    EXPECT_EQ(answer.load(), 0);
}

TEST_F(MessageTest, RegisteredMessagesShareOneIdPerName) {
    std::vector<unsigned> ids(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        threads.emplace_back(
            [&ids, i] { ids[i] = RegisterWindowMessage(i % 2 == 0 ? "NORVANE" : "UWM_TEST"); });
    }
    for (auto& t : threads) {
        t.join();
    }
    for (std::size_t i = 2; i < ids.size(); ++i) {
        EXPECT_EQ(ids[i], ids[i % 2]);
    }
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_GE(ids[0], 0xC000U);
    EXPECT_EQ(RegisterWindowMessage(""), 0U);
}

TEST_F(MessageTest, ModalRunReturnsTheValueGivenAtClose) {
    auto w = Make();
    // Driven from the test on the UI thread.
    platform.SetModalDriver([](WindowImplBase& modal) { modal.Close(7); });
    EXPECT_EQ(w->ShowModal(), 7);
    EXPECT_FALSE(w->IsWindowVisible());
    // Closed by a message posted from another thread while the modal loop runs.
    platform.SetModalDriver(nullptr);
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        w->PostMessage(kFinish, 3);
    });
    EXPECT_EQ(w->ShowModal(), 3);
    closer.join();
    // A system close request gives 0 and closes only this window.
    platform.SetModalDriver([](WindowImplBase& modal) { modal.RequestClose(); });
    EXPECT_EQ(w->ShowModal(), 0);
    EXPECT_TRUE(w->IsClosed());
}

}  // namespace
}  // namespace norvane::ui::test
