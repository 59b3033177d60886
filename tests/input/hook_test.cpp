#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "input/device_hook.h"
#include "input/synthetic_backend.h"
#include "input/window_backend.h"
#include "ui/messages.h"

namespace norvane::input {
namespace {

TEST(HookMessagesTest, NamesGiveOneIdEachAndTheRepeatedNameItsFirstId) {
    const HookMessageIds& ids = HookMessages();
    EXPECT_EQ(ids.mouseRButtonDown, ids.mouseRButtonDownAgain);
    const std::vector<unsigned> distinct = {
        ids.keySingleKey,       ids.keyHitKey,        ids.keyKbMacro,
        ids.keyMsMacro,         ids.keyKbMacroSingle, ids.keyKbMacroPrevious,
        ids.keyKbMacroLater,    ids.mouSingleKey,     ids.mouHitKey,
        ids.mouKbMacro,         ids.mouMsMacro,       ids.keyMsMacroSingle,
        ids.keyMsMacroPrevious, ids.keyMsMacroLater,  ids.mouseRButtonDown,
        ids.mouseLButtonUp,     ids.mouseLButtonDown, ids.mouseRButtonUp,
        ids.mouseMove,          ids.gameStart,        ids.gameEnd,
        ids.gameKill,           ids.gameDeath,        ids.hookStopped};
    EXPECT_EQ(std::set<unsigned>(distinct.begin(), distinct.end()).size(), distinct.size());
    for (unsigned id : distinct) {
        EXPECT_GE(id, 0xC000U);
    }
    // Another module registering by name sees the same numbers.
    EXPECT_EQ(ui::RegisterWindowMessage("WM_HOOK_KEY_KBMACROPREVIOUS_MSG"), ids.keyKbMacroPrevious);
    EXPECT_EQ(ui::RegisterWindowMessage("Game_Death"), ids.gameDeath);
}

TEST(HookMessagesTest, EachModePicksItsKeyboardAndMouseMessage) {
    const HookMessageIds& ids = HookMessages();
    struct Case {
        HookMode mode;
        std::optional<unsigned> keyboard;
        std::optional<unsigned> mouse;
    };
    const Case cases[] = {
        {HookMode::SingleKey, ids.keySingleKey, std::nullopt},
        {HookMode::HitKey, ids.keyHitKey, std::nullopt},
        {HookMode::MacroAppend, ids.keyKbMacro, ids.keyMsMacro},
        {HookMode::MacroInsertBefore, ids.keyKbMacroPrevious, ids.keyMsMacroPrevious},
        {HookMode::MacroInsertAfter, ids.keyKbMacroLater, ids.keyMsMacroLater},
        {HookMode::MacroReplace, ids.keyKbMacroSingle, ids.keyMsMacroSingle},
        {HookMode::MouseSingleKey, ids.mouSingleKey, std::nullopt},
        {HookMode::MouseHitKey, ids.mouHitKey, std::nullopt},
        {HookMode::MouseKbMacro, ids.mouKbMacro, std::nullopt},
        {HookMode::Idle, std::nullopt, std::nullopt},
        {static_cast<HookMode>(3), std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        EXPECT_EQ(KeyboardMessageFor(c.mode), c.keyboard);
        EXPECT_EQ(MouseMessageFor(c.mode), c.mouse);
    }
}

TEST(HookMessagesTest, RecorderMessagesDecodeToKindAndDevice) {
    const HookMessageIds& ids = HookMessages();
    struct Case {
        unsigned msg;
        RecordKind kind;
        bool keyboard;
    };
    const Case cases[] = {
        {ids.keyKbMacro, RecordKind::Append, true},
        {ids.keyKbMacroPrevious, RecordKind::InsertBefore, true},
        {ids.keyKbMacroLater, RecordKind::InsertAfter, true},
        {ids.keyKbMacroSingle, RecordKind::Replace, true},
        {ids.keyMsMacro, RecordKind::Append, false},
        {ids.keyMsMacroPrevious, RecordKind::InsertBefore, false},
        {ids.keyMsMacroLater, RecordKind::InsertAfter, false},
        {ids.keyMsMacroSingle, RecordKind::Replace, false},
    };
    for (const Case& c : cases) {
        const auto meaning = RecordMessageOf(c.msg);
        ASSERT_TRUE(meaning.has_value());
        EXPECT_EQ(meaning->kind, c.kind);
        EXPECT_EQ(meaning->keyboard, c.keyboard);
    }
    EXPECT_FALSE(RecordMessageOf(ids.keySingleKey).has_value());
    EXPECT_FALSE(RecordMessageOf(ids.mouMsMacro).has_value());
    EXPECT_FALSE(RecordMessageOf(0).has_value());
}

TEST(HookRecordsTest, RecordsSurviveTheMessageParameter) {
    const KeyHookRecord keys[] = {
        {0x26, 0x48, kKeyFlagExtended, 0xFFFFFFFFU}, {0x101, 0x1C, 1, 0}, {0, 0, 0, 12345}};
    for (const KeyHookRecord& k : keys) {
        EXPECT_EQ(UnpackKeyRecord(PackKeyRecord(k)), k);
    }
    const MouseHookRecord mice[] = {{-1, -32768, 2}, {1919, 1079, -120}, {0, 0, 1}};
    for (const MouseHookRecord& m : mice) {
        EXPECT_EQ(UnpackMouseRecord(PackMouseRecord(m)), m);
    }
}

struct Posted {
    unsigned msg;
    std::intptr_t wparam;
    std::intptr_t lparam;
};

class DeviceHookTest : public ::testing::Test {
protected:
    DeviceHookTest() {
        auto backend = std::make_unique<SyntheticHookBackend>();
        backend_ = backend.get();
        hook_ = std::make_unique<CDeviceHook>(std::move(backend));
    }
    HookTarget Target() {
        return [this](unsigned msg, std::intptr_t w, std::intptr_t l) {
            posted_.push_back({msg, w, l});
            return true;
        };
    }
    SyntheticHookBackend* backend_ = nullptr;
    std::unique_ptr<CDeviceHook> hook_;
    std::vector<Posted> posted_;
};

TEST_F(DeviceHookTest, EventsArePostedAsTheModesMessagesWithTheirRecords) {
    ASSERT_TRUE(hook_->Start(0, HookMode::MacroInsertAfter, Target(), true, true));
    EXPECT_TRUE(hook_->IsKeyboardHooked());
    EXPECT_TRUE(hook_->IsOutsideStarted());
    const KeyHookRecord key{0xA3, 0x1D, kKeyFlagExtended, 77};
    const MouseHookRecord mouse{10, 20, 2};
    ASSERT_TRUE(backend_->PushKey(kWmKeyUp, key));
    ASSERT_TRUE(backend_->PushMouse(kWmXButtonDown, mouse));
    ASSERT_EQ(posted_.size(), 2U);
    EXPECT_EQ(posted_[0].msg, HookMessages().keyKbMacroLater);
    EXPECT_EQ(posted_[0].wparam, static_cast<std::intptr_t>(kWmKeyUp));
    EXPECT_EQ(UnpackKeyRecord(posted_[0].lparam), key);
    EXPECT_EQ(posted_[1].msg, HookMessages().keyMsMacroLater);
    EXPECT_EQ(posted_[1].wparam, static_cast<std::intptr_t>(kWmXButtonDown));
    EXPECT_EQ(UnpackMouseRecord(posted_[1].lparam), mouse);
}

TEST_F(DeviceHookTest, KeyCaptureModePostsKeysButNoMouseMessage) {
    ASSERT_TRUE(hook_->Start(0, HookMode::SingleKey, Target(), true, true));
    backend_->PushMouse(kWmLButtonDown, {});
    backend_->PushKey(kWmKeyDown, {0x41, 0x1E, 0, 0});
    ASSERT_EQ(posted_.size(), 1U);
    EXPECT_EQ(posted_[0].msg, HookMessages().keySingleKey);
}

TEST_F(DeviceHookTest, ANewStartReplacesTheRunningCapture) {
    ASSERT_TRUE(hook_->Start(0, HookMode::MacroAppend, Target(), true, true));
    ASSERT_TRUE(hook_->Start(7, HookMode::MacroReplace, Target(), true, true));
    EXPECT_EQ(backend_->StartCount(), 2);
    EXPECT_GE(backend_->StopCount(), 1);
    EXPECT_EQ(hook_->Mode(), HookMode::MacroReplace);
    EXPECT_EQ(hook_->Value(), 7);
    backend_->PushKey(kWmKeyDown, {0x41, 0x1E, 0, 0});
    ASSERT_EQ(posted_.size(), 1U);
    EXPECT_EQ(posted_[0].msg, HookMessages().keyKbMacroSingle);
    EXPECT_TRUE(backend_->Options().keyboard && backend_->Options().mouse && backend_->Options().swallowKeys);
}

TEST_F(DeviceHookTest, AKeyboardCaptureThatCannotStartFailsAndStartsNoMouseCapture) {
    backend_->FailNextStart("grab refused");
    EXPECT_FALSE(hook_->Start(0, HookMode::MacroAppend, Target(), true, true));
    EXPECT_FALSE(hook_->IsKeyboardHooked());
    EXPECT_FALSE(hook_->IsOutsideStarted());
    EXPECT_FALSE(backend_->IsRunning());
    EXPECT_EQ(hook_->LastError(), "grab refused");
    EXPECT_FALSE(backend_->PushMouse(kWmLButtonDown, {}));
    EXPECT_TRUE(posted_.empty());
}

TEST_F(DeviceHookTest, StopEndsDeliveryAndIsHarmlessWhenIdle) {
    hook_->Stop();
    EXPECT_FALSE(hook_->IsOutsideStarted());
    ASSERT_TRUE(hook_->Start(0, HookMode::MacroAppend, Target(), true, true));
    hook_->Stop();
    hook_->Stop();
    EXPECT_FALSE(hook_->IsKeyboardHooked());
    EXPECT_FALSE(hook_->IsOutsideStarted());
    EXPECT_FALSE(backend_->PushKey(kWmKeyDown, {0x41, 0x1E, 0, 0}));
    EXPECT_TRUE(posted_.empty());
}

TEST_F(DeviceHookTest, ACaptureThatEndsByItselfPostsTheReason) {
    ASSERT_TRUE(hook_->Start(0, HookMode::MacroAppend, Target(), true, true));
    backend_->Lose(HookStopReason::DisplayLost);
    ASSERT_EQ(posted_.size(), 1U);
    EXPECT_EQ(posted_[0].msg, HookMessages().hookStopped);
    EXPECT_EQ(posted_[0].wparam, static_cast<std::intptr_t>(HookStopReason::DisplayLost));
    EXPECT_FALSE(backend_->PushKey(kWmKeyDown, {0x41, 0x1E, 0, 0}));
}

TEST(LockKeysTest, OnlyCapsNumAndScrollLockPass) {
    EXPECT_TRUE(IsLockKey(0x14));
    EXPECT_TRUE(IsLockKey(0x90));
    EXPECT_TRUE(IsLockKey(0x91));
    EXPECT_FALSE(IsLockKey(0x13));  // Pause shares Num Lock's make code
    EXPECT_FALSE(IsLockKey(0x41));
    EXPECT_FALSE(IsLockKey(0));
}

}  // namespace
}  // namespace norvane::input

namespace norvane::input {
namespace {

class RecordingSink final : public IHookSink {
public:
    void OnKey(unsigned keyMessage, const KeyHookRecord& record) override {
        keys.push_back({keyMessage, record});
    }
    void OnMouse(unsigned mouseMessage, const MouseHookRecord& record) override {
        mice.push_back({mouseMessage, record});
    }
    void OnStopped(HookStopReason) override {}
    std::vector<std::pair<unsigned, KeyHookRecord>> keys;
    std::vector<std::pair<unsigned, MouseHookRecord>> mice;
};

TEST(WindowHookBackendTest, WindowInputReachesTheSinkAndOnlyLockKeysAndClicksPassOn) {
    WindowHookBackend backend;
    RecordingSink sink;
    EXPECT_FALSE(backend.IsGlobal());
    EXPECT_FALSE(ui::DispatchRawKey(true, 38, 1));  // nothing listens yet
    ASSERT_TRUE(backend.Start(sink, {}));
    struct Case {
        unsigned xKeycode;
        bool swallowed;
        std::uint8_t scanCode;
    };
    const Case cases[] = {
        {38, true, 0x1E},   // A
        {105, true, 0x1D},  // right Ctrl
        {66, false, 0x3A},  // Caps Lock
        {77, false, 0x45},  // Num Lock
        {78, false, 0x46},  // Scroll Lock
        {127, true, 0x45},  // Pause
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::DispatchRawKey(true, c.xKeycode, 9), c.swallowed) << c.xKeycode;
    }
    ASSERT_EQ(sink.keys.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(sink.keys[i].first, kWmKeyDown);
        EXPECT_EQ(sink.keys[i].second.scanCode, cases[i].scanCode);
    }
    EXPECT_TRUE(ui::DispatchRawKey(false, 38, 10));
    EXPECT_EQ(sink.keys.back().first, kWmKeyUp);
    EXPECT_FALSE(ui::DispatchRawMouse(kWmXButtonDown, 300, -20, 2));
    ASSERT_EQ(sink.mice.size(), 1U);
    EXPECT_EQ(sink.mice[0].second, (MouseHookRecord{300, -20, 2}));

    backend.Stop();
    EXPECT_FALSE(ui::DispatchRawKey(true, 38, 11));
    EXPECT_FALSE(ui::DispatchRawMouse(kWmLButtonDown, 0, 0, 0));
    EXPECT_EQ(sink.keys.size(), std::size(cases) + 1);
    EXPECT_EQ(sink.mice.size(), 1U);
}

TEST(WindowHookBackendTest, KeysPassWhenNotSwallowed) {
    WindowHookBackend backend;
    RecordingSink sink;
    HookOptions options;
    options.swallowKeys = false;
    ASSERT_TRUE(backend.Start(sink, options));
    EXPECT_FALSE(ui::DispatchRawKey(true, 38, 1));
    EXPECT_EQ(sink.keys.size(), 1U);
}

}  // namespace
}  // namespace norvane::input
