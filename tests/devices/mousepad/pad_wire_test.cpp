// The mousepad's settings block, read-back and status poll against the simulated pad: exact
// wire bytes, device memory afterwards, and the caller's record after failures.
#include "devices/mousepad/pad_wire.h"
#include "devices/common/results.h"
#include "sim/firmware.h"
#include "tests/device/sim_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace norvane::test {
namespace {

namespace pad = devices::mousepad;
using devices::light::PeripheralLightRecord;
using Bytes = std::vector<std::uint8_t>;
using sim::Fault;
using sim::FaultKind;

constexpr std::uint8_t kBegin = 0x01;
constexpr std::uint8_t kEnd = 0x02;
constexpr std::uint8_t kRead = 0x05;
constexpr std::uint8_t kWrite = 0x06;
constexpr std::uint8_t kStatus = 0x1A;

// Twelve modes whose code is 10 + index, so a code is never mistaken for an index; names
// past mode 8 exist, so mode 9 has a code of its own that must not be sent.
std::vector<config::LightModeName> PadModes() {
    std::vector<config::LightModeName> modes;
    modes.reserve(12);
    for (int i = 0; i < 12; ++i) {
        modes.push_back({"mode", true, 10 + i});
    }
    return modes;
}

// A record with every byte set: mode 3, brightness 2, speed 1, device data 0x90….
PeripheralLightRecord SampleRecord() {
    PeripheralLightRecord r;
    for (std::size_t i = 0; i < r.bytes.size(); ++i) {
        r.bytes[i] = static_cast<std::uint8_t>(0x80 + i);
    }
    r.SetActiveBlock(0);
    r.SetMode(3);
    r.SetBrightness(2);
    r.SetSpeed(1);
    r.SetDirection(1);
    r.SetMultiColor(0);
    r.SetColor(0x11, 0x22, 0x33);
    return r;
}

Bytes Single(std::uint8_t command) {
    return ExpectedRequest(command, 0, 0);
}

class PadWireTest : public SimChannelTest {
protected:
    void SetUp() override { Connect("mousepad"); }

    Bytes Memory(std::size_t at, std::size_t size) {
        return device_->WithFirmware([&](sim::FirmwareModel& f) {
            return Bytes(f.Settings().begin() + static_cast<std::ptrdiff_t>(at),
                         f.Settings().begin() + static_cast<std::ptrdiff_t>(at + size));
        });
    }
    // Block n of the device at n x 25: 28 bytes of pattern with the given mode code and speed byte.
    Bytes SeedBlock(std::uint8_t active, std::uint8_t modeCode, std::uint8_t speedByte) {
        Bytes block = Pattern(28, 0x31);
        block[1] = modeCode;
        block[3] = speedByte;
        device_->WithFirmware([&](sim::FirmwareModel& f) {
            std::copy(block.begin(), block.end(), f.Settings().begin() + pad::ReadBlockOffset(active));
            f.Settings()[0] = active;  // block 0's first byte is the index
        });
        return block;
    }
    std::vector<std::uint8_t> Commands() const {
        std::vector<std::uint8_t> commands;
        for (const Bytes& request : Sent()) {
            commands.push_back(request[3]);
        }
        return commands;
    }
};

TEST_F(PadWireTest, SettingsBlockOnTheWire) {
    struct Case {
        const char* name;
        int block;
        int selectedMode;
        std::uint8_t speed;
        std::uint8_t sentCode;
        std::uint8_t sentSpeed;
    };
    const Case cases[] = {
        {"mode 3, speed 1", 0, 3, 1, 13, 3},
        {"mode 8 is the last sent as itself", 0, 8, 0, 18, 4},
        {"mode 9 sends mode 0's code", 0, 9, 4, 10, 0},
        {"mode 200 sends mode 0's code", 0, 200, 2, 10, 2},
        {"speed above 4 is sent as 4", 0, 1, 7, 11, 0},
        {"block 1 at 64", 1, 2, 3, 12, 1},
        {"block 3 at 192", 3, 0, 0, 10, 4},
    };
    const auto modes = PadModes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device_->ClearWireLog();
        PeripheralLightRecord record = SampleRecord();
        record.SetSpeed(c.speed);
        const PeripheralLightRecord before = record;

        ASSERT_EQ(pad::WritePadSettings(channel_, c.block, record, c.selectedMode, modes), 1);

        Bytes sent(record.bytes.begin(), record.bytes.end());
        sent[1] = c.sentCode;
        sent[3] = c.sentSpeed;
        const auto offset = static_cast<std::uint16_t>(c.block * 64);
        EXPECT_EQ(Sent(), (std::vector<Bytes>{Single(kBegin), ExpectedRequest(kWrite, 21, offset, sent),
                                              Single(kEnd)}));
        EXPECT_EQ(Memory(offset, 21), sent);
        EXPECT_EQ(record, before);
    }
}

