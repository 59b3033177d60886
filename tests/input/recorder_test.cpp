#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/recorder.h"
#include "input/synthetic_backend.h"

namespace norvane::input {
namespace {

constexpr KeyHookRecord kA{0x41, 0x1E, 0, 0};
constexpr KeyHookRecord kB{0x42, 0x30, 0, 0};
constexpr KeyHookRecord kRightCtrl{0xA3, 0x1D, kKeyFlagExtended, 0};
constexpr KeyHookRecord kVolumeUp{0, 0x30, kKeyFlagExtended, 0};

class RecorderTest : public ::testing::Test {
protected:
    void StartRecording(HookMode mode, DelayMode delay, std::string_view constant = "50",
                        std::uint32_t now = 1000) {
        ASSERT_TRUE(recorder_.Start({mode, delay, constant}, now).hooksStarted);
    }
    RecordChange Key(unsigned message, const KeyHookRecord& key, std::uint32_t now = 1000,
                     RecordKind kind = RecordKind::Append) {
        return recorder_.HandleKey(kind, message, key, now, list_);
    }
    RecordChange Mouse(unsigned message, MouseHookRecord record = {}, std::uint32_t now = 1000,
                       RecordKind kind = RecordKind::Append) {
        return recorder_.HandleMouse(kind, message, record, now, list_);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const MacroRow& row : list_.rows) {
            names.push_back(std::string(row.nameId) + " " + row.event.action);
        }
        return names;
    }
    std::vector<int> Delays() const {
        std::vector<int> delays;
        for (const MacroRow& row : list_.rows) {
            delays.push_back(row.event.delay);
        }
        return delays;
    }
    // Rows recorded before the recording under test.
    void Existing(std::initializer_list<KeyHookRecord> keys) {
        StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
        for (const KeyHookRecord& key : keys) {
            Key(kWmKeyDown, key);
        }
        recorder_.Stop();
    }

    Recorder recorder_;
    MacroRowList list_;
};

TEST_F(RecorderTest, KeysBecomeKeyOrModifierEvents) {
    struct Case {
        KeyHookRecord key;
        unsigned message;
        int type;
        int button;
        const char* name;
        const char* action;
    };
    const Case cases[] = {
        {kA, kWmKeyDown, 10, 0x04, "keyboard_key_A", "down"},
        {kA, kWmKeyUp, 10, 0x04, "keyboard_key_A", "up"},
        {kRightCtrl, kWmSysKeyDown, 9, 0x10, "keyboard_key_RCtrl", "down"},
        {{0xA2, 0x1D, 0, 0}, kWmKeyDown, 9, 0x01, "keyboard_key_LCtrl", "down"},
        {{0x26, 0x48, 1, 0}, kWmKeyDown, 10, 0x52, "keyboard_key_Up", "down"},
        {{0x68, 0x48, 0, 0}, kWmKeyDown, 10, 0x60, "keyboard_key_Num 8", "down"},
        {{0x101, 0x1C, 1, 0}, kWmSysKeyUp, 10, 0x58, "keyboard_key_Num Enter", "up"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list_ = {};
        StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
        const RecordChange change = Key(c.message, c.key);
        ASSERT_EQ(change.kind, RecordChange::Kind::Added);
        ASSERT_EQ(list_.rows.size(), 1U);
        const MacroRow& row = list_.rows[0];
        EXPECT_EQ(row.event.type, c.type);
        EXPECT_EQ(row.event.button, c.button);
        EXPECT_EQ(row.event.action, c.action);
        EXPECT_EQ(row.nameId, c.name);
        EXPECT_TRUE(row.keyboard);
    }
}

TEST_F(RecorderTest, AKeyOutsideTheScanCodeTableRecordsNothing) {
    StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
    EXPECT_EQ(Key(kWmKeyDown, kVolumeUp).kind, RecordChange::Kind::None);
    EXPECT_EQ(Key(kWmKeyUp, kVolumeUp).kind, RecordChange::Kind::None);
    EXPECT_TRUE(list_.rows.empty());
}

TEST_F(RecorderTest, HoldingAKeyRecordsOnePressAndOneRelease) {
    StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
    for (int i = 0; i < 5; ++i) {
        Key(kWmKeyDown, kA);
    }
    Key(kWmKeyUp, kA);
    Key(kWmKeyDown, kA);  // pressed again after the release
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"keyboard_key_A down", "keyboard_key_A up", "keyboard_key_A down"}));
}

