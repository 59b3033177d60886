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
constexpr unsigned kRepost = kWmUser + 13;      // handled by posting itself again, up to 100 times
constexpr unsigned kOpenModal = kWmUser + 14;   // runs `other` modally
constexpr unsigned kCloseOther = kWmUser + 15;  // closes `other` with wparam

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
            case kRepost:
                if (++reposts < 100) {
                    PostMessage(kRepost);
                }
                return 0;
            case kOpenModal:
                modalResult = other->ShowModal();
                return 0;
            case kCloseOther:
                other->Close(static_cast<int>(wparam));
                return 0;
            default:
                handled = false;
                return 0;
        }
    }
    std::vector<std::pair<int, int>> values;  // (sender thread, sequence)
    bool offThread = false;
    int reposts = 0;
    WindowImplBase* other = nullptr;
    int modalResult = -100;
};

// Owns a thread that reports to the window by sends until told to stop (as a device scan
// does); its teardown closes the queue first, then joins.
class WorkerWindow : public MessageWindow {
public:
    using MessageWindow::MessageWindow;
    ~WorkerWindow() override {
        stop = true;
        CloseMessageQueue();
        if (worker.joinable()) {
            worker.join();
        }
    }
    void Start() {
        worker = std::thread([this] {
            while (!stop) {
                answers->push_back(SendMessage(kDouble, 1));
            }
        });
    }
    std::atomic<bool> stop{false};
    std::vector<std::intptr_t>* answers = nullptr;  // the worker's, read after the join
    std::thread worker;
};

class MessageTest : public UiFixture {
protected:
    template <typename W = MessageWindow>
    std::unique_ptr<W> Make() {
        WriteSkin("m.xml", R"(<Window size="100,100"><VerticalLayout name="root"/></Window>)");
        auto w = std::make_unique<W>("m.xml");
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

TEST_F(MessageTest, TeardownReleasesAWorkerBlockedInASendBeforeJoiningIt) {
    std::vector<std::intptr_t> answers;
    auto w = Make<WorkerWindow>();
    w->answers = &answers;
    w->Start();
    auto waitForSend = [&] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!w->HasPendingMessages() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return w->HasPendingMessages();
    };
    ASSERT_TRUE(waitForSend());
    platform.Pump();  // the first send is answered
    ASSERT_TRUE(waitForSend());
    w.reset();  // joins the worker, which is blocked in its second send
    EXPECT_EQ(answers, (std::vector<std::intptr_t>{2, 0}));
}

TEST_F(MessageTest, ClosedQueueAnswersSendsAtOnceAndDropsPosts) {
    auto w = Make();
    std::atomic<std::intptr_t> pending{-1};
    std::thread blocked([&] { pending = w->SendMessage(kDouble, 4); });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!w->HasPendingMessages() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(w->HasPendingMessages());
    w->CloseMessageQueue();
    blocked.join();
    EXPECT_EQ(pending.load(), 0);
    std::intptr_t late = -1;
    bool posted = true;
    std::thread after([&] {
        late = w->SendMessage(kDouble, 4);
        posted = w->PostMessage(kValue, 1, 1);
    });
    after.join();
    EXPECT_EQ(late, 0);
    EXPECT_FALSE(posted);
    platform.Pump();
    EXPECT_TRUE(w->values.empty());
}

TEST_F(MessageTest, ModalRunInsideAHandlerKeepsDispatchingTheOpenersMessages) {
    auto opener = Make();
    auto dialog = Make();
    opener->other = dialog.get();
    platform.SetModalDriver(nullptr);
    platform.SetModalLimit(3000);
    opener->PostMessage(kOpenModal);
    // Posted while the dialog runs; handled by the opener, it closes the dialog with 5.
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        opener->PostMessage(kCloseOther, 5);
    });
    platform.Pump();  // runs the modal inside the handler of kOpenModal
    poster.join();
    EXPECT_EQ(opener->modalResult, 5);
}

TEST_F(MessageTest, DispatchHandlesOnlyWhatWasQueuedWhenItStarted) {
    auto w = Make();
    w->PostMessage(kRepost);
    w->PostMessage(kValue, 0, 1);
    w->DispatchMessages();
    EXPECT_EQ(w->reposts, 1);
    EXPECT_EQ(w->values.size(), 1U);
    EXPECT_TRUE(w->HasPendingMessages());
    w->DispatchMessages();
    EXPECT_EQ(w->reposts, 2);
}

TEST_F(MessageTest, PostsWakeTheHostOncePerDispatchRound) {
    auto w = Make();
    platform.Pump();
    const std::uint64_t before = platform.WakeCount();
    std::thread poster([&] {
        for (int i = 0; i < 50; ++i) {
            w->PostMessage(kValue, 1, i);
        }
    });
    poster.join();
    EXPECT_EQ(platform.WakeCount(), before + 1);
    w->DispatchMessages();
    EXPECT_EQ(w->values.size(), 50U);
    w->PostMessage(kValue, 1, 50);
    w->PostMessage(kValue, 1, 51);
    EXPECT_EQ(platform.WakeCount(), before + 2);
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
