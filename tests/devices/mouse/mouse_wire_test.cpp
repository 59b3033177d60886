// The mouse's command sequences against the simulated mouse and receiver: exact wire bytes and
// what the device memory holds afterwards.
#include "config/shoot_data.h"
#include "devices/mouse/dpi_scale.h"
#include "devices/mouse/results.h"
#include "mouse_fixture.h"

namespace norvane::test {
namespace {

namespace ms = devices::mouse;

using MouseWire = MouseTest;

TEST_F(MouseWire, FirstFullReadByCable) {
    // The left button on key 3, the forward button on key 0.
    device_->WithFirmware([](sim::FirmwareModel& f) {
        std::swap_ranges(f.KeyTable().begin(), f.KeyTable().begin() + 3, f.KeyTable().begin() + 9);
    });
    ms::MouseKeys keys;
    ASSERT_EQ(ms::ReadMouseKeys(channel_, keys), 1);

    std::vector<Bytes> expected = {Single(0x01), ExpectedRequest(0x03, 34, 0), ExpectedRequest(0x07, 33, 0),
                                   Single(0x02)};
    EXPECT_EQ(Sent(), expected);
    EXPECT_FALSE(InConfig());
    EXPECT_EQ(channel_.DataSize(), 33);
    EXPECT_TRUE(keys.Complete());
    EXPECT_EQ(keys.KeyCount(), 11);
    EXPECT_EQ(keys.factoryTable, DeviceKeyTable());
    EXPECT_EQ(keys.buttonMap, (std::vector<int>{3, 1, 2, 0, 4, 5, 6, 7, 8, 9, 10}));
    const ms::DpiScale scale = ms::DpiScale::FromInfo(keys.info);
    EXPECT_EQ(scale.DisplayDpi(60), 7400);
    EXPECT_EQ(scale.MaxTypedDpi(), 8000);  // slider 63 on the coarse range
}

TEST_F(MouseWire, FirstFullReadThroughTheReceiverTestsTheLinkBeforeEachStep) {
    Connect("receiver", device::LinkMode::Receiver);
    ms::MouseKeys keys;
    ASSERT_EQ(ms::ReadMouseKeys(channel_, keys), 1);
    std::vector<Bytes> expected = {Single(0xAA), Single(0x01), Single(0xAA)};
    Append(expected, Chunks(0x03, 34, 0, {}, 24));
    expected.push_back(Single(0xAA));
    Append(expected, Chunks(0x07, 33, 0, {}, 24));
    Append(expected, {Single(0xAA), Single(0x02)});
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(keys.buttonMap, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(MouseWire, AsleepMouseBehindTheReceiverGetsOnlyTheLinkQuestion) {
    Connect("receiver", device::LinkMode::Receiver);
    const ms::MouseKeys keys = ReadKeys();
    MakeMacros({KeyPresses(2, 0x04)});
    device_->SetLinked(false);
    const Bytes settingsBefore = DeviceSettings(0, 128);

    ms::MouseKeys reread = keys;
    ms::MouseSettingsReadBack readBack;
    readBack.activeBlock = 9;
    const std::vector<config::KeyListEntry> keyList = FactoryKeyList();
    const std::vector<int> macros = {0};
    const std::vector<config::LightModeName> modes = {{"m", true, 1}};
    ms::MouseSettingsInputs inputs;
    inputs.modes = modes;

    struct Case {
        const char* name;
        int result;
        int expected;
    };
    const std::vector<Case> cases = {
        {"first full read", ms::ReadMouseKeys(channel_, reread), 0},
        {"settings write", ms::WriteMouseSettings(channel_, 0, inputs), 0},
        {"settings read", ms::ReadMouseSettings(channel_, readBack), 0},
        {"key table write", ms::WriteMouseKeyTable(channel_, keys, 0, keyList, 1), 0},
        {"macro write", ms::WriteMouseMacros(channel_, folder_.Path(), macros).code, -1},
        {"shoot write", ms::WriteShootPatterns(channel_, folder_.Path()), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, c.expected) << c.name;
    }
    EXPECT_EQ(Sent(), std::vector<Bytes>(cases.size(), Single(0xAA)));
    EXPECT_EQ(reread.factoryTable, keys.factoryTable);
    EXPECT_EQ(reread.buttonMap, keys.buttonMap);
    EXPECT_EQ(readBack.activeBlock, 9);
    EXPECT_EQ(DeviceSettings(0, 128), settingsBefore);
}

TEST_F(MouseWire, SettingsWriteWithStagesAndReportRate) {
    const std::vector<config::LightModeName> modes = {{"m0", true, 0}, {"m1", true, 5}, {"m2", true, 6}};
    const std::vector<config::DpiStage> stages = {
        {1, 0, 4, 4, 0xFF, 0, 0}, {1, 1, 300, 20, 0, 0xFF, 0}, {0, 0, 48, 48, 0, 0, 0xFF}};
    ms::MouseSettingsInputs inputs;
    inputs.light.selectedMode = 2;
    inputs.light.brightness = 3;
    inputs.light.speed = 1;
    inputs.modes = modes;
    inputs.stages = stages;
    inputs.currentStage = 1;
    inputs.settings.reportRateStage = 2;
    inputs.screenWidth = 1920;
    inputs.screenHeight = 1080;
    ASSERT_EQ(ms::WriteMouseSettings(channel_, 0, inputs), 1);

    Bytes block(66, 0);
    const std::vector<std::pair<std::size_t, std::uint8_t>> bytes = {
        {1, 6},     {2, 3},     {3, 3},  {11, 2},    {12, 1},    {14, 1},    {16, 4},    {18, 4},
        {20, 0xFF}, {23, 1},    {24, 1}, {25, 0x2C}, {26, 0x01}, {27, 20},   {30, 0xFF}, {34, 48},
        {36, 48},   {40, 0xFF}, {59, 1}, {60, 0x80}, {61, 0x07}, {62, 0x38}, {63, 0x04},
    };
    for (const auto& [at, value] : bytes) {
        block[at] = value;
    }
    std::vector<Bytes> expected = {Single(0x01)};
    Append(expected, Chunks(0x06, 66, 0, block));
    expected.push_back(Single(0x02));
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(DeviceSettings(0, 66), block);
    EXPECT_FALSE(InConfig());

    // Block 1 lands at 128; through the receiver in 24-byte chunks with the link tested.
    Connect("receiver", device::LinkMode::Receiver);
    ASSERT_EQ(ms::WriteMouseSettings(channel_, 1, inputs), 1);
    expected = {Single(0xAA), Single(0x01), Single(0xAA)};
    Append(expected, Chunks(0x06, 66, 128, block, 24));
    Append(expected, {Single(0xAA), Single(0x02)});
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(DeviceSettings(128, 66), block);
}

TEST_F(MouseWire, RefusedSettingsSendNothing) {
    ms::MouseSettingsInputs inputs;  // no light mode names: no code to send
    EXPECT_EQ(ms::WriteMouseSettings(channel_, 0, inputs), ms::result::kNoModeCode);
    const ms::MouseSettingsBlock block{};
    for (const int bad : {-1, 512, 1 << 20}) {
        EXPECT_EQ(ms::WriteMouseSettings(channel_, bad, block), device::result::kBadRequest) << bad;
    }
    EXPECT_TRUE(Sent().empty());
}

TEST_F(MouseWire, SettingsReadBackOfTheActiveBlock) {
    device_->WithFirmware([](sim::FirmwareModel& f) {
        f.Settings()[0] = 2;
        f.Settings()[256 + 12] = 3;
        f.Settings()[256 + 70] = 0x5A;
    });
    ms::MouseSettingsReadBack readBack;
    ASSERT_EQ(ms::ReadMouseSettings(channel_, readBack), 1);
    std::vector<Bytes> expected = {ExpectedRequest(0x05, 1, 0)};
    Append(expected, Chunks(0x05, 71, 256));
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(readBack.activeBlock, 2);
    EXPECT_EQ(Bytes(readBack.block.begin(), readBack.block.end()), DeviceSettings(256, 71));

    // Block 2 as the simulator's factory memory holds it: mode code 3, brightness 4, speed
    // byte 2, red 0xFF, green 0x40.
    const std::vector<config::LightModeName> modes = {{"a", true, 1}, {"b", true, 2}, {"c", true, 3}};
    config::LightInfo current;
    current.direction = 1;
    const ms::MouseReadBackState state =
        ms::DecodeMouseReadBack(readBack.block, readBack.activeBlock, modes, current);
    EXPECT_EQ(state.mirror[0], 2);
    EXPECT_EQ(state.mirror[70], 0x5A);
    EXPECT_EQ(state.light.selectedMode, 2);
    EXPECT_EQ(state.light.brightness, 4);
    EXPECT_EQ(state.light.speed, 2);
    EXPECT_EQ(state.light.red, 0xFF);
    EXPECT_EQ(state.light.green, 0x40);
    EXPECT_EQ(state.light.direction, 1);
    EXPECT_EQ(state.currentStage, 3);
}

TEST_F(MouseWire, KeyTableWriteWithMacrosAndAGunKey) {
    const ms::MouseKeys keys = ReadKeys();
    MakeMacros({KeyPresses(1, 0x04), KeyPresses(1, 0x05), KeyPresses(1, 0x06), KeyPresses(1, 0x07),
                KeyPresses(2, 0x08)});
    const int macroCount = devices::MacroCount(folder_.Path());
    ASSERT_EQ(macroCount, 5);
    std::vector<config::KeyListEntry> keyList = FactoryKeyList();
    keyList[0].current = {0x70, 4, 0};  // left: macro 4
    keyList[1].current = {0x71, 2, 3};  // right: macro 2, three times
    keyList[3].current = {0x70, 7, 0};  // forward: past the library
    keyList[4].current = {0x72, 1, 0};  // back: gun key 1

    const std::vector<int> used = ms::ListUsedMacros(keyList, keys.buttonMap, macroCount);
    ASSERT_EQ(used, (std::vector<int>{4, 2}));
    ASSERT_EQ(ms::WriteMouseMacros(channel_, folder_.Path(), used).code, 0);
    ASSERT_EQ(ms::WriteMouseKeyTable(channel_, keys, 0, keyList, macroCount), 1);

    // Macro 4 (two events) in slot 0, macro 2 (one event) in slot 1.
    const Bytes image = {0xAA, 0x55, 40, 0, 2,  0, 0,    0,    0,  0, 0,    0,    0, 0, 0, 0,  // header
                         20,   0,    32, 0,                                                    // offsets
                         2,    0,    0,  0, 20, 0, 0x8A, 0x08, 21, 0, 0x0A, 0x08,              // macro 4
                         1,    0,    0,  0, 20, 0, 0x8A, 0x06};                                // macro 2
    Bytes table = keys.factoryTable;
    const std::vector<std::pair<std::size_t, config::KeyAssignment>> written = {
        {0, {0x70, 0, 0}}, {1, {0x71, 1, 3}}, {3, {0x10, 0x10, 0x00}}, {4, {0x72, 1, 0}}};
    for (const auto& [key, a] : written) {
        table[3 * key] = a.type;
        table[3 * key + 1] = a.param1;
        table[3 * key + 2] = a.param2;
    }
    const std::vector<Bytes> expected = {
        ExpectedRequest(0x03, 34, 0), Single(0x01), ExpectedRequest(0x15, 40, 0, image), Single(0x02),
        ExpectedRequest(0x03, 34, 0), Single(0x01), ExpectedRequest(0x09, 33, 0, table), Single(0x02)};
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(DeviceKeyTable(), table);
    const Bytes memory = device_->WithFirmware(
        [](sim::FirmwareModel& f) { return Bytes(f.MacroMemory().begin(), f.MacroMemory().begin() + 40); });
    EXPECT_EQ(memory, image);
}

TEST_F(MouseWire, MacroImageOneEventTooLargeReturnsTwo) {
    // 128 bytes of macro memory; two macros of 26 events in all take 16 + 12 + 104 = 132.
    device_->WithFirmware([](sim::FirmwareModel& f) { f.Info().bytes[6] = 1; });
    MakeMacros({KeyPresses(20, 0x04), KeyPresses(6, 0x05), KeyPresses(19, 0x04)});
    const Bytes before = device_->WithFirmware([](sim::FirmwareModel& f) { return f.MacroMemory(); });
    const std::vector<int> over = {0, 1};
    EXPECT_EQ(ms::WriteMouseMacros(channel_, folder_.Path(), over).code, 2);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{ExpectedRequest(0x03, 34, 0)}));
    EXPECT_EQ(device_->WithFirmware([](sim::FirmwareModel& f) { return f.MacroMemory(); }), before);

    // One event less fits exactly.
    const std::vector<int> fitting = {2, 1};
    EXPECT_EQ(ms::WriteMouseMacros(channel_, folder_.Path(), fitting).code, 0);
    EXPECT_EQ(device_->WithFirmware([](sim::FirmwareModel& f) { return f.MacroMemory()[2]; }), 128);
}

TEST_F(MouseWire, ShootMemoryOfFourPatterns) {
    WriteText(folder_ / "ShootData_0.Shoot", R"({"Events": [
        {"Type": 1, "Button": 1, "Action": "down", "Delay": 10},
        {"Type": 1, "Button": 1, "Action": "up", "Delay": 0},
        {"Type": 4, "Button": 5, "Action": "up", "Delay": 5},
        {"Type": 5, "Button": 3, "Action": "down", "Delay": 300}]})");
    // Gun 1 has no file.
    WriteText(folder_ / "ShootData_2.Shoot",
              R"({"Events": [{"Type": 4, "Button": 255, "Action": "down", "Delay": 0}]})");
    WriteText(folder_ / "ShootData_3.Shoot", R"({"Events": []})");
    ASSERT_EQ(ms::WriteShootPatterns(channel_, folder_.Path()), 1);