TEST_F(RecorderTest, ASecondPressWhoseReleaseWasLostIsDropped) {
    StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
    Key(kWmKeyDown, kA);
    Key(kWmKeyUp, kB);    // a release of another key does not clear the memory
    Key(kWmKeyDown, kA);  // the release of A was lost
    Key(kWmKeyDown, kB);
    Key(kWmKeyDown, kA);  // another key came between: recorded
    EXPECT_EQ(Names(), (std::vector<std::string>{"keyboard_key_A down", "keyboard_key_B up",
                                                 "keyboard_key_B down", "keyboard_key_A down"}));
}

TEST_F(RecorderTest, RightAndLeftKeysWithOneMakeCodeAreNotRepeats) {
    StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
    Key(kWmKeyDown, {0xA2, 0x1D, 0, 0});
    Key(kWmKeyDown, kRightCtrl);
    ASSERT_EQ(list_.rows.size(), 2U);
    EXPECT_EQ(list_.rows[1].nameId, "keyboard_key_RCtrl");
}

TEST_F(RecorderTest, DelayModesGiveTheRowBeforeEachNewRowItsDelay) {
    struct Case {
        DelayMode mode;
        std::vector<std::uint32_t> times;  // start, then one key press each
        std::vector<int> delays;
    };
    const Case cases[] = {
        {DelayMode::RealTime, {1000, 1100, 1350, 1400}, {250, 50, 0}},
        {DelayMode::RealTime, {0, 10, 70010, 135544, 135545}, {65535, 65534, 1, 0}},
        {DelayMode::Constant, {1000, 1100, 9000, 9001}, {120, 120, 120}},
        {DelayMode::IgnoreTime, {1000, 1100, 9000, 9001}, {0, 0, 0}},
    };
    const KeyHookRecord keys[] = {kA, kB, kRightCtrl, {0x43, 0x2E, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        list_ = {};
        StartRecording(HookMode::MacroAppend, c.mode, "120", c.times[0]);
        for (std::size_t i = 1; i < c.times.size(); ++i) {
            Key(kWmKeyDown, keys[i - 1], c.times[i]);
        }
        EXPECT_EQ(Delays(), c.delays);
    }
}

TEST_F(RecorderTest, TheFirstRowOfAnEmptyMacroHasTheNumberZeroAndLaterRowsAString) {
    for (DelayMode mode : {DelayMode::RealTime, DelayMode::Constant, DelayMode::IgnoreTime}) {
        list_ = {};
        StartRecording(HookMode::MacroAppend, mode, "120", 0);
        Key(kWmKeyDown, kA, 500);
        ASSERT_EQ(list_.rows.size(), 1U);
        EXPECT_EQ(list_.rows[0].event.delay, 0);
        EXPECT_EQ(list_.rows[0].ToJsonText(), R"({"Action":"down","Button":4,"Delay":0,"Type":10})");
        const RecordChange change = Key(kWmKeyUp, kA, 700);
        EXPECT_EQ(change.delayRewritten, 0U);
        EXPECT_EQ(list_.rows[1].ToJsonText(), mode == DelayMode::Constant
                                                  ? R"({"Action":"up","Button":4,"Delay":"120","Type":10})"
                                                  : R"({"Action":"up","Button":4,"Delay":"0","Type":10})");
        EXPECT_NE(list_.rows[0].ToJsonText().find("\"Delay\":\""), std::string::npos);
    }
}

TEST_F(RecorderTest, TheConstantDelayFieldIsReadClampedAndShownAsStored) {
    struct Case {
        const char* typed;
        std::uint32_t stored;
        std::optional<std::string> shown;
    };
    const Case cases[] = {
        {"50", 50, std::nullopt},
        {"120", 120, "120"},
        {"65535", 65535, "65535"},
        {"70000", 65535, "65535"},
        {"99999999999999999999999", 65535, "65535"},
        {"", 0, "0"},
        {"12ab", 12, "12"},
        {"-5", 0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Recorder recorder;
        const RecordingStarted started =
            recorder.Start({HookMode::MacroAppend, DelayMode::Constant, c.typed}, 0);
        EXPECT_EQ(recorder.ConstantDelay(), c.stored);
        EXPECT_EQ(started.constantDelayText, c.shown);
    }
    // Other delay modes leave the constant delay alone.
    Recorder recorder;
    recorder.Start({HookMode::MacroAppend, DelayMode::RealTime, "300"}, 0);
    EXPECT_EQ(recorder.ConstantDelay(), kDefaultConstantDelay);
}

TEST_F(RecorderTest, MouseButtonsBecomeEventsAndOtherMessagesAreDropped) {
    struct Case {
        unsigned message;
        std::int16_t data;
        std::optional<int> button;  // nullopt: dropped
        const char* action;
    };
    const Case cases[] = {
        {kWmLButtonDown, 0, 0x01, "down"},       {kWmLButtonUp, 0, 0x01, "up"},
        {kWmRButtonDown, 0, 0x02, "down"},       {kWmRButtonUp, 0, 0x02, "up"},
        {kWmMButtonDown, 0, 0x04, "down"},       {kWmMButtonUp, 0, 0x04, "up"},
        {kWmXButtonDown, 2, 0x10, "down"},       {kWmXButtonUp, 2, 0x10, "up"},
        {kWmXButtonDown, 1, 0x08, "down"},       {kWmXButtonUp, 1, 0x08, "up"},
        {kWmXButtonDown, 3, std::nullopt, ""},   {kWmXButtonDown, 0, std::nullopt, ""},
        {kWmMouseWheel, 120, std::nullopt, ""},  {kWmMouseMove, 0, std::nullopt, ""},
        {kWmMouseHWheel, 120, std::nullopt, ""}, {0x0203, 0, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        list_ = {};
        StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
        Mouse(c.message, {5, 5, c.data});
        if (!c.button) {
            EXPECT_TRUE(list_.rows.empty());
            continue;
        }
        ASSERT_EQ(list_.rows.size(), 1U);
        EXPECT_EQ(list_.rows[0].event.type, 1);
        EXPECT_EQ(list_.rows[0].event.button, *c.button);
        EXPECT_EQ(list_.rows[0].event.action, c.action);
        EXPECT_FALSE(list_.rows[0].keyboard);
    }
}

TEST_F(RecorderTest, ARepeatedMouseMessageIsDropped) {
    StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
    Mouse(kWmLButtonDown);
    Mouse(kWmLButtonDown);
    Mouse(kWmLButtonUp);
    Mouse(kWmLButtonUp);
    Mouse(kWmLButtonDown);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"mouse_key_left down", "mouse_key_left up", "mouse_key_left down"}));
}

