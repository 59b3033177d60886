// The keyboard's command sequences against the simulated keyboard: exact wire bytes and what
// the device memory holds afterwards.
#include "config/keyboard_profiledata.h"
#include "devices/common/status_poll.h"
#include "devices/keyboard/results.h"
#include "devices/keyboard/settings_sync.h"
#include "keyboard_fixture.h"
#include "platform/paths.h"

namespace norvane::test {
namespace {

namespace kb = devices::keyboard;

using KeyboardWire = KeyboardTest;

TEST_F(KeyboardWire, FirstFullReadBytesAndMaps) {
    // Move F1 (key 1) to position 100 and give position 100's old key the F1 slot.
    device_->WithFirmware([](sim::FirmwareModel& f) {
        std::swap_ranges(f.KeyTable().begin() + 3, f.KeyTable().begin() + 6, f.KeyTable().begin() + 300);
        f.LedMap()[100] = 7;
        f.Settings()[0] = 1;
    });
    kb::KeyboardTables tables;
    ASSERT_EQ(kb::ReadKeysFromDevice(channel_, tables), 1);
    kb::SettingsReadBack settings;
    ASSERT_EQ(kb::ReadSettingsRecord(channel_, settings), 1);

    std::vector<Bytes> expected = {Single(0x01), ExpectedRequest(0x03, 34, 0)};
    Append(expected, Chunks(0x07, 378, 0));  // 6 x 56 + 42
    Append(expected, Chunks(0x1B, 126, 0));  // 56 + 56 + 14
    expected.push_back(Single(0x02));
    expected.push_back(ExpectedRequest(0x05, 1, 0));
    expected.push_back(ExpectedRequest(0x05, 28, 25));
    EXPECT_EQ(Sent(), expected);

    EXPECT_EQ(tables.keyCount, 126);
    EXPECT_EQ(tables.macroMemoryBytes, 4096u);
    EXPECT_EQ(channel_.DataSize(), 378);
    EXPECT_EQ(Bytes(tables.KeyTable().begin(), tables.KeyTable().end()), DeviceKeyTable());
    EXPECT_EQ(tables.maps.position[1], 100);
    EXPECT_EQ(tables.maps.led[1], 7);
    EXPECT_EQ(tables.maps.position[0], 0);
    EXPECT_EQ(tables.maps.position[18], 18);  // the first blank position
    EXPECT_EQ(tables.maps.position[19], 18);
    EXPECT_EQ(tables.maps.position[150], 18);
    EXPECT_FALSE(device_->WithFirmware([](sim::FirmwareModel& f) { return f.InConfig(); }));

    EXPECT_EQ(settings.activeProfile, 1);
    // Slot 1 as the simulator's factory memory holds it: mode 2, brightness 4, speed byte 2,
    // red 0xFF, green 0x40; byte 0 is the slot.
    EXPECT_EQ(settings.record[0], 1);
    EXPECT_EQ(settings.record[1], 2);
    EXPECT_EQ(settings.record[2], 4);
    EXPECT_EQ(settings.record[3], 2);
    EXPECT_EQ(settings.record[6], 0xFF);
    EXPECT_EQ(settings.record[7], 0x40);
}

TEST_F(KeyboardWire, ReceiverChunksOfTheKeyRead) {
    Connect("keyboard", device::LinkMode::Receiver);
    kb::KeyboardTables tables;
    ASSERT_EQ(kb::ReadKeysFromDevice(channel_, tables), 1);
    std::vector<Bytes> expected = {Single(0x01)};
    Append(expected, Chunks(0x03, 34, 0, {}, 24));
    Append(expected, Chunks(0x07, 378, 0, {}, 24));
    Append(expected, Chunks(0x1B, 126, 0, {}, 24));
    expected.push_back(Single(0x02));
    EXPECT_EQ(Sent(), expected);
}

TEST_F(KeyboardWire, SettingsWriteBytes) {
    config::LightInfo light;
    light.selectedMode = 19;
    light.brightness = 2;
    light.speed = 3;
    light.red = 1;
    light.green = 2;
    light.blue = 3;
    light.reserved2[0] = 9;
    const config::KeyboardSettings settings{
        .key6Flag = 1, .pollingRate = 2, .wFlag = 1, .winFlag = 0, .wheelMode = 1};
    const std::vector<config::LightModeName> modes(20, {"m", true, 0});
    std::vector<config::LightModeName> coded = modes;
    coded[19].value = 19;
    ASSERT_EQ(kb::WriteDeviceSettings(channel_, 1, 0, light, settings, coded), 1);

    const Bytes record = {0, 19, 2, 1, 0, 0, 1, 2, 3, 0, 0, 0, 0, 0,
                          0, 0,  0, 0, 0, 1, 1, 0, 2, 0, 0, 1, 0, 9};
    EXPECT_EQ(Sent(),
              (std::vector<Bytes>{Single(0x01), ExpectedRequest(0x06, 28, 25, record), Single(0x02)}));
    const Bytes memory = device_->WithFirmware(
        [](sim::FirmwareModel& f) { return Bytes(f.Settings().begin() + 25, f.Settings().begin() + 53); });
    EXPECT_EQ(memory, record);

    // No code for the mode at all: nothing is sent.
    device_->ClearWireLog();
    EXPECT_EQ(kb::WriteDeviceSettings(channel_, 0, 0, light, settings, {}), kb::result::kNoModeCode);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(KeyboardWire, KeyTableWriteWithMacroSlots) {
    MakeMacros({KeyPresses(2, 0x04), KeyPresses(4, 0x05), KeyPresses(1, 0x06)});
    const kb::KeyboardTables tables = ReadTables();
    std::vector<config::KeyListEntry> keys = FactoryKeys();
    keys[5].current = {0x70, 0, 1};  // macro 0 on keys 5 and 9: slot 1
    keys[9].current = {0x71, 0, 3};
    keys[3].current = {0x70, 2, 0};         // macro 2 on key 3: slot 0
    keys[7].current = {0x70, 3, 0};         // no macro 3: the default
    keys[64].current = {0x20, 0x00, 0x05};  // A becomes B

    const kb::KeyWriteResult result = kb::WriteKeysWithMacros(channel_, tables, folder_.Path(), keys);
    EXPECT_EQ(result.macros.code, 0);
    EXPECT_EQ(result.keys, 1);

    Bytes table = DeviceKeyTable();  // the device now holds the written table
    Bytes expectedTable(tables.KeyTable().begin(), tables.KeyTable().end());
    auto put = [&](std::size_t p, config::KeyAssignment a) {
        expectedTable[3 * p] = a.type;
        expectedTable[3 * p + 1] = a.param1;
        expectedTable[3 * p + 2] = a.param2;
    };
    put(3, {0x70, 0, 0});
    put(5, {0x70, 1, 1});
    put(9, {0x71, 1, 3});
    put(64, {0x20, 0x00, 0x05});
    EXPECT_EQ(table, expectedTable);

    // The macro image: macro 2 (1 event) in slot 0, macro 0 (2 events) in slot 1.
    const Bytes image = {0xAA, 0x55, 40, 0, 2,  0, 0,    0,    0,  0, 0,    0,   0,    0,
                         0,    0,    20, 0, 28, 0, 1,    0,    0,  0, 20,   0,   0x8A, 0x06,
                         2,    0,    0,  0, 20, 0, 0x8A, 0x04, 21, 0, 0x0A, 0x04};
    std::vector<Bytes> expected = {ExpectedRequest(0x03, 34, 0),        Single(0x01),
                                   ExpectedRequest(0x15, 40, 0, image), Single(0x02),
                                   ExpectedRequest(0x03, 34, 0),        Single(0x01)};
    Append(expected, Chunks(0x09, 378, 0, expectedTable));
    expected.push_back(Single(0x02));
    EXPECT_EQ(Sent(), expected);
    const Bytes memory = device_->WithFirmware(
        [](sim::FirmwareModel& f) { return Bytes(f.MacroMemory().begin(), f.MacroMemory().begin() + 40); });
    EXPECT_EQ(memory, image);
}

TEST_F(KeyboardWire, MacroOverflowWritesNothing) {
    // 128 bytes of macro memory; two macros of 26 events in all take 16 + 12 + 104 = 132.
    device_->WithFirmware([](sim::FirmwareModel& f) { f.Info().bytes[6] = 1; });
    MakeMacros({KeyPresses(20, 0x04), KeyPresses(6, 0x05)});
    const Bytes before = device_->WithFirmware([](sim::FirmwareModel& f) { return f.MacroMemory(); });
    const std::vector<int> both = {0, 1};
    const devices::MacroWriteResult over = devices::WriteMacros(channel_, folder_.Path(), both);
    EXPECT_EQ(over.code, 2);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{ExpectedRequest(0x03, 34, 0)}));
    EXPECT_EQ(device_->WithFirmware([](sim::FirmwareModel& f) { return f.MacroMemory(); }), before);

