// Which devices the headset's library is driven through, and what each one supports.
#include "devices/audio/device_choice.h"
#include "devices/audio/audio_properties.h"
#include "devices/audio/simulated_library.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace norvane::devices::audio {
namespace {

using Records = std::vector<AudioDeviceRecord>;

// id, type, third, state
constexpr AudioDeviceRecord Dev(std::uint32_t id, std::uint32_t type, std::uint32_t state) {
    return {id, type, 0, state};
}

TEST(DeviceChoice, PlaybackByTypePreferenceAmongActiveDevices) {
    struct Case {
        const char* what;
        Records list;
        std::optional<std::uint32_t> chosen;
    };
    const Case cases[] = {
        {"empty list", {}, std::nullopt},
        {"only type 1", {Dev(10, 1, 1)}, 10},
        {"type 1 beats an earlier type 12", {Dev(10, 12, 1), Dev(11, 1, 1)}, 11},
        {"type 12 beats earlier 7 and 4", {Dev(10, 4, 1), Dev(11, 7, 1), Dev(12, 12, 1)}, 12},
        {"type 7 beats an earlier 4", {Dev(10, 4, 1), Dev(11, 7, 1)}, 11},
        {"type 4 last", {Dev(10, 3, 1), Dev(11, 4, 1)}, 11},
        {"first of two of the same type", {Dev(10, 1, 1), Dev(11, 1, 1)}, 10},
        {"inactive type 1 is passed over", {Dev(10, 1, 0), Dev(11, 12, 1)}, 11},
        {"inactive type 1 before an active one", {Dev(10, 1, 2), Dev(11, 1, 1)}, 11},
        {"no active device", {Dev(10, 1, 0), Dev(11, 12, 4)}, std::nullopt},
        {"other types only", {Dev(10, 2, 1), Dev(11, 3, 1), Dev(12, 0, 1)}, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto chosen = ChoosePlayback(c.list);
        EXPECT_EQ(chosen ? std::optional(chosen->id) : std::nullopt, c.chosen) << c.what;
    }
}

TEST(DeviceChoice, RecordingIsTheFirstOfType2) {
    struct Case {
        const char* what;
        Records list;
        std::optional<std::uint32_t> chosen;
    };
    const Case cases[] = {
        {"empty list", {}, std::nullopt},
        {"one", {Dev(20, 2, 1)}, 20},
        {"first of two", {Dev(20, 1, 1), Dev(21, 2, 1), Dev(22, 2, 1)}, 21},
        {"state does not matter", {Dev(20, 2, 0)}, 20},
        {"no type 2", {Dev(20, 1, 1), Dev(21, 12, 1)}, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto chosen = ChooseRecording(c.list);
        EXPECT_EQ(chosen ? std::optional(chosen->id) : std::nullopt, c.chosen) << c.what;
    }
}

TEST(DeviceChoice, SupportFeatureText) {
    struct Case {
        std::string_view text;
        std::optional<DeviceFeatures> features;
    };
    const Case cases[] = {
        {"1,2,3,4,5,6,7", DeviceFeatures{1, 5, 7}},
        {"131072,0,0,0,0,0,0", DeviceFeatures{0x20000, 0, 0}},
        {"196608,x,y,z,12,w,9,extra,fields", DeviceFeatures{0x30000, 12, 9}},  // unused fields are not read
        {" 8 , 0,0,0, 4 ,0, 2 \n", DeviceFeatures{8, 4, 2}},
        {"4294967295,0,0,0,0,0,0", DeviceFeatures{0xFFFFFFFF, 0, 0}},
        {"-1,0,0,0,0,0,0", DeviceFeatures{0xFFFFFFFF, 0, 0}},
        {"1,2,3,4,5,6", std::nullopt},   // six fields
        {"1,2,3,4,5,6,", std::nullopt},  // seventh field empty
        {"", std::nullopt},
        {"1", std::nullopt},
        {",,,,,", std::nullopt},
        {"a,2,3,4,5,6,7", std::nullopt},
        {"1,2,3,4,5x,6,7", std::nullopt},
        {"1,2,3,4,5,6,7.5", std::nullopt},
        {"1,2,3,4,0x5,6,7", std::nullopt},
        {"4294967296,0,0,0,0,0,0", std::nullopt},
        {"99999999999999999999999,0,0,0,0,0,0", std::nullopt},
        {"1;2;3;4;5;6;7", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseSupportFeature(c.text), c.features) << "'" << c.text << "'";
    }
}

// A library of the given lists, each device answering the given feature text.
struct Lists {
    Records playback;
    Records recording;
    std::string playbackFeatures = "1,0,0,0,2,0,10";
    std::string recordingFeatures = "131072,0,0,0,2,0,10";
};

std::shared_ptr<SimulatedAudio> Make(const Lists& lists) {
    auto audio = std::make_shared<SimulatedAudio>();
    for (const auto& record : lists.playback) {
        audio->AddDevice(kPlaybackList, record);
        audio->SetSupportFeature(record.id, lists.playbackFeatures);
    }
    for (const auto& record : lists.recording) {
        audio->AddDevice(kRecordingList, record);
        audio->SetSupportFeature(record.id, lists.recordingFeatures);
    }
    return audio;
}

TEST(DeviceChoice, OpenChoosesBothDevicesAndReadsTheirFeatures) {
    auto audio = Make(
        {{Dev(1, 4, 1), Dev(2, 1, 1)}, {Dev(3, 1, 1), Dev(4, 2, 1)}, "5,0,0,0,6,0,7", "196608,0,0,0,8,0,9"});
    SimulatedAudioLibrary library(audio);
    const AudioDevices devices = OpenAudioDevices(library);
    EXPECT_EQ(devices.status, AudioOpenStatus::Ready);
    EXPECT_EQ(devices.playback.id, 2U);
    ASSERT_TRUE(devices.recording);
    EXPECT_EQ(devices.recording->id, 4U);
    EXPECT_EQ(devices.playbackFeatures, (DeviceFeatures{5, 6, 7}));
    EXPECT_EQ(devices.recordingFeatures, (DeviceFeatures{0x30000, 8, 9}));
    EXPECT_TRUE(devices.HasRecording());
    EXPECT_TRUE(devices.VoiceChangerExists());
    EXPECT_TRUE(devices.messages.empty());

    // The features are asked of each chosen device, with no parameter.
    std::vector<std::uint32_t> asked;
    for (const AudioCall& call : audio->PropertyCalls()) {
        EXPECT_EQ(call.property, "GetSupportFeature");
        EXPECT_EQ(call.kind, AudioCallKind::Read);
        EXPECT_TRUE(call.parameter.empty());
        asked.push_back(call.device);
    }
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{2, 4}));
    ASSERT_FALSE(audio->Calls().empty());
    EXPECT_EQ(audio->Calls().front().kind, AudioCallKind::ConfLibInit);
}

TEST(DeviceChoice, OpenOutcomes) {
    struct Case {
        const char* what;
        Lists lists;
        bool failInit = false;
        bool failCreate = false;
        bool recording;
        bool voice;
        AudioOpenStatus status;
        std::vector<std::string_view> messages;
    };
    const Records out{Dev(1, 1, 1)};
    const Records mic{Dev(2, 2, 1)};
    const std::string plain = "1,0,0,0,0,0,0";
    constexpr auto kReady = AudioOpenStatus::Ready;
    constexpr auto kNoPlayback = AudioOpenStatus::NoPlaybackDevice;
    const std::vector<std::string_view> none;
    const std::vector<std::string_view> apo{kUpdateApoFailedMessage};
    // clang-format off
    const Case cases[] = {
        // what, lists, ConfLibInit fails, CreateDeviceList fails, recording, voice, status, messages
        {"no recording device", {out, {}}, false, false, false, false, kReady, none},
        {"recording list without type 2", {out, {Dev(2, 1, 1)}}, false, false, false, false, kReady,
         none},
        {"voice bit missing", {out, mic, plain, "65535,0,0,0,0,0,0"}, false, false, true, false, kReady,
         none},
        {"neighbouring bits only", {out, mic, plain, "327679,0,0,0,0,0,0"}, false, false, true, false, kReady,
         none},
        {"voice bit alone", {out, mic, plain, "131072,0,0,0,0,0,0"}, false, false, true, true, kReady, none},
        {"voice bit in fields 4 and 6 only", {out, mic, plain, "0,0,0,0,131072,0,131072"}, false, false, true,
         false, kReady, none},
        {"voice bit among others", {out, mic, plain, "4294967295,0,0,0,0,0,0"}, false, false, true, true,
         kReady, none},
        {"voice bit on the playback device only", {out, mic, "131072,0,0,0,0,0,0", plain}, false, false, true,
         false, kReady, none},
        {"short recording features", {out, mic, plain, "131072,0,0"}, false, false, true, false, kReady, apo},
        {"both features unreadable", {out, mic, "", "bad"}, false, false, true, false, kReady,
         {kUpdateApoFailedMessage, kUpdateApoFailedMessage}},
        {"empty playback list", {{}, mic}, false, false, false, false, kNoPlayback, none},
        {"no playback device the rules take", {{Dev(1, 1, 0), Dev(5, 2, 1)}, mic}, false, false, false, false,
         kNoPlayback, none},
        {"ConfLibInit fails", {out, mic}, true, false, false, false, AudioOpenStatus::InitFailed,
         {kConfLibInitFailedMessage}},
        {"CreateDeviceList fails", {out, mic}, false, true, false, false, kNoPlayback, none},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto audio = Make(c.lists);
        audio->FailInit(c.failInit);
        audio->FailCreateDeviceList(c.failCreate);
        SimulatedAudioLibrary library(audio);
        const AudioDevices devices = OpenAudioDevices(library);
        EXPECT_EQ(devices.status, c.status) << c.what;
        EXPECT_EQ(devices.HasRecording(), c.recording) << c.what;
        EXPECT_EQ(devices.VoiceChangerExists(), c.voice) << c.what;
        EXPECT_EQ(devices.messages, c.messages) << c.what;
        if (!devices.Ready()) {
            EXPECT_TRUE(audio->PropertyCalls().empty()) << c.what << ": no property is used";
        }
    }
}

TEST(DeviceChoice, UnreadableFeaturesLeaveTheDeviceChosen) {
    auto audio = Make({{Dev(1, 1, 1)}, {Dev(2, 2, 1)}});
    audio->FailRead(property::kGetSupportFeature);
    SimulatedAudioLibrary library(audio);
    const AudioDevices devices = OpenAudioDevices(library);
    EXPECT_TRUE(devices.HasRecording());
    EXPECT_FALSE(devices.recordingFeatures);
    EXPECT_FALSE(devices.VoiceChangerExists());
    EXPECT_EQ(devices.messages.size(), 2U);
}

// A library whose lists answer counts it cannot back with records.
class LyingLists final : public IAudioConfigLibrary {
public:
    int count = 0;
    int byIdCalls = 0;
    int ConfLibInit() override { return 0; }
    int CreateDeviceList() override { return 0; }
    int GetDeviceCount(int, int& out) override {
        out = count;
        return 0;
    }
    int GetDeviceById(int, int index, AudioDeviceRecord& record) override {
        ++byIdCalls;
        if (index % 2 == 0) {
            return 1;
        }
        record = {static_cast<std::uint32_t>(index), 1, 0, 1};
        return 0;
    }
    int PropertyControl(const AudioDeviceRecord&, std::string_view, std::span<std::uint8_t>,
                        std::span<const std::uint8_t>, bool) override {
        return 1;
    }
    [[nodiscard]] AudioCapabilities Capabilities() const override { return {}; }
};

TEST(DeviceChoice, DeviceListsSkipFailingEntriesAndBoundTheCount) {
    struct Case {
        int count;
        int calls;
        std::size_t records;
    };
    const Case cases[] = {{-3, 0, 0}, {0, 0, 0}, {4, 4, 2}, {1'000'000'000, 256, 128}};
    for (const Case& c : cases) {
        LyingLists library;
        library.count = c.count;
        EXPECT_EQ(ReadDeviceList(library, kPlaybackList).size(), c.records) << c.count;
        EXPECT_EQ(library.byIdCalls, c.calls) << c.count;
    }
    LyingLists library;
    library.count = 2;
    const AudioDevices devices = OpenAudioDevices(library);
    EXPECT_TRUE(devices.Ready());
    EXPECT_EQ(devices.playback.id, 1U);
    EXPECT_EQ(devices.messages, (std::vector<std::string_view>{kUpdateApoFailedMessage}));
}

}  // namespace
}  // namespace norvane::devices::audio