TEST_F(RecorderTest, TheLeftClickOnTheStopButtonIsNotRecorded) {
    recorder_.SetStopButtonRect(ui::Rect{100, 100, 180, 130});
    StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
    Mouse(kWmRButtonDown, {120, 110, 0});  // a right click on it is recorded
    Mouse(kWmRButtonUp, {120, 110, 0});
    Mouse(kWmLButtonDown, {99, 110, 0});  // just outside
    Mouse(kWmLButtonUp, {99, 110, 0});
    Mouse(kWmLButtonDown, {100, 100, 0});
    Mouse(kWmLButtonUp, {179, 129, 0});
    EXPECT_EQ(Names(), (std::vector<std::string>{"mouse_key_right down", "mouse_key_right up",
                                                 "mouse_key_left down", "mouse_key_left up"}));
}

TEST_F(RecorderTest, InsertBeforeTwiceKeepsThePressOrderBeforeTheSelectedRow) {
    Existing({kA, kB});
    list_.selected = 1;
    StartRecording(HookMode::MacroInsertBefore, DelayMode::IgnoreTime);
    const RecordChange first = Key(kWmKeyDown, kRightCtrl, 0, RecordKind::InsertBefore);
    EXPECT_EQ(first.index, 1U);
    EXPECT_EQ(first.select, 2U);
    Key(kWmKeyUp, kRightCtrl, 0, RecordKind::InsertBefore);
    EXPECT_EQ(Names(), (std::vector<std::string>{"keyboard_key_A down", "keyboard_key_RCtrl down",
                                                 "keyboard_key_RCtrl up", "keyboard_key_B down"}));
    EXPECT_EQ(list_.selected, 3U);
}