    // One event less fits exactly.
    MakeMacros({KeyPresses(19, 0x04), KeyPresses(6, 0x05)});
    const std::vector<int> fitting = {2, 3};
    EXPECT_EQ(devices::WriteMacros(channel_, folder_.Path(), fitting).code, 0);
    EXPECT_EQ(device_->WithFirmware([](sim::FirmwareModel& f) { return f.MacroMemory()[2]; }), 128);

    // Nothing to write: only the device information is asked for.
    device_->ClearWireLog();
    EXPECT_EQ(devices::WriteMacros(channel_, folder_.Path(), {}).code, 0);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{ExpectedRequest(0x03, 34, 0)}));
}

TEST_F(KeyboardWire, CustomColoursPutKey95OnLed97) {
    device_->WithFirmware([](sim::FirmwareModel& f) {
        f.LedMap()[97] = 95;   // key 97 is lit by LED 95
        f.LedMap()[10] = 200;  // an LED the table does not have
    });
    const kb::KeyboardTables tables = ReadTables();
    std::vector<config::KeyColor> colors(kb::kKeyIndexCount);
    for (std::size_t i = 0; i < colors.size(); ++i) {
        colors[i] = {static_cast<std::uint8_t>(i), 0x80, static_cast<std::uint8_t>(255 - i), 255};
    }
    ASSERT_EQ(kb::WriteCustomColors(channel_, tables, colors), 1);

    // Keys 18, 19, 20 and 104 share the blank code, so all sit on position 18 and its LED:
    // the last of them colours LED 18 and LEDs 19, 20 and 104 stay dark.
    Bytes expectedTable(378, 0);
    for (std::size_t led = 0; led < 126; ++led) {
        std::size_t key = led == 97 ? 95 : led == 95 ? 97 : led;
        key = led == 18 ? 104 : key;
        if (led != 10 && led != 19 && led != 20 && led != 104) {
            expectedTable[3 * led] = colors[key].red;
            expectedTable[3 * led + 1] = colors[key].green;
            expectedTable[3 * led + 2] = colors[key].blue;
        }
    }
    EXPECT_EQ(Sent(), Chunks(0x0B, 378, 0, expectedTable));

    // A painted key goes to its group's place of the colour memory.
    device_->ClearWireLog();
    ASSERT_EQ(kb::WriteGroupColors(channel_, tables, colors, 2), 1);
    EXPECT_EQ(Sent(), Chunks(0x0B, 378, 1024, expectedTable));
    const Bytes memory = device_->WithFirmware([](sim::FirmwareModel& f) {
        return Bytes(f.KeyColors().begin() + 1024, f.KeyColors().begin() + 1024 + 378);
    });
    EXPECT_EQ(memory, expectedTable);
}

