// Device faults in the middle of the keyboard's sequences: the caller's tables, state and
// profile file stay as they were, brackets are closed, refused writes send nothing.
#include "config/keyboard_profiledata.h"
#include "devices/common/status_poll.h"
#include "devices/keyboard/results.h"
#include "devices/keyboard/settings_sync.h"
#include "keyboard_fixture.h"
#include "platform/paths.h"

#include <optional>

namespace norvane::test {
namespace {

namespace kb = devices::keyboard;
using sim::Fault;
using sim::FaultKind;

struct FaultCase {
    const char* name;
    Fault fault;
    std::optional<int> result;  // the code, when the fault decides it
    bool closes = true;         // the bracket's end reaches the device
};

void ExpectSameTables(const kb::KeyboardTables& a, const kb::KeyboardTables& b) {
    EXPECT_EQ(a.cached, b.cached);
    EXPECT_EQ(a.keyCount, b.keyCount);
    EXPECT_EQ(a.macroMemoryBytes, b.macroMemoryBytes);
    EXPECT_EQ(a.maps, b.maps);
}

using KeyboardFaults = KeyboardTest;

TEST_F(KeyboardFaults, FailedKeyReadKeepsTheTablesAndClosesTheBracket) {
    const std::vector<FaultCase> cases = {
        {"no answer to the bracket", Fault(FaultKind::NoAnswer, 0x01), 0},
        {"no answer to the info", Fault(FaultKind::NoAnswer, 0x03), 0},
        {"other command byte", Fault(FaultKind::WrongCommand, 0x03), 0},
        {"status FE mid-table", Fault(FaultKind::StatusFE, 0x07, 3), -103},
        {"status FF on the LED map", Fault(FaultKind::StatusFF, 0x1B), -102},
        {"no answer on the LED map", Fault(FaultKind::NoAnswer, 0x1B, 1), 0},
        {"end refused", Fault(FaultKind::StatusFF, 0x02), -102},
        {"unplugged mid-table", Fault(FaultKind::Unplug, 0x07, 2), std::nullopt, false},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        Connect("keyboard");
        kb::KeyboardTables tables = ReadTables();
        const kb::KeyboardTables before = tables;
        // What a good read would now change: F1 and Esc swap places, Esc's LED moves.
        device_->WithFirmware([](sim::FirmwareModel& f) {
            std::swap_ranges(f.KeyTable().begin(), f.KeyTable().begin() + 3, f.KeyTable().begin() + 3);
            f.LedMap()[0] = 50;
        });
        device_->InjectFault(c.fault);
        const int r = kb::ReadKeysFromDevice(channel_, tables);
        EXPECT_NE(r, 1);
        if (c.result) {
            EXPECT_EQ(r, *c.result);
        }
        ExpectSameTables(tables, before);
        if (c.closes) {
            ASSERT_FALSE(Sent().empty());
            EXPECT_EQ(Sent().back()[3], 0x02);
        }
    }
}

TEST_F(KeyboardFaults, KeyCountOutsideTheTableStopsInsideTheBracket) {
    for (const std::uint8_t count : {std::uint8_t{171}, std::uint8_t{255}, std::uint8_t{0}}) {
        SCOPED_TRACE(count);
        Connect("keyboard");
        kb::KeyboardTables tables = ReadTables();
        const kb::KeyboardTables before = tables;
        device_->WithFirmware([count](sim::FirmwareModel& f) { f.Info().bytes[5] = count; });
        EXPECT_EQ(kb::ReadKeysFromDevice(channel_, tables), kb::result::kBadKeyCount);
        EXPECT_EQ(CommandBytes(), (std::vector<std::uint8_t>{0x01, 0x03, 0x02}));
        EXPECT_FALSE(device_->WithFirmware([](sim::FirmwareModel& f) { return f.InConfig(); }));
        EXPECT_EQ(channel_.DataSize(), 378);
        ExpectSameTables(tables, before);
    }
}

class KeyboardSettingsFaults : public KeyboardTest {
protected:
    void SetUp() override {
        KeyboardTest::SetUp();
        profile_.SetDefaultPath(platform::ProgramSubfolder("DefaultData") / "keyboard.Json");
        profile_.SetProfilePath(folder_ / "profile.json");
        ASSERT_NE(profile_.LoadDeviceDocument(folder_ / "profile.json"), config::LoadStatus::Missing);
        modes_ = IndexModes();
        state_.activeProfile = 3;
        state_.raw.fill(0x5A);
        state_.light.selectedMode = 7;
        state_.light.red = 0x33;
        state_.settings.winFlag = 1;
    }

    int Sync(const kb::KeyboardTables& tables) {
        return kb::SyncSettingsFromDevice(channel_, tables, modes_, levels_, state_, profile_);
    }