    // 16 + 6 x 4 + 4 x 5 = 60 bytes.
    const Bytes image = {
        0xAA, 0x55, 60, 0, 4,  0, 0,    0,   0, 0, 0,    0, 0, 0, 0,    0,                       // header
        24,   0,    44, 0, 48, 0, 56,   0,                                                       // offsets
        4,    0,    0,  0, 10, 0, 0x81, 1,   0, 0, 0x01, 1, 5, 0, 0x04, 5, 0x2C, 0x01, 0x85, 3,  // gun 0
        0,    0,    0,  0,                                                                       // gun 1
        1,    0,    0,  0, 0,  0, 0x84, 255,                                                     // gun 2
        0,    0,    0,  0,                                                                       // gun 3
    };
    std::vector<Bytes> expected = {ExpectedRequest(0x03, 34, 0), Single(0x01)};
    Append(expected, Chunks(0x17, 60, 0, image));
    expected.push_back(Single(0x02));
    EXPECT_EQ(Sent(), expected);
    const Bytes memory = device_->WithFirmware(
        [](sim::FirmwareModel& f) { return Bytes(f.ShootMemory().begin(), f.ShootMemory().begin() + 60); });
    EXPECT_EQ(memory, image);

    // Through the receiver the shoot memory still goes in 56-byte chunks.
    Connect("receiver", device::LinkMode::Receiver);
    ASSERT_EQ(ms::WriteShootPatterns(channel_, folder_.Path()), 1);
    expected = {Single(0xAA)};
    Append(expected, Chunks(0x03, 34, 0, {}, 24));
    Append(expected, {Single(0xAA), Single(0x01), Single(0xAA)});
    Append(expected, Chunks(0x17, 60, 0, image));
    Append(expected, {Single(0xAA), Single(0x02)});
    EXPECT_EQ(Sent(), expected);
}

