#include "device/commands.h"

#include "platform/diag.h"
#include "tests/device/sim_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace norvane::device {
namespace {

using test::ExpectedRequest;
using test::Pattern;
using Bytes = std::vector<std::uint8_t>;

TEST(CommandPacketTest, ChecksumIsTheSumOfBytes3To63InTwoBytes) {
    const auto begin = CommandPacket::Request(Command::BeginConfig);
    const Bytes expected = {0x04, 0x01, 0x00, 0x01};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), begin.bytes.begin()));
    EXPECT_TRUE(std::all_of(begin.bytes.begin() + 4, begin.bytes.end(), [](auto b) { return b == 0; }));

    // 61 bytes of 0xFF: 0x3CC3, the high byte carried into byte 2.
    Report full{};
    full.fill(0xFF);
    EXPECT_EQ(PacketChecksum(full), 0x3CC3);
    // Bytes 0-2 never count.
    full[0] = full[1] = full[2] = 0;
    EXPECT_EQ(PacketChecksum(full), 0x3CC3);

    const Bytes data = Pattern(60, 9);
    const auto write = CommandPacket::Request(Command::WriteSettings, 56, 0x1234, data);
    EXPECT_EQ(Bytes(write.bytes.begin(), write.bytes.end()), ExpectedRequest(0x06, 56, 0x1234, data));
    EXPECT_EQ(write.Offset(), 0x1234);
}

class CommandWireTest : public test::SimChannelTest {};

struct WireCase {
    const char* name;
    LinkMode mode;
    std::function<int(HidChannel&)> run;
    std::vector<Bytes> requests;
};

std::vector<Bytes> Chunks(std::uint8_t command, std::size_t total, std::size_t chunk, std::size_t base,
                          const Bytes* data = nullptr) {
    std::vector<Bytes> out;
    for (std::size_t pos = 0; pos < total; pos += chunk) {
        const std::size_t n = std::min(chunk, total - pos);
        const auto part =
            data != nullptr ? std::span(*data).subspan(pos, n) : std::span<const std::uint8_t>{};
        out.push_back(ExpectedRequest(command, static_cast<std::uint8_t>(n),
                                      static_cast<std::uint16_t>(base + pos), part));
    }
    return out;
}

