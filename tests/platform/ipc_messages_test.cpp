// The checks of every message from outside (platform/ipc/messages.h): a table of good and
// bad parameters per message, then the blocks the program builds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ipc/messages.h"

namespace norvane::platform::ipc {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Block(std::size_t size) {
    return Bytes(size, 0x5A);
}

// What a case expects: an event, "ignored", or the name of the error.
struct Expect {
    std::optional<Event> event;
    bool ignored = false;
    std::string error;
};
Expect Accepts(Event event) {
    return {std::move(event), false, {}};
}
Expect IsIgnored() {
    return {std::nullopt, true, {}};
}
Expect Refused(std::string_view error = kErrorInvalidArgs) {
    return {std::nullopt, false, std::string(error)};
}

struct ProgramCase {
    std::string name;
    std::string interface;
    std::string method;
    WireArgs args;
    Expect expect;
};

std::ostream& operator<<(std::ostream& out, const ProgramCase& c) {
    return out << c.name;
}

std::vector<ProgramCase> ProgramCases() {
    const std::string iface(kInterface);
    std::vector<ProgramCase> cases = {
        // Activate (InstanceMessage): no arguments.
        {"ActivateGood", iface, "Activate", {}, Accepts(ActivateEvent{})},
        {"ActivateWithoutInterface", "", "Activate", {}, Accepts(ActivateEvent{})},
        {"ActivateWithArgument", iface, "Activate", {1u}, Refused()},
        {"ActivateOtherInterface", "io.norvane.Other", "Activate", {}, Refused(kErrorUnknownInterface)},
        // ExternalForward: any two numbers, passed on unchanged.
        {"ExternalForwardGood",
         iface,
         "ExternalForward",
         {7u, 0xFFFFFFFFu},
         Accepts(ExternalForwardEvent{7, 0xFFFFFFFF})},
        {"ExternalForwardZero", iface, "ExternalForward", {0u, 0u}, Accepts(ExternalForwardEvent{0, 0})},
        {"ExternalForwardOneArgument", iface, "ExternalForward", {7u}, Refused()},
        {"ExternalForwardSigned", iface, "ExternalForward", {std::int32_t{7}, std::int32_t{1}}, Refused()},
        // LightControl: (1, 0) gives up, (1, 1) takes control; nothing else.
        {"LightControlGiveUp", iface, "LightControl", {1u, 0u}, Accepts(LightControlEvent{false})},
        {"LightControlTake", iface, "LightControl", {1u, 1u}, Accepts(LightControlEvent{true})},
        {"LightControlFirstZero", iface, "LightControl", {0u, 1u}, Refused()},
        {"LightControlFirstTwo", iface, "LightControl", {2u, 1u}, Refused()},
        {"LightControlSecondTwo", iface, "LightControl", {1u, 2u}, Refused()},
        {"LightControlSecondHuge", iface, "LightControl", {1u, 0xFFFFFFFFu}, Refused()},
        {"LightControlBool", iface, "LightControl", {true}, Refused()},
        {"LightControlString", iface, "LightControl", {std::string("1"), std::string("1")}, Refused()},
        {"LightControlThreeArguments", iface, "LightControl", {1u, 1u, 1u}, Refused()},
        {"LightControlUnknownType", iface, "LightControl", {OtherArg{"d"}, OtherArg{"d"}}, Refused()},
        // DeviceReport: no arguments.
        {"DeviceReportGood", iface, "DeviceReport", {}, Accepts(DeviceReportEvent{})},
        {"DeviceReportWithArguments", iface, "DeviceReport", {0u, 0u}, Refused()},
        // AudioData: kind 1 up to 4200 bytes, kind 2 up to 156 bytes, empty ignored.
        {"AudioSamplesOne", iface, "AudioData", {1u, Block(1)}, Accepts(AudioDataEvent{1, Block(1)})},
        {"AudioSamplesTypical",
         iface,
         "AudioData",
         {1u, Block(2000)},
         Accepts(AudioDataEvent{1, Block(2000)})},
        {"AudioSamplesLimit", iface, "AudioData", {1u, Block(4200)}, Accepts(AudioDataEvent{1, Block(4200)})},
        {"AudioSamplesOverLimit", iface, "AudioData", {1u, Block(4201)}, Refused()},
        {"AudioSamplesEmpty", iface, "AudioData", {1u, Bytes{}}, IsIgnored()},
        {"AudioLevelsLimit", iface, "AudioData", {2u, Block(156)}, Accepts(AudioDataEvent{2, Block(156)})},
        {"AudioLevelsOverLimit", iface, "AudioData", {2u, Block(157)}, Refused()},
        {"AudioLevelsEmpty", iface, "AudioData", {2u, Bytes{}}, IsIgnored()},
        {"AudioDataKindZero", iface, "AudioData", {0u, Block(4)}, Refused()},
        {"AudioDataKindColour", iface, "AudioData", {10u, Block(40)}, Refused()},
        {"AudioDataKindReport", iface, "AudioData", {5u, Block(1024)}, Refused()},
        {"AudioDataNoBlock", iface, "AudioData", {1u}, Refused()},
        {"AudioDataStringBlock", iface, "AudioData", {1u, std::string("abc")}, Refused()},
        // The private messages of the main window are not offered.
        {"FirmwareCheck3332", iface, "FirmwareCheck", {0u, 300u}, Refused(kErrorUnknownMethod)},
        {"OpenSettings3093", iface, "OpenSettings", {}, Refused(kErrorUnknownMethod)},
        {"DeviceArrived3090", iface, "DeviceArrived", {0u, 0u}, Refused(kErrorUnknownMethod)},
        {"LanguageChanged3089", iface, "LanguageChanged", {1u, 0u}, Refused(kErrorUnknownMethod)},
        {"AudioCaptureMessage", iface, "Command", {0u, 0u}, Refused(kErrorUnknownMethod)},
        {"HookMessage", iface, "WM_HOOK_KEY_SINGLEKEY_MSG", {0x100u, 0u}, Refused(kErrorUnknownMethod)},
        {"LowerCaseName", iface, "activate", {}, Refused(kErrorUnknownMethod)},
        {"GameWithoutPrefix", iface, "Start", {0u, 3u}, Refused(kErrorUnknownMethod)},
    };
    // The four game events share their rules: phase 0 to 2, light mode 0 to 255.
    const struct {
        const char* method;
        GameEventKind kind;
    } games[] = {{"Game_Start", GameEventKind::kStart},
                 {"Game_End", GameEventKind::kEnd},
                 {"Game_Kill", GameEventKind::kKill},
                 {"Game_Death", GameEventKind::kDeath}};
    for (const auto& game : games) {
        const std::string m = game.method;
        cases.push_back({m + "Phase0", iface, m, {0u, 3u}, Accepts(GameEvent{game.kind, 0, 3})});
        cases.push_back({m + "Phase2Mode255", iface, m, {2u, 255u}, Accepts(GameEvent{game.kind, 2, 255})});
        cases.push_back({m + "Phase1Mode0", iface, m, {1u, 0u}, Accepts(GameEvent{game.kind, 1, 0})});
        cases.push_back({m + "Phase3", iface, m, {3u, 3u}, Refused()});
        cases.push_back({m + "PhaseHuge", iface, m, {0xFFFFFFFFu, 3u}, Refused()});
        cases.push_back({m + "Mode256", iface, m, {0u, 256u}, Refused()});
        cases.push_back({m + "ModeHuge", iface, m, {0u, 0x80000001u}, Refused()});
        cases.push_back({m + "Signed", iface, m, {std::int32_t{0}, std::int32_t{3}}, Refused()});
        cases.push_back({m + "NoArguments", iface, m, {}, Refused()});
    }
    return cases;
}

class ProgramCallTest : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramCallTest, DecodesAsTheTableSays) {
    const ProgramCase& c = GetParam();
    const auto decoded = DecodeProgramCall(c.interface, c.method, c.args);
    if (c.expect.event) {
        ASSERT_TRUE(std::holds_alternative<Event>(decoded))
            << (std::holds_alternative<Refusal>(decoded) ? std::get<Refusal>(decoded).message : "ignored");
        EXPECT_EQ(std::get<Event>(decoded), *c.expect.event) << Describe(std::get<Event>(decoded));
    } else if (c.expect.ignored) {
        EXPECT_TRUE(std::holds_alternative<Ignored>(decoded));
    } else {
        ASSERT_TRUE(std::holds_alternative<Refusal>(decoded));
        EXPECT_EQ(std::get<Refusal>(decoded).error, c.expect.error);
        EXPECT_FALSE(std::get<Refusal>(decoded).message.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ProgramCallTest, ::testing::ValuesIn(ProgramCases()),
                         [](const ::testing::TestParamInfo<ProgramCase>& param) { return param.param.name; });

TEST(IpcMessagesTest, RefusalNamesTheExpectedAndTheGivenSignature) {
    const auto decoded = DecodeProgramCall(kInterface, kLightControlMethod, {std::string("x")});
    ASSERT_TRUE(std::holds_alternative<Refusal>(decoded));
    EXPECT_EQ(std::get<Refusal>(decoded).message, "LightControl takes (uu), got (s)");
}

TEST(IpcMessagesTest, AudioRecordCallsAreChecked) {
    const std::string iface(kAudioRecordInterface);
    struct Case {
        std::uint32_t code;
        std::uint32_t value;
        bool valid;
    };
    const Case commands[] = {{0, 1234, true}, {1, 0, true},   {1, 1, false},         {2, 0, true},
                             {3, 0, true},    {4, 0, true},   {5, 0, true},          {5, 7, false},
                             {6, 0, true},    {6, 255, true}, {7, 128, true},        {8, 255, true},
                             {8, 256, false}, {9, 0, false},  {0xFFFFFFFF, 0, false}};
    for (const Case& c : commands) {
        EXPECT_EQ(IsValidAudioCommand(c.code, c.value), c.valid) << c.code << ", " << c.value;
        const auto decoded = DecodeAudioRecordCall(iface, kCommandMethod, {c.code, c.value});
        if (c.valid) {
            ASSERT_TRUE(std::holds_alternative<PeerEvent>(decoded)) << c.code;
            EXPECT_EQ(std::get<PeerEvent>(decoded),
                      PeerEvent(AudioCommandCall{static_cast<AudioCommand>(c.code), c.value}));
        } else {
            EXPECT_TRUE(std::holds_alternative<Refusal>(decoded)) << c.code << ", " << c.value;
        }
    }
    EXPECT_TRUE(
        std::holds_alternative<PeerEvent>(DecodeAudioRecordCall(iface, kCopyDataMethod, {10u, Block(40)})));
    EXPECT_TRUE(
        std::holds_alternative<Refusal>(DecodeAudioRecordCall(iface, kCopyDataMethod, {10u, Block(39)})));
    EXPECT_TRUE(
        std::holds_alternative<Refusal>(DecodeAudioRecordCall(iface, kCopyDataMethod, {10u, Block(41)})));
    EXPECT_TRUE(
        std::holds_alternative<Refusal>(DecodeAudioRecordCall(iface, kCopyDataMethod, {10u, Bytes{}})));
    EXPECT_TRUE(
        std::holds_alternative<Refusal>(DecodeAudioRecordCall(iface, kCopyDataMethod, {1u, Block(40)})));
    EXPECT_TRUE(std::holds_alternative<Refusal>(DecodeAudioRecordCall(iface, "Command", {6u})));
    EXPECT_TRUE(std::holds_alternative<Refusal>(DecodeAudioRecordCall(kInterface, kCommandMethod, {1u, 0u})));
}

TEST(IpcMessagesTest, TestToolTakesOnlyTheFullReport) {
    const std::string iface(kTestToolInterface);
    EXPECT_TRUE(
        std::holds_alternative<PeerEvent>(DecodeTestToolCall(iface, kCopyDataMethod, {5u, Block(1024)})));
    EXPECT_TRUE(
        std::holds_alternative<Refusal>(DecodeTestToolCall(iface, kCopyDataMethod, {5u, Block(1023)})));
    EXPECT_TRUE(
        std::holds_alternative<Refusal>(DecodeTestToolCall(iface, kCopyDataMethod, {5u, Block(1025)})));
    EXPECT_TRUE(
        std::holds_alternative<Refusal>(DecodeTestToolCall(iface, kCopyDataMethod, {10u, Block(1024)})));
    EXPECT_TRUE(std::holds_alternative<Refusal>(DecodeTestToolCall(iface, kCommandMethod, {0u, 0u})));
}

TEST(IpcMessagesTest, LightStatusSignalCarriesOneAndTheFlag) {
    EXPECT_EQ(SignatureOf(LightStatusArgs(true)), "uu");
    EXPECT_EQ(std::get<PeerEvent>(DecodeLightStatusSignal(LightStatusArgs(true))),
              PeerEvent(LightStatusSignal{true}));
    EXPECT_EQ(std::get<PeerEvent>(DecodeLightStatusSignal(LightStatusArgs(false))),
              PeerEvent(LightStatusSignal{false}));
    EXPECT_TRUE(std::holds_alternative<Refusal>(DecodeLightStatusSignal({0u, 1u})));
    EXPECT_TRUE(std::holds_alternative<Refusal>(DecodeLightStatusSignal({1u, 2u})));
    EXPECT_TRUE(std::holds_alternative<Refusal>(DecodeLightStatusSignal({true})));
}

TEST(IpcMessagesTest, ColourBlockSendsGreenZeroAsOne) {
    const auto block = MakeAudioColourBlock(200, 0, 7);
    EXPECT_EQ(ReadBlockWord(block, 0), 200u);
    EXPECT_EQ(ReadBlockWord(block, 4), 1u);
    EXPECT_EQ(ReadBlockWord(block, 8), 7u);
    for (std::size_t i = 12; i < block.size(); ++i) {
        EXPECT_EQ(block[i], 0) << i;
    }
    EXPECT_EQ(ReadBlockWord(MakeAudioColourBlock(1, 255, 3), 4), 255u);
}

TEST(IpcMessagesTest, DeviceReportBlockLaysOutVersionCountAndRows) {
    const std::uint8_t version[4] = {2, 3, 0, 2};
    const DeviceReportRow rows[] = {{0x320F, 0x50B7, 1}, {0x320F, 0x221C, 2}};
    const auto block = MakeDeviceReportBlock(version, rows);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->size(), kDeviceReportBytes);
    const std::uint32_t expected[] = {2, 3, 0, 2, 2, 0x320F, 0x50B7, 1, 0x320F, 0x221C, 2};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(ReadBlockWord(*block, 4 * i), expected[i]) << i;
    }
    for (std::size_t offset = 4 * std::size(expected); offset < kDeviceReportBytes; offset += 4) {
        EXPECT_EQ(ReadBlockWord(*block, offset), 0u) << offset;
    }
    // The report passes the test tool's own check.
    EXPECT_TRUE(std::holds_alternative<PeerEvent>(DecodeTestToolCall(
        kTestToolInterface, kCopyDataMethod, {kDeviceReportKind, Bytes(block->begin(), block->end())})));
}