TEST_F(PadWireTest, ModeCodeLookupIsBoundsChecked) {
    struct Case {
        const char* name;
        std::vector<config::LightModeName> modes;
        int selectedMode;
        std::optional<std::uint8_t> sentCode;  // nothing: not written
    };
    const std::vector<Case> cases = {
        {"mode beyond a short list takes mode 0's code", {{"a", true, 40}, {"b", true, 41}}, 5, 40},
        {"negative mode takes mode 0's code", PadModes(), -1, 10},
        {"mode whose value is no byte takes mode 0's code", {{"a", true, 40}, {"b", true, 300}}, 1, 40},
        {"empty list writes nothing", {}, 0, std::nullopt},
        {"mode 0 without a usable code writes nothing", {{"a", true, -4}}, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device_->ClearWireLog();
        const Bytes memoryBefore = Memory(0, 21);
        const int r = pad::WritePadSettings(channel_, 0, SampleRecord(), c.selectedMode, c.modes);
        if (c.sentCode) {
            EXPECT_EQ(r, 1);
            ASSERT_EQ(Sent().size(), 3u);
            EXPECT_EQ(Sent()[1][8 + 1], *c.sentCode);
        } else {
            EXPECT_EQ(r, devices::result::kNoModeCode);
            EXPECT_TRUE(Sent().empty());
            EXPECT_EQ(Memory(0, 21), memoryBefore);
        }
    }
}

TEST_F(PadWireTest, ReadBackFromTheActiveBlockThenWriteAtBlockZero) {
    const Bytes block = SeedBlock(2, 14, 1);
    PeripheralLightRecord record = SampleRecord();

    ASSERT_EQ(pad::ReadPadSettings(channel_, PadModes(), record), 1);

    EXPECT_EQ(Sent(), (std::vector<Bytes>{ExpectedRequest(kRead, 1, 0), ExpectedRequest(kRead, 28, 50)}));
    Bytes expected(block.begin(), block.begin() + 21);
    expected[0] = 2;  // the active block
    expected[1] = 4;  // code 14 is mode 4
    expected[3] = 3;  // 4 - 1
    EXPECT_EQ(Bytes(record.bytes.begin(), record.bytes.end()), expected);

    device_->ClearWireLog();
    ASSERT_EQ(pad::WritePadSettings(channel_, 0, record, record.Mode(), PadModes()), 1);
    Bytes sent = expected;
    sent[1] = 14;
    sent[3] = 1;
    EXPECT_EQ(Sent(),
              (std::vector<Bytes>{Single(kBegin), ExpectedRequest(kWrite, 21, 0, sent), Single(kEnd)}));
    EXPECT_EQ(Memory(0, 1), Bytes{2});
}

TEST_F(PadWireTest, ReadBackTranslations) {
    struct Case {
        const char* name;
        std::uint8_t active;
        std::uint8_t code;
        std::uint8_t speedByte;
        std::uint8_t mode;   // expected, the record's own mode being 3
        std::uint8_t speed;  // expected
    };
    const Case cases[] = {
        {"block 0", 0, 10, 4, 0, 0},
        {"unknown code keeps the mode", 1, 99, 0, 3, 4},
        {"speed byte above 4 reads as speed 0", 3, 18, 9, 8, 0},
        {"last block", 255, 12, 2, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device_->ClearWireLog();
        SeedBlock(c.active, c.code, c.speedByte);
        PeripheralLightRecord record = SampleRecord();
        ASSERT_EQ(pad::ReadPadSettings(channel_, PadModes(), record), 1);
        EXPECT_EQ(Sent().back(), ExpectedRequest(kRead, 28, static_cast<std::uint16_t>(c.active * 25)));
        EXPECT_EQ(record.ActiveBlock(), c.active);
        EXPECT_EQ(record.Mode(), c.mode);
        EXPECT_EQ(record.Speed(), c.speed);
    }
}

struct FaultCase {
    const char* name;
    Fault fault;
    std::optional<int> result;  // the code, when the fault decides it
};

TEST_F(PadWireTest, FailedReadBackLeavesTheRecord) {
    const std::vector<FaultCase> cases = {
        {"no answer to the index", Fault(FaultKind::NoAnswer, kRead), 0},
        {"no answer to the block", Fault(FaultKind::NoAnswer, kRead, 1), 0},
        {"status FF on the block", Fault(FaultKind::StatusFF, kRead, 1), -102},
        {"status FE on the index", Fault(FaultKind::StatusFE, kRead), -103},
        {"other command byte", Fault(FaultKind::WrongCommand, kRead, 1), std::nullopt},
        {"garbage instead of the block", Fault(FaultKind::Garbage, kRead, 1), std::nullopt},
        {"unplugged on the block", Fault(FaultKind::Unplug, kRead, 1), std::nullopt},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        Connect("mousepad");
        SeedBlock(2, 14, 1);
        device_->InjectFault(c.fault);
        PeripheralLightRecord record = SampleRecord();
        const int r = pad::ReadPadSettings(channel_, PadModes(), record);
        EXPECT_NE(r, 1);
        if (c.result) {
            EXPECT_EQ(r, *c.result);
        }
        EXPECT_EQ(record, SampleRecord());
    }
}

TEST_F(PadWireTest, FailedWriteReturnsTheFailureAndClosesTheBracket) {
    struct WriteFault {
        const char* name;
        Fault fault;
        int result;
        std::vector<std::uint8_t> commands;
    };
    const std::vector<WriteFault> cases = {
        {"begin refused", Fault(FaultKind::StatusFF, kBegin), -102, {kBegin, kEnd}},
        {"no answer to the write", Fault(FaultKind::NoAnswer, kWrite), 0, {kBegin, kWrite, kEnd}},
        {"status FE on the write", Fault(FaultKind::StatusFE, kWrite), -103, {kBegin, kWrite, kEnd}},
        {"status FF on the end", Fault(FaultKind::StatusFF, kEnd), -102, {kBegin, kWrite, kEnd}},
    };
    for (const WriteFault& c : cases) {
        SCOPED_TRACE(c.name);
        Connect("mousepad");
        device_->InjectFault(c.fault);
        EXPECT_EQ(pad::WritePadSettings(channel_, 0, SampleRecord(), 3, PadModes()), c.result);
        EXPECT_EQ(Commands(), c.commands);
    }

    Connect("mousepad");
    device_->InjectFault(Fault(FaultKind::Unplug, kWrite));
    const int unplugged = pad::WritePadSettings(channel_, 0, SampleRecord(), 3, PadModes());
    EXPECT_NE(unplugged, 1);
}

TEST_F(PadWireTest, ClosedChannelOrBlockOutsideMemorySendsNothing) {
    EXPECT_EQ(pad::WritePadSettings(channel_, -1, SampleRecord(), 0, PadModes()), -1);
    EXPECT_EQ(pad::WritePadSettings(channel_, 1024, SampleRecord(), 0, PadModes()), -1);
    EXPECT_TRUE(Sent().empty());

    channel_.SetOpen(false);
    PeripheralLightRecord record = SampleRecord();
    EXPECT_EQ(pad::WritePadSettings(channel_, 0, record, 0, PadModes()), 0);
    EXPECT_EQ(pad::ReadPadSettings(channel_, PadModes(), record), 0);
    pad::StatusBlock status{};
    EXPECT_EQ(pad::PollStatus(channel_, status), 0);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(record, SampleRecord());
}

TEST_F(PadWireTest, StatusPollCarriesLevelPowerStateAndPhone) {
    device_->WithFirmware([](sim::FirmwareModel& f) {
        f.Status()[0] = 85;
        f.Status()[1] = 1;
        f.Status()[3] = 7;  // replaced by the link flag
        f.Status()[5] = 2;
    });
    pad::StatusBlock status{};
    ASSERT_EQ(pad::PollStatus(channel_, status), 1);
    EXPECT_EQ(Sent(), std::vector<Bytes>{ExpectedRequest(kStatus, 6, 0)});
    EXPECT_EQ(status, (pad::StatusBlock{85, 1, 0, 0, 0, 2}));

    const pad::StatusBlock before = status;
    for (const Fault& fault : {Fault(FaultKind::NoAnswer, kStatus), Fault(FaultKind::StatusFF, kStatus)}) {
        device_->InjectFault(fault);
        EXPECT_NE(pad::PollStatus(channel_, status), 1);
        EXPECT_EQ(status, before);
    }
}

}  // namespace
}  // namespace norvane::test