TEST_F(MouseWire, InvalidShootPatternsAreNotSent) {
    struct Case {
        const char* name;
        std::string events;
    };
    std::string tooLong;
    for (int i = 0; i < 181; ++i) {
        tooLong +=
            std::string(i == 0 ? "" : ",") + R"({"Type": 1, "Button": 1, "Action": "down", "Delay": 1})";
    }
    const std::vector<Case> cases = {
        {"a key event", R"({"Type": 10, "Button": 4, "Action": "down", "Delay": 1})"},
        {"no action", R"({"Type": 4, "Button": 4, "Action": "", "Delay": 1})"},
        {"a distance past a byte", R"({"Type": 5, "Button": 300, "Action": "up", "Delay": 1})"},
        {"more than 30 bullets", tooLong},
    };
    const Bytes before = device_->WithFirmware([](sim::FirmwareModel& f) { return f.ShootMemory(); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device_->ClearWireLog();
        WriteText(folder_ / "ShootData_1.Shoot", R"({"Events": [)" + c.events + "]}");
        EXPECT_EQ(ms::WriteShootPatterns(channel_, folder_.Path()), ms::result::kBadShootPattern);
        EXPECT_EQ(CommandBytes(), (std::vector<std::uint8_t>{0x03}));
    }
    EXPECT_EQ(device_->WithFirmware([](sim::FirmwareModel& f) { return f.ShootMemory(); }), before);
}

}  // namespace
}  // namespace norvane::test