TEST_F(CommandWireTest, EveryCommandPutsItsExactReportsOnTheWire) {
    static const Bytes settings = Pattern(66, 1);
    static const Bytes keyTable = Pattern(378, 2);
    static const Bytes colors = Pattern(378, 3);
    static const Bytes frame = Pattern(378, 4);
    static const Bytes macro = Pattern(130, 5);
    static const Bytes shoot = Pattern(130, 6);
    Bytes sink(600);
    const auto cable = LinkMode::Cable;
    const auto receiver = LinkMode::Receiver;
    const std::vector<WireCase> cases = {
        {"BeginConfig", cable, [](HidChannel& c) { return BeginConfig(c); }, {ExpectedRequest(0x01, 0, 0)}},
        {"EndConfig", cable, [](HidChannel& c) { return EndConfig(c); }, {ExpectedRequest(0x02, 0, 0)}},
        {"ReadDeviceInfo cable",
         cable,
         [](HidChannel& c) {
             DeviceInfoBlock i;
             return ReadDeviceInfo(c, i);
         },
         {ExpectedRequest(0x03, 34, 0)}},
        {"ReadDeviceInfo receiver",
         receiver,
         [](HidChannel& c) {
             DeviceInfoBlock i;
             return ReadDeviceInfo(c, i);
         },
         {ExpectedRequest(0x03, 24, 0), ExpectedRequest(0x03, 10, 24)}},
        {"ReadSettings",
         cable,
         [&](HidChannel& c) { return ReadSettings(c, std::span(sink).first(28), 50); },
         {ExpectedRequest(0x05, 28, 50)}},
        {"WriteSettings cable", cable, [](HidChannel& c) { return WriteSettings(c, settings, 128); },
         Chunks(0x06, 66, 56, 128, &settings)},
        {"WriteSettings receiver", receiver, [](HidChannel& c) { return WriteSettings(c, settings, 0); },
         Chunks(0x06, 66, 24, 0, &settings)},
        {"ReadKeyTable", cable,
         [&](HidChannel& c) {
             c.SetDataSize(378);
             return ReadKeyTable(c, sink);
         },
         Chunks(0x07, 378, 56, 0)},
        {"WriteKeyTable", cable,
         [](HidChannel& c) {
             c.SetDataSize(378);
             return WriteKeyTable(c, keyTable, 0);
         },
         Chunks(0x09, 378, 56, 0, &keyTable)},
        {"ReadKeyColors", cable,
         [&](HidChannel& c) { return ReadKeyColors(c, std::span(sink).first(378), 2, 512); },
         Chunks(0x0A, 378, 56, 1024)},
        {"WriteKeyColors", receiver, [](HidChannel& c) { return WriteKeyColors(c, colors, 1, 512); },
         Chunks(0x0B, 378, 24, 512, &colors)},
        {"WriteLightFrame cable", cable, [](HidChannel& c) { return WriteLightFrame(c, frame); },
         Chunks(0x12, 378, 56, 0, &frame)},
        {"WriteLightFrame receiver", receiver, [](HidChannel& c) { return WriteLightFrame(c, frame); },
         Chunks(0x12, 378, 24, 0, &frame)},
        {"WriteMacroMemory", receiver, [](HidChannel& c) { return WriteMacroMemory(c, macro); },
         Chunks(0x15, 130, 24, 0, &macro)},
        {"WriteShootData receiver", receiver, [](HidChannel& c) { return WriteShootData(c, shoot); },
         Chunks(0x17, 130, 56, 0, &shoot)},
        {"ReadStatus",
         cable,
         [&](HidChannel& c) { return ReadStatus(c, std::span(sink).first(6), 0); },
         {ExpectedRequest(0x1A, 6, 0)}},
        {"ReadKeyLedMap", cable,
         [&](HidChannel& c) {
             c.SetDataSize(378);
             return ReadKeyLedMap(c, sink);
         },
         Chunks(0x1B, 126, 56, 0)},
        {"EnableHostLighting",
         cable,
         [](HidChannel& c) { return EnableHostLighting(c); },
         {ExpectedRequest(0x1C, 0, 0)}},
        {"QueryLink receiver",
         receiver,
         [](HidChannel& c) { return QueryLink(c) ? 1 : 0; },
         {ExpectedRequest(0xAA, 0, 0)}},
        {"QueryLink cable", cable, [](HidChannel& c) { return QueryLink(c) ? 1 : 0; }, {}},
        {"empty transfer", cable, [](HidChannel& c) { return WriteMacroMemory(c, {}); }, {}},
        {"key table bank 1",
         cable,
         [](HidChannel& c) { return WriteKeyTable(c, keyTable, 1) == -201 ? 1 : 0; },
         {}},
        {"status longer than 56",
         cable,
         [&](HidChannel& c) {
             return ReadStatus(c, std::span(sink).first(57), 0) == result::kBadRequest ? 1 : 0;
         },
         {}},
        {"offsets past 16 bits",
         cable,
         [](HidChannel& c) { return WriteSettings(c, settings, 0xFFF0) == result::kBadRequest ? 1 : 0; },
         {}},
    };
    for (const WireCase& c : cases) {
        SCOPED_TRACE(c.name);
        channel_.SetDataSize(512);
        Connect(c.mode == receiver ? "receiver" : "keyboard", c.mode);
        EXPECT_EQ(c.run(channel_), 1);
        EXPECT_EQ(Sent(), c.requests);
        // Every request was answered once.
        EXPECT_EQ(device_->WireLog().size(), 2 * c.requests.size());
    }
}