    config::CKeyboardProfiledata profile_;
    std::vector<config::LightModeName> modes_;
    std::array<std::uint8_t, 5> levels_ = {0, 63, 126, 190, 255};
    kb::KeyboardSettingsState state_;
};

TEST_F(KeyboardSettingsFaults, FailedReadsReachNeitherStateNorProfile) {
    const std::vector<FaultCase> cases = {
        {"no answer to the index", Fault(FaultKind::NoAnswer, 0x05), 0},
        {"status FE on the record", Fault(FaultKind::StatusFE, 0x05, 1), -103},
        {"other command byte on the record", Fault(FaultKind::WrongCommand, 0x05, 1), 0},
        {"unplugged on the record", Fault(FaultKind::Unplug, 0x05, 1), std::nullopt},
        {"status FF on the custom colours", Fault(FaultKind::StatusFF, 0x0A, 2), -102},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        Connect("keyboard");
        const kb::KeyboardTables tables = ReadTables();
        device_->WithFirmware([](sim::FirmwareModel& f) {
            f.Settings()[1] = 19;  // custom mode: the colours are read back too
            f.Settings()[21] = 0;
        });
        const std::string file = ReadText(folder_ / "profile.json");
        const kb::KeyboardSettingsState before = state_;
        device_->InjectFault(c.fault);
        const int r = Sync(tables);
        EXPECT_NE(r, 1);
        if (c.result) {
            EXPECT_EQ(r, *c.result);
        }
        EXPECT_EQ(ReadText(folder_ / "profile.json"), file);
        EXPECT_EQ(state_.raw, before.raw);
        EXPECT_EQ(state_.light, before.light);
        EXPECT_EQ(state_.settings, before.settings);
        EXPECT_EQ(state_.activeProfile, before.activeProfile);
    }
    // The same read without a fault does reach both.
    Connect("keyboard");
    const kb::KeyboardTables tables = ReadTables();
    device_->WithFirmware([](sim::FirmwareModel& f) { f.Settings()[21] = 1; });
    const std::string file = ReadText(folder_ / "profile.json");
    ASSERT_EQ(Sync(tables), 1);
    EXPECT_NE(ReadText(folder_ / "profile.json"), file);
    EXPECT_EQ(state_.activeProfile, 0);
    EXPECT_EQ(state_.light.selectedMode, 1);
    EXPECT_EQ(profile_.GetKeyboardSettings().winFlag, 1);
}

TEST_F(KeyboardFaults, KeyTableWriteNeedsACompleteReadOfTheCurrentKeyCount) {
    const std::vector<config::KeyListEntry> keys = FactoryKeys();
    const Bytes deviceTable = DeviceKeyTable();

    // Never read.
    EXPECT_EQ(
        kb::WriteKeyAssignments(channel_, kb::KeyboardTables{}, 0, keys, 0, devices::MacroBindings::Slots),
        kb::result::kNoKeyTable);
    EXPECT_EQ(CommandBytes(), (std::vector<std::uint8_t>{0x03}));

    // A read that failed half-way leaves nothing to write from.
    kb::KeyboardTables partial;
    device_->InjectFault(Fault(FaultKind::StatusFF, 0x07, 4));
    EXPECT_EQ(kb::ReadKeysFromDevice(channel_, partial), -102);
    device_->ClearWireLog();
    EXPECT_EQ(kb::WriteKeyAssignments(channel_, partial, 0, keys, 0, devices::MacroBindings::Slots),
              kb::result::kNoKeyTable);
    EXPECT_EQ(CommandBytes(), (std::vector<std::uint8_t>{0x03}));

    // The keyboard now reports another key count than the tables were read with.
    const kb::KeyboardTables tables = ReadTables();
    device_->WithFirmware([](sim::FirmwareModel& f) { f.Info().bytes[5] = 120; });
    EXPECT_EQ(kb::WriteKeyAssignments(channel_, tables, 0, keys, 0, devices::MacroBindings::Slots),
              kb::result::kNoKeyTable);
    device_->WithFirmware([](sim::FirmwareModel& f) { f.Info().bytes[5] = 126; });

    // No answer to the key count question.
    device_->InjectFault(Fault(FaultKind::NoAnswer, 0x03));
    EXPECT_EQ(kb::WriteKeyAssignments(channel_, tables, 0, keys, 0, devices::MacroBindings::Slots), 0);

    // Another bank: nothing at all is sent.
    device_->ClearWireLog();
    EXPECT_EQ(kb::WriteKeyAssignments(channel_, tables, 1, keys, 0, devices::MacroBindings::Slots), -201);
    EXPECT_TRUE(Sent().empty());

    EXPECT_EQ(DeviceKeyTable(), deviceTable);
    EXPECT_EQ(CommandBytes().size(), 0u);
}

TEST_F(KeyboardFaults, WritesReturnTheRealResultAndCloseTheBracket) {
    const config::LightInfo light;
    const config::KeyboardSettings settings;
    const std::vector<config::LightModeName> modes = {{"m", true, 0}};
    struct Case {
        const char* name;
        Fault fault;
        int result;
        std::vector<std::uint8_t> commands;
    };
    const std::vector<Case> cases = {
        {"record refused", Fault(FaultKind::StatusFF, 0x06), -102, {0x01, 0x06, 0x02}},
        {"no answer to the bracket", Fault(FaultKind::NoAnswer, 0x01), 0, {0x01, 0x02}},
        {"end refused", Fault(FaultKind::StatusFE, 0x02), -103, {0x01, 0x06, 0x02}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connect("keyboard");
        device_->InjectFault(c.fault);
        EXPECT_EQ(kb::WriteDeviceSettings(channel_, 0, 0, light, settings, modes), c.result);
        EXPECT_EQ(CommandBytes(), c.commands);
    }
}

TEST_F(KeyboardFaults, FailedMacroWriteSendsMacroKeysWithTheirDefaults) {
    MakeMacros({KeyPresses(2, 0x04)});
    const kb::KeyboardTables tables = ReadTables();
    std::vector<config::KeyListEntry> keys = FactoryKeys();
    keys[3].current = {0x70, 0, 0};
    keys[64].current = {0x20, 0x00, 0x05};
    Bytes expected = DeviceKeyTable();
    ASSERT_EQ(expected.size(), 378u);
    expected[3 * 64 + 2] = 0x05;  // key 3 keeps its factory code on the device
    device_->InjectFault(Fault(FaultKind::StatusFE, 0x15));

    const kb::KeyWriteResult result = kb::WriteKeysWithMacros(channel_, tables, folder_.Path(), keys);
    EXPECT_EQ(result.macros.code, -1);
    EXPECT_EQ(result.macros.wire, -103);
    EXPECT_FALSE(result.macros.OnDevice());
    EXPECT_EQ(result.keys, 1);
    EXPECT_EQ(DeviceKeyTable(), expected);
    EXPECT_EQ(keys[3].current, (config::KeyAssignment{0x70, 0, 0}));

    // Too large for the memory: the same.
    device_->WithFirmware([](sim::FirmwareModel& f) { f.Info().bytes[6] = 0; });
    const kb::KeyWriteResult over = kb::WriteKeysWithMacros(channel_, tables, folder_.Path(), keys);
    EXPECT_GT(over.macros.code, 0);
    EXPECT_EQ(over.keys, 1);
    EXPECT_EQ(DeviceKeyTable(), expected);
}

TEST_F(KeyboardFaults, FailedColourReadLeavesTheColoursAlone) {
    const kb::KeyboardTables tables = ReadTables();
    std::vector<config::KeyColor> colors(3, config::KeyColor{1, 2, 3, 4});
    device_->InjectFault(Fault(FaultKind::StatusFE, 0x0A, 1));
    EXPECT_EQ(kb::ReadCustomColors(channel_, tables, 255, colors), -103);
    EXPECT_EQ(colors, std::vector<config::KeyColor>(3, config::KeyColor{1, 2, 3, 4}));
    EXPECT_EQ(kb::ReadCustomColors(channel_, kb::KeyboardTables{}, 255, colors), kb::result::kNoKeyTable);
    EXPECT_EQ(kb::WriteGroupColors(channel_, kb::KeyboardTables{}, colors, 0), kb::result::kNoKeyTable);
}

TEST_F(KeyboardFaults, ClosedChannelSendsNothing) {
    const kb::KeyboardTables good = ReadTables();
    channel_.SetOpen(false);
    kb::KeyboardTables tables = good;
    kb::SettingsReadBack readBack;
    devices::StatusBlock status{};
    std::vector<config::KeyColor> colors;
    const std::vector<config::KeyListEntry> keys = FactoryKeys();
    const std::vector<int> macros = {0};
    EXPECT_EQ(kb::ReadKeysFromDevice(channel_, tables), 0);
    EXPECT_EQ(kb::ReadSettingsRecord(channel_, readBack), 0);
    EXPECT_EQ(kb::WriteDeviceSettings(channel_, 0, kb::SettingsRecord{}), 0);
    EXPECT_EQ(kb::WriteKeyAssignments(channel_, good, 0, keys, 0, devices::MacroBindings::Slots), 0);
    EXPECT_EQ(devices::WriteMacros(channel_, folder_.Path(), macros).wire, 0);
    EXPECT_EQ(kb::ReadCustomColors(channel_, good, 255, colors), 0);
    EXPECT_EQ(kb::WriteCustomColors(channel_, good, colors), 0);
    EXPECT_EQ(devices::PollStatus(channel_, status), 0);
    EXPECT_TRUE(Sent().empty());
    ExpectSameTables(tables, good);
}

}  // namespace
}  // namespace norvane::test