TEST_F(KeyboardWire, CustomModeReadBackLandsInTheDevicesGroup) {
    device_->WithFirmware([](sim::FirmwareModel& f) {
        f.Settings()[1] = 19;  // custom mode
        f.Settings()[2] = 3;   // brightness index 3
        f.Settings()[26] = 3;  // custom group 3
        f.LedMap()[4] = 6;     // key 4 lit by LED 6
        for (std::size_t i = 0; i < 378; ++i) {
            f.KeyColors()[i] = static_cast<std::uint8_t>(i);
        }
    });
    const kb::KeyboardTables tables = ReadTables();
    TempDir dir;
    config::CKeyboardProfiledata profile;
    profile.SetDefaultPath(platform::ProgramSubfolder("DefaultData") / "keyboard.Json");
    profile.SetProfilePath(dir / "profile.json");
    ASSERT_NE(profile.LoadDeviceDocument(dir / "profile.json"), config::LoadStatus::Missing);
    const std::vector<config::KeyColor> group0 = profile.GetCustomColors(0, 170);

    const std::vector<config::LightModeName> modes = IndexModes();
    const std::array<std::uint8_t, 5> levels = {0, 63, 126, 190, 255};
    kb::KeyboardSettingsState state;
    ASSERT_EQ(kb::SyncSettingsFromDevice(channel_, tables, modes, levels, state, profile), 1);
    EXPECT_EQ(state.light.selectedMode, 19);
    EXPECT_EQ(state.light.customGroup, 3);
    EXPECT_EQ(Sent().back(), ExpectedRequest(0x0A, 42, 336));

    // What a fresh load of the saved file finds.
    config::CKeyboardProfiledata saved;
    saved.SetDefaultPath(profile.GetDefaultPath());
    ASSERT_EQ(saved.LoadDeviceDocument(dir / "profile.json"), config::LoadStatus::Loaded);
    const std::vector<config::KeyColor> group3 = saved.GetCustomColors(3, 170);
    ASSERT_EQ(group3.size(), 170u);
    EXPECT_EQ(group3[0], (config::KeyColor{0, 1, 2, 189}));
    EXPECT_EQ(group3[4], (config::KeyColor{18, 19, 20, 189}));
    EXPECT_EQ(group3[125], (config::KeyColor{119, 120, 121, 189}));  // 375 = 3 x 125
    EXPECT_EQ(saved.GetCustomColors(0, 170), group0);
    EXPECT_EQ(saved.GetLightInfo().selectedMode, 19);
}