TEST_F(CommandWireTest, WritesLandInDeviceMemoryAndReadsReturnIt) {
    Connect("keyboard");
    const Bytes settings = Pattern(28, 11);
    ASSERT_EQ(WriteSettings(channel_, settings, 3 * 25), 1);
    Bytes back(28);
    ASSERT_EQ(ReadSettings(channel_, back, 3 * 25), 1);
    EXPECT_EQ(back, settings);
    device_->WithFirmware([&](sim::FirmwareModel& fw) {
        EXPECT_TRUE(std::equal(settings.begin(), settings.end(), fw.Settings().begin() + 75));
    });

    DeviceInfoBlock info;
    ASSERT_EQ(ReadDeviceInfo(channel_, info), 1);
    EXPECT_EQ(info.KeyCount(), 126);
    ASSERT_TRUE(channel_.SetDataSize(info.KeyCount() * 3));
    Bytes table(512);
    ASSERT_EQ(ReadKeyTable(channel_, table), 1);
    EXPECT_EQ((Bytes{table[0], table[1], table[2]}), (Bytes{0x20, 0x00, 0x29}));
    Bytes leds(170);
    ASSERT_EQ(ReadKeyLedMap(channel_, leds), 1);
    EXPECT_EQ(leds[125], 125);

    const Bytes frame = Pattern(378, 21);
    ASSERT_EQ(WriteLightFrame(channel_, frame), 1);
    const Bytes macro = Pattern(200, 22);
    ASSERT_EQ(WriteMacroMemory(channel_, macro), 1);
    const Bytes colors = Pattern(378, 23);
    ASSERT_EQ(WriteKeyColors(channel_, colors, 2, 512), 1);
    device_->WithFirmware([&](sim::FirmwareModel& fw) {
        EXPECT_TRUE(std::equal(frame.begin(), frame.end(), fw.LightFrame().begin()));
        EXPECT_TRUE(std::equal(macro.begin(), macro.end(), fw.MacroMemory().begin()));
        EXPECT_TRUE(std::equal(colors.begin(), colors.end(), fw.KeyColors().begin() + 1024));
    });
    Bytes colorsBack(378);
    ASSERT_EQ(ReadKeyColors(channel_, colorsBack, 2, 512), 1);
    EXPECT_EQ(colorsBack, colors);
}

TEST_F(CommandWireTest, MouseDeviceInfoCarriesSensorFields) {
    Connect("mouse");
    DeviceInfoBlock info;
    ASSERT_EQ(ReadDeviceInfo(channel_, info), 1);
    EXPECT_EQ(info.KeyCount(), 11);
    EXPECT_EQ(info.MacroMemoryBytes(), 2048u);
    EXPECT_EQ(info.SensorModel(), 0x3325);
    EXPECT_EQ(info.DpiStep(), 100);
    EXPECT_EQ(info.SliderMaximum(), 63);
    EXPECT_EQ(info.DpiBase(), 200);
    Bytes status(6);
    ASSERT_EQ(ReadStatus(channel_, status, 0), 1);
    EXPECT_EQ(status[0], 85);
}

struct CodeCase {
    const char* name;
    sim::Fault fault;
    int expected;
    std::size_t requestsOnWire;
};