TEST_F(RecorderTest, InsertAfterPlacesEachEventAfterTheLastAndSelectsIt) {
    Existing({kA, kB});
    list_.selected = 0;
    StartRecording(HookMode::MacroInsertAfter, DelayMode::Constant, "70");
    Key(kWmKeyDown, kRightCtrl, 0, RecordKind::InsertAfter);
    const RecordChange second = Key(kWmKeyUp, kRightCtrl, 0, RecordKind::InsertAfter);
    EXPECT_EQ(second.index, 2U);
    EXPECT_EQ(second.delayRewritten, 1U);
    EXPECT_EQ(Names(), (std::vector<std::string>{"keyboard_key_A down", "keyboard_key_RCtrl down",
                                                 "keyboard_key_RCtrl up", "keyboard_key_B down"}));
    EXPECT_EQ(Delays(), (std::vector<int>{70, 70, 70, 0}));
    EXPECT_EQ(list_.selected, 2U);
}

TEST_F(RecorderTest, InsertBeforeTheFirstRowGivesTheNewRowTheNumberZero) {
    Existing({kA});
    list_.selected = 0;
    StartRecording(HookMode::MacroInsertBefore, DelayMode::Constant, "90");
    const RecordChange change = Key(kWmKeyDown, kB, 0, RecordKind::InsertBefore);
    EXPECT_EQ(change.index, 0U);
    EXPECT_FALSE(change.delayRewritten.has_value());
    EXPECT_TRUE(list_.rows[0].delayIsNumber);
    EXPECT_EQ(Delays(), (std::vector<int>{0, 0}));
}

TEST_F(RecorderTest, InsertingWithoutASelectionDoesNothing) {
    Existing({kA});
    list_.selected.reset();
    for (auto [mode, kind] : {std::pair{HookMode::MacroInsertBefore, RecordKind::InsertBefore},
                              std::pair{HookMode::MacroInsertAfter, RecordKind::InsertAfter},
                              std::pair{HookMode::MacroReplace, RecordKind::Replace}}) {
        StartRecording(mode, DelayMode::IgnoreTime);
        EXPECT_EQ(Key(kWmKeyDown, kB, 0, kind).kind, RecordChange::Kind::None);
        EXPECT_EQ(Mouse(kWmRButtonDown, {}, 0, kind).kind, RecordChange::Kind::None);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"keyboard_key_A down"}));
}

TEST_F(RecorderTest, ReplaceKeepsActionAndDelayAndTakesTheNewKeyOrButton) {
    Existing({kA, kB});
    list_.rows[0].event.delay = 77;
    list_.selected = 0;
    StartRecording(HookMode::MacroReplace, DelayMode::IgnoreTime);
    const RecordChange change = Key(kWmKeyUp, kRightCtrl, 0, RecordKind::Replace);
    EXPECT_EQ(change.kind, RecordChange::Kind::Replaced);
    EXPECT_EQ(change.index, 0U);
    ASSERT_EQ(list_.rows.size(), 2U);
    EXPECT_EQ(list_.rows[0].event, (config::MacroEvent{9, 0x10, "down", 77}));
    EXPECT_EQ(list_.rows[0].nameId, "keyboard_key_RCtrl");
    list_.selected = 1;
    Mouse(kWmXButtonDown, {0, 0, 1}, 0, RecordKind::Replace);
    EXPECT_EQ(list_.rows[1].event, (config::MacroEvent{1, 0x08, "down", 0}));
    EXPECT_FALSE(list_.rows[1].keyboard);
}