TEST_F(KeyboardWire, StatusPollByCableAndThroughTheReceiver) {
    device_->WithFirmware([](sim::FirmwareModel& f) {
        f.Status()[0] = 77;
        f.Status()[3] = 5;
    });
    devices::StatusBlock status{};
    ASSERT_EQ(devices::PollStatus(channel_, status), 1);
    EXPECT_EQ(status, (devices::StatusBlock{77, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Sent(), (std::vector<Bytes>{ExpectedRequest(0x1A, 6, 0)}));

    Connect("keyboard", device::LinkMode::Receiver);
    device_->WithFirmware([](sim::FirmwareModel& f) { f.Status()[0] = 60; });
    ASSERT_EQ(devices::PollStatus(channel_, status), 1);
    EXPECT_EQ(status, (devices::StatusBlock{60, 0, 0, 1, 0, 0}));
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Single(0xAA), ExpectedRequest(0x1A, 6, 0)}));

    Connect("receiver", device::LinkMode::Receiver);
    device_->SetLinked(false);
    status = {};
    EXPECT_EQ(devices::PollStatus(channel_, status), device::result::kReceiverAsleep);
    EXPECT_EQ(status, devices::StatusBlock{});
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Single(0xAA)}));
}

}  // namespace
}  // namespace norvane::test