TEST_F(CommandWireTest, ResultCodesAndPartialTransfers) {
    using sim::FaultKind;
    // A 66-byte settings write through the receiver: chunks of 24, 24, 18.
    const std::vector<CodeCase> cases = {
        {"status FE on chunk 2", {FaultKind::StatusFE, 0x06, 1}, -103, 2},
        {"status FF on chunk 1", {FaultKind::StatusFF, 0x06}, -102, 1},
        {"no answer on chunk 3", {FaultKind::NoAnswer, 0x06, 2}, 0, 3},
        {"unplugged during chunk 2", {FaultKind::Unplug, 0x06, 1}, 0, 2},
        {"wrong command byte", {FaultKind::WrongCommand, 0x06}, 0, 1},
        {"garbage", {FaultKind::Garbage, 0x06}, 0, 1},
        {"late beyond the timeout", {FaultKind::LateAnswer, 0x06, 0, 1, 400}, 0, 1},
        {"late within the timeout", {FaultKind::LateAnswer, 0x06, 0, 1, 20}, 1, 3},
        {"noise before the answer", {FaultKind::NoiseBeforeAnswer, 0x06, 0, 3}, 1, 3},
        {"events before the answer", {FaultKind::EventsBeforeAnswer, 0x06, 0, 3}, 1, 3},
    };
    const Bytes data = Pattern(66, 40);
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Connect("receiver", LinkMode::Receiver);
        device_->InjectFault(c.fault);
        EXPECT_EQ(WriteSettings(channel_, data, 0), c.expected);
        EXPECT_EQ(Sent().size(), c.requestsOnWire);
    }
}

TEST_F(CommandWireTest, FailedReadChunkKeepsWhatWasReadBefore) {
    Connect("keyboard", LinkMode::Receiver);
    device_->WithFirmware([](sim::FirmwareModel& fw) {
        for (std::size_t i = 0; i < 34; ++i) {
            fw.Info().bytes[i] = static_cast<std::uint8_t>(i + 1);
        }
    });
    device_->InjectFault({sim::FaultKind::StatusFE, 0x03, 1});
    DeviceInfoBlock info;
    EXPECT_EQ(ReadDeviceInfo(channel_, info), -103);
    EXPECT_EQ(info.bytes[0], 1);
    EXPECT_EQ(info.bytes[23], 24);
    EXPECT_EQ(info.bytes[24], 0);  // the second chunk never arrived
}

TEST_F(CommandWireTest, SleepingMouseBehindReceiver) {
    Connect("receiver", LinkMode::Receiver);
    device_->SetLinked(false);
    EXPECT_FALSE(QueryLink(channel_));
    DeviceInfoBlock info;
    EXPECT_EQ(ReadDeviceInfo(channel_, info), -101);
    EXPECT_EQ(BeginConfig(channel_), -101);
    EXPECT_EQ(Sent().size(), 3u);  // one report each: 0xAA ends the exchange on the first read
    device_->SetLinked(true);
    EXPECT_TRUE(QueryLink(channel_));
    EXPECT_EQ(ReadDeviceInfo(channel_, info), 1);
}

TEST_F(CommandWireTest, AnAnswerOf0xAAByCableIsJustNotTheAnswer) {
    Connect("keyboard");
    sim::Fault fault{sim::FaultKind::WrongCommand, 0x01};
    fault.answerCommand = 0xAA;
    device_->InjectFault(fault);
    EXPECT_EQ(BeginConfig(channel_), 0);
}

TEST_F(CommandWireTest, ReceiverOnlyQueryRefusesStatusErrors) {
    Connect("receiver", LinkMode::Receiver);
    device_->InjectFault({sim::FaultKind::StatusFE, 0xAA});
    EXPECT_FALSE(QueryLink(channel_));
    EXPECT_TRUE(QueryLink(channel_));
}

TEST_F(CommandWireTest, KeyCountAbove170CannotBecomeTheDataSize) {
    Connect("keyboard");
    device_->WithFirmware([](sim::FirmwareModel& fw) { fw.Info().bytes[5] = 171; });
    DeviceInfoBlock info;
    ASSERT_EQ(ReadDeviceInfo(channel_, info), 1);
    EXPECT_FALSE(channel_.SetDataSize(info.KeyCount() * 3));
    EXPECT_EQ(channel_.DataSize(), 512);
    // Buffers shorter than the data size are refused before anything is sent.
    device_->ClearWireLog();
    Bytes small(100);
    EXPECT_EQ(ReadKeyTable(channel_, small), result::kBadRequest);
    EXPECT_EQ(WriteKeyTable(channel_, small, 0), result::kBadRequest);
    EXPECT_TRUE(Sent().empty());
}