TEST_F(RecorderTest, NothingIsAddedToAFullMacro) {
    StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
    list_.rows.resize(config::kMaxMacroEvents - 1);
    EXPECT_EQ(Key(kWmKeyDown, kA).kind, RecordChange::Kind::Added);
    EXPECT_EQ(Key(kWmKeyUp, kA).kind, RecordChange::Kind::None);
    EXPECT_EQ(Mouse(kWmLButtonDown).kind, RecordChange::Kind::None);
    EXPECT_EQ(list_.rows.size(), config::kMaxMacroEvents);
}

TEST_F(RecorderTest, EventsOutsideARecordingOrOfAnotherKindAreIgnored) {
    EXPECT_EQ(Key(kWmKeyDown, kA).kind, RecordChange::Kind::None);  // idle
    StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
    EXPECT_EQ(Key(kWmKeyDown, kA, 0, RecordKind::InsertAfter).kind, RecordChange::Kind::None);
    recorder_.Stop();
    EXPECT_EQ(Key(kWmKeyDown, kA).kind, RecordChange::Kind::None);  // queued after the stop
    EXPECT_TRUE(list_.rows.empty());
}

TEST_F(RecorderTest, ANewRecordingForgetsThePressesOfTheLastOne) {
    StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
    Key(kWmKeyDown, kA);
    recorder_.Stop();
    StartRecording(HookMode::MacroAppend, DelayMode::IgnoreTime);
    Key(kWmKeyDown, kA);
    EXPECT_EQ(list_.rows.size(), 2U);
}

TEST_F(RecorderTest, LoadedEventsGetTheirNames) {
    const std::vector<config::MacroEvent> events = {{10, 0x04, "down", 5},
                                                    {9, 0x10, "up", 0},
                                                    {1, 0x02, "down", 3},
                                                    {1, 0x10, "up", 0},
                                                    {10, 0xEE, "down", 0}};
    const MacroRowList list = Recorder::RowsOf(events);
    ASSERT_EQ(list.rows.size(), events.size());
    EXPECT_EQ(list.rows[0].nameId, "keyboard_key_A");
    EXPECT_EQ(list.rows[1].nameId, "keyboard_key_RCtrl");
    EXPECT_EQ(list.rows[2].nameId, "mouse_key_right");
    EXPECT_EQ(list.rows[3].nameId, "mouse_key_forward");
    EXPECT_TRUE(list.rows[4].nameId.empty());
    EXPECT_EQ(Recorder::EventsOf(list), events);
}

// The whole path: backend events posted by the hook, handed back to the recorder.
TEST(RecorderWithHookTest, PostedHookMessagesBecomeRows) {
    auto backend = std::make_unique<SyntheticHookBackend>();
    SyntheticHookBackend* synthetic = backend.get();
    CDeviceHook hook(std::move(backend));
    struct Posted {
        unsigned msg;
        std::intptr_t w;
        std::intptr_t l;
    };
    std::vector<Posted> queue;
    Recorder recorder(&hook, [&queue](unsigned m, std::intptr_t w, std::intptr_t l) {
        queue.push_back({m, w, l});
        return true;
    });
    synthetic->SetGlobal(false);
    const RecordingStarted started = recorder.Start({HookMode::MacroAppend, DelayMode::RealTime, ""}, 0);
    ASSERT_TRUE(started.hooksStarted);
    EXPECT_FALSE(started.global);
    EXPECT_TRUE(synthetic->Options().keyboard);
    EXPECT_TRUE(synthetic->Options().mouse);
    synthetic->PushKey(kWmKeyDown, kA);
    synthetic->PushMouse(kWmRButtonDown, {3, 4, 0});
    MacroRowList list;
    std::uint32_t now = 0;
    for (const Posted& p : queue) {
        now += 40;
        recorder.HandleMessage(p.msg, p.w, p.l, now, list);
    }
    EXPECT_EQ(list.rows.size(), 2U);
    EXPECT_EQ(list.rows[0].event.delay, 40);
    recorder.Stop();
    EXPECT_FALSE(synthetic->IsRunning());

    synthetic->FailNextStart("no display");
    EXPECT_FALSE(recorder.Start({HookMode::MacroAppend, DelayMode::RealTime, ""}, 0).hooksStarted);
    EXPECT_FALSE(recorder.IsRecording());
}

}  // namespace
}  // namespace norvane::input