TEST(IpcMessagesTest, DeviceReportBlockRefusesRowsThatDoNotFit) {
    const std::uint8_t version[4] = {2, 3, 0, 2};
    const std::vector<DeviceReportRow> fits(kMaxDeviceReportRows, DeviceReportRow{1, 2, 3});
    const auto full = MakeDeviceReportBlock(version, fits);
    ASSERT_TRUE(full);
    EXPECT_EQ(ReadBlockWord(*full, 20 + (kMaxDeviceReportRows - 1) * 12 + 4), 2u);  // the last row's product
    const std::vector<DeviceReportRow> tooMany(kMaxDeviceReportRows + 1, DeviceReportRow{1, 2, 3});
    EXPECT_FALSE(MakeDeviceReportBlock(version, tooMany));
}

TEST(IpcMessagesTest, ReadBlockWordPastTheEndIsZero) {
    const Bytes block = {1, 2, 3, 4, 5};
    EXPECT_EQ(ReadBlockWord(block, 0), 0x04030201u);
    EXPECT_EQ(ReadBlockWord(block, 1), 0x05040302u);
    EXPECT_EQ(ReadBlockWord(block, 2), 0u);
    EXPECT_EQ(ReadBlockWord(block, 100), 0u);
}

TEST(IpcMessagesTest, DescribeNamesTheMessage) {
    EXPECT_EQ(Describe(Event{GameEvent{GameEventKind::kKill, 1, 9}}), "Game_Kill(1, 9)");
    EXPECT_EQ(Describe(Event{AudioDataEvent{2, Block(24)}}), "AudioData(2, 24 bytes)");
    EXPECT_EQ(Describe(Event{PowerEvent{PowerChange::kResume}}), "Power(resume)");
    EXPECT_EQ(static_cast<std::uint32_t>(PowerChange::kSuspend), 4u);
    EXPECT_EQ(static_cast<std::uint32_t>(PowerChange::kResume), 0x12u);
}

}  // namespace
}  // namespace norvane::platform::ipc
