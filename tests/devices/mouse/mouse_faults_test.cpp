// Device faults in the middle of the mouse's sequences: the caller's data stays as it was, a
// bracket once opened is closed, refused writes send nothing, the real result comes back.
#include "devices/mouse/results.h"
#include "mouse_fixture.h"

#include <functional>
#include <optional>

namespace norvane::test {
namespace {

namespace ms = devices::mouse;
using sim::Fault;
using sim::FaultKind;

Fault AsleepOn(std::uint8_t command, int skip = 0) {
    Fault fault(FaultKind::WrongCommand, command, skip);
    fault.answerCommand = 0xAA;
    return fault;
}

struct ReadCase {
    const char* name;
    Fault fault;
    std::optional<int> result;  // the code, when the fault decides it
    bool closes = true;         // the bracket's end reaches the device
    device::LinkMode link = device::LinkMode::Cable;
};

void ExpectSameKeys(const ms::MouseKeys& a, const ms::MouseKeys& b) {
    EXPECT_EQ(a.info.bytes, b.info.bytes);
    EXPECT_EQ(a.factoryTable, b.factoryTable);
    EXPECT_EQ(a.buttonMap, b.buttonMap);
}

using MouseFaults = MouseTest;

TEST_F(MouseFaults, FailedFirstReadKeepsTheKeysAndClosesTheBracket) {
    const std::vector<ReadCase> cases = {
        {"no answer to the bracket", Fault(FaultKind::NoAnswer, 0x01), 0},
        {"no answer to the info", Fault(FaultKind::NoAnswer, 0x03), 0},
        {"other command byte on the info", Fault(FaultKind::WrongCommand, 0x03), 0},
        {"status FE on the key table", Fault(FaultKind::StatusFE, 0x07), -103},
        {"status FF on the key table", Fault(FaultKind::StatusFF, 0x07), -102},
        {"end refused", Fault(FaultKind::StatusFF, 0x02), -102},
        {"unplugged on the key table", Fault(FaultKind::Unplug, 0x07), std::nullopt, false},
        {"asleep on the second chunk of the key table", AsleepOn(0x07, 1), -101, true,
         device::LinkMode::Receiver},
        {"status FE on the info's second chunk", Fault(FaultKind::StatusFE, 0x03, 1), -103, true,
         device::LinkMode::Receiver},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Connect(c.link == device::LinkMode::Receiver ? "receiver" : "mouse", c.link);
        ms::MouseKeys keys = ReadKeys();
        const ms::MouseKeys before = keys;
        // What a good read would now change: the left and right buttons swap keys.
        device_->WithFirmware([](sim::FirmwareModel& f) {
            std::swap_ranges(f.KeyTable().begin(), f.KeyTable().begin() + 3, f.KeyTable().begin() + 3);
        });
        device_->InjectFault(c.fault);
        const int r = ms::ReadMouseKeys(channel_, keys);
        EXPECT_NE(r, 1);
        if (c.result) {
            EXPECT_EQ(r, *c.result);
        }
        ExpectSameKeys(keys, before);
        if (c.closes) {
            ASSERT_FALSE(Sent().empty());
            EXPECT_EQ(Sent().back()[3], 0x02);
        }
    }
}

TEST_F(MouseFaults, KeyCountOutsideTheTableStopsInsideTheBracket) {
    for (const std::uint8_t count :
         {std::uint8_t{0}, std::uint8_t{127}, std::uint8_t{171}, std::uint8_t{255}}) {
        SCOPED_TRACE(count);
        Connect("mouse");
        ms::MouseKeys keys = ReadKeys();
        const ms::MouseKeys before = keys;
        device_->WithFirmware([count](sim::FirmwareModel& f) { f.Info().bytes[5] = count; });
        EXPECT_EQ(ms::ReadMouseKeys(channel_, keys), ms::result::kBadKeyCount);
        EXPECT_EQ(CommandBytes(), (std::vector<std::uint8_t>{0x01, 0x03, 0x02}));
        EXPECT_FALSE(InConfig());
        EXPECT_EQ(channel_.DataSize(), 33);
        ExpectSameKeys(keys, before);
    }
}

TEST_F(MouseFaults, FailedSettingsReadKeepsTheReadBack) {
    const std::vector<ReadCase> cases = {
        {"no answer to the index", Fault(FaultKind::NoAnswer, 0x05), 0},
        {"status FE on the block", Fault(FaultKind::StatusFE, 0x05, 1), -103},
        {"status FF on the block's second chunk", Fault(FaultKind::StatusFF, 0x05, 2), -102},
        {"other command byte on the block", Fault(FaultKind::WrongCommand, 0x05, 1), 0},
        {"unplugged on the block", Fault(FaultKind::Unplug, 0x05, 1), std::nullopt},
        {"asleep on the block", AsleepOn(0x05, 1), -101, true, device::LinkMode::Receiver},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Connect(c.link == device::LinkMode::Receiver ? "receiver" : "mouse", c.link);
        device_->WithFirmware([](sim::FirmwareModel& f) { f.Settings()[0] = 1; });
        ms::MouseSettingsReadBack readBack;
        readBack.activeBlock = 3;
        readBack.block.fill(0x5A);
        const ms::MouseSettingsReadBack before = readBack;
        device_->InjectFault(c.fault);
        const int r = ms::ReadMouseSettings(channel_, readBack);
        EXPECT_NE(r, 1);
        if (c.result) {
            EXPECT_EQ(r, *c.result);
        }
        EXPECT_EQ(readBack.activeBlock, before.activeBlock);
        EXPECT_EQ(readBack.block, before.block);
    }
}

TEST_F(MouseFaults, WritesReturnTheRealResultAndCloseTheBracket) {
    const std::vector<config::LightModeName> modes = {{"m", true, 1}};
    ms::MouseSettingsInputs inputs;
    inputs.modes = modes;
    const std::vector<config::KeyListEntry> keyList = FactoryKeyList();
    const std::vector<int> macros = {0};
    WriteText(folder_ / "ShootData_0.Shoot",
              R"({"Events": [{"Type": 1, "Button": 1, "Action": "down", "Delay": 1}]})");
    MakeMacros({KeyPresses(2, 0x04)});

    enum class Write { Settings, Keys, Macros, Shoot };
    struct Case {
        const char* name;
        Write write;
        Fault fault;
        int result;
        std::optional<std::vector<std::uint8_t>> commands;  // when the device stays to see them
    };
    using C = std::vector<std::uint8_t>;
    const std::vector<Case> cases = {
        {"settings: no answer to the bracket", Write::Settings, Fault(FaultKind::NoAnswer, 0x01), 0,
         C{0x01, 0x02}},
        {"settings: status FF on the second chunk", Write::Settings, Fault(FaultKind::StatusFF, 0x06, 1),
         -102, C{0x01, 0x06, 0x06, 0x02}},
        {"settings: other command byte", Write::Settings, Fault(FaultKind::WrongCommand, 0x06), 0,
         C{0x01, 0x06, 0x02}},
        {"settings: end refused", Write::Settings, Fault(FaultKind::StatusFE, 0x02), -103,
         C{0x01, 0x06, 0x06, 0x02}},
        {"settings: unplugged", Write::Settings, Fault(FaultKind::Unplug, 0x06), 0, std::nullopt},
        {"keys: no answer to the info", Write::Keys, Fault(FaultKind::NoAnswer, 0x03), 0, C{0x03}},
        {"keys: status FE on the table", Write::Keys, Fault(FaultKind::StatusFE, 0x09), -103,
         C{0x03, 0x01, 0x09, 0x02}},
        {"keys: unplugged", Write::Keys, Fault(FaultKind::Unplug, 0x09), 0, std::nullopt},
        {"macros: no answer to the info", Write::Macros, Fault(FaultKind::NoAnswer, 0x03), -1, C{0x03}},
        {"macros: status FF on the image", Write::Macros, Fault(FaultKind::StatusFF, 0x15), -1,
         C{0x03, 0x01, 0x15, 0x02}},
        {"shoot: status FE on the image", Write::Shoot, Fault(FaultKind::StatusFE, 0x17), -103,
         C{0x03, 0x01, 0x17, 0x02}},
        {"shoot: no answer to the bracket", Write::Shoot, Fault(FaultKind::NoAnswer, 0x01), 0,
         C{0x03, 0x01, 0x02}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connect("mouse");
        const ms::MouseKeys keys = ReadKeys();
        device_->InjectFault(c.fault);
        int r = 1;
        switch (c.write) {
            case Write::Settings:
                r = ms::WriteMouseSettings(channel_, 0, inputs);
                break;
            case Write::Keys:
                r = ms::WriteMouseKeyTable(channel_, keys, 0, keyList, 1);
                break;
            case Write::Macros:
                r = ms::WriteMouseMacros(channel_, folder_.Path(), macros).code;
                break;
            case Write::Shoot:
                r = ms::WriteShootPatterns(channel_, folder_.Path());
                break;
        }
        if (c.commands) {
            EXPECT_EQ(r, c.result);
            EXPECT_EQ(CommandBytes(), *c.commands);
            EXPECT_FALSE(InConfig());
        } else {
            EXPECT_NE(r, 1);
        }
    }
}

TEST_F(MouseFaults, KeyTableWriteNeedsACompleteReadOfTheCurrentKeyCount) {
    const std::vector<config::KeyListEntry> keyList = FactoryKeyList();
    const Bytes deviceTable = DeviceKeyTable();

    // Never read.
    EXPECT_EQ(ms::WriteMouseKeyTable(channel_, ms::MouseKeys{}, 0, keyList, 0), ms::result::kNoKeyTable);
    EXPECT_EQ(CommandBytes(), (std::vector<std::uint8_t>{0x03}));

    // A read that failed half-way leaves nothing to write from.
    ms::MouseKeys partial;
    device_->InjectFault(Fault(FaultKind::StatusFF, 0x07));
    EXPECT_EQ(ms::ReadMouseKeys(channel_, partial), -102);
    device_->ClearWireLog();
    EXPECT_EQ(ms::WriteMouseKeyTable(channel_, partial, 0, keyList, 0), ms::result::kNoKeyTable);
    EXPECT_EQ(CommandBytes(), (std::vector<std::uint8_t>{0x03}));

    // A table cut short, and a mouse that now reports another key count.
    ms::MouseKeys keys = ReadKeys();
    ms::MouseKeys cut = keys;
    cut.factoryTable.resize(30);
    EXPECT_EQ(ms::WriteMouseKeyTable(channel_, cut, 0, keyList, 0), ms::result::kNoKeyTable);
    device_->WithFirmware([](sim::FirmwareModel& f) { f.Info().bytes[5] = 12; });
    EXPECT_EQ(ms::WriteMouseKeyTable(channel_, keys, 0, keyList, 0), ms::result::kNoKeyTable);
    EXPECT_EQ(CommandBytes(), (std::vector<std::uint8_t>{0x03, 0x03}));

    // Another bank: nothing at all is sent.
    device_->ClearWireLog();
    EXPECT_EQ(ms::WriteMouseKeyTable(channel_, keys, 1, keyList, 0), device::result::kBadBank);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(DeviceKeyTable(), deviceTable);

    // A closed channel: nothing sent either.
    channel_.SetOpen(false);
    device_->WithFirmware([](sim::FirmwareModel& f) { f.Info().bytes[5] = 11; });
    EXPECT_EQ(ms::WriteMouseKeyTable(channel_, keys, 0, keyList, 0), device::result::kNoAnswer);
    EXPECT_EQ(ms::ReadMouseKeys(channel_, keys), device::result::kNoAnswer);
    EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace norvane::test