// A caller's bad argument is refused unsent with its own code, not as a failed write.
TEST_F(CommandWireTest, BadArgumentsAreRefusedUnsentWithTheirOwnCode) {
    Connect("keyboard");
    ASSERT_TRUE(channel_.SetDataSize(378));
    Bytes buffer(100);
    Bytes status(57);
    struct Case {
        const char* name;
        std::function<int()> call;
    };
    const Case cases[] = {
        {"key table buffer short", [&] { return ReadKeyTable(channel_, buffer); }},
        {"key table data short", [&] { return WriteKeyTable(channel_, buffer, 0); }},
        {"LED map buffer short", [&] { return ReadKeyLedMap(channel_, std::span(buffer).first(100)); }},
        {"status over 56 bytes", [&] { return ReadStatus(channel_, status, 0); }},
        {"settings read past 0xFFFF", [&] { return ReadSettings(channel_, buffer, 0xFFF0); }},
        {"settings write past 0xFFFF", [&] { return WriteSettings(channel_, buffer, 0xFFF0); }},
        {"negative colour index", [&] { return ReadKeyColors(channel_, buffer, -1, 10); }},
        {"colour offset past 0xFFFF", [&] { return WriteKeyColors(channel_, buffer, 0x1000, 0x10); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.call(), result::kBadRequest) << c.name;
    }
    EXPECT_TRUE(Sent().empty());
}

TEST_F(CommandWireTest, FirmwareRejectsBadRequests) {
    Connect("keyboard");
    // Past the end of the settings memory: status 0xFF.
    Bytes sink(56);
    EXPECT_EQ(ReadSettings(channel_, sink, 4090), -102);
    // A corrupted checksum or an unknown command: status 0xFE.
    auto bad = CommandPacket::Request(Command::BeginConfig);
    bad.bytes[1] ^= 1;
    Report answer{};
    EXPECT_EQ(channel_.Exchange(bad.bytes, answer), 1);
    EXPECT_EQ(answer[7], 0xFE);
    auto unknown = CommandPacket::Request(static_cast<Command>(0x33));
    EXPECT_EQ(channel_.Exchange(unknown.bytes, answer), 1);
    EXPECT_EQ(answer[7], 0xFE);
}

TEST_F(CommandWireTest, TraceShowsRequestAndAnswerInTwoLinesEach) {
    Connect("keyboard");
    platform::diag::ScopedCapture capture;
    ASSERT_EQ(BeginConfig(channel_), 1);
    const auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "命令");
    EXPECT_EQ(lines[1],
              "04 01 00 01   00 00 00 00   00 00 00 00   00 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00  "
              "00 00 00 00");
    EXPECT_EQ(lines[3], "返回");
    EXPECT_EQ(lines[4].substr(0, 14), "04 01 00 01   ");
    // Light frames are silent.
    const Bytes frame = Pattern(30, 1);
    const std::size_t before = capture.Lines().size();
    ASSERT_EQ(WriteLightFrame(channel_, frame), 1);
    EXPECT_EQ(capture.Lines().size(), before);
    // A failed exchange shows the last report that came back, not zeros.
    device_->InjectFault({sim::FaultKind::WrongCommand, 0x01});
    const std::size_t failed = capture.Lines().size();
    ASSERT_EQ(BeginConfig(channel_), 0);
    const auto after = capture.Lines();
    ASSERT_EQ(after.size(), failed + 6);
    EXPECT_EQ(after[failed + 3], "返回");
    EXPECT_EQ(after[failed + 4].substr(0, 14), "04 01 00 41   ");
}

TEST_F(CommandWireTest, EndConfigPausesBeforeSending) {
    Connect("keyboard");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(EndConfig(channel_), 1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(10));
}

}  // namespace
}  // namespace norvane::device
